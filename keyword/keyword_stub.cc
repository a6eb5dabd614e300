#include "keyword/keyword.h"

namespace keyword {
int byword(const std::string&) { return 0; }
void tricroissant(int*, int*, int) {}
void appelerDesId(int) {}
std::string tostring(int value) { return std::to_string(value); }
}  // namespace keyword
