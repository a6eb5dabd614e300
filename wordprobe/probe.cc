#include "wordprobe/probe.h"

#include "keyword/tostring.h"
#include "wordprobe/messages.h"

namespace wordprobe {

ProbeRun probe(std::string_view base) {
  ProbeRun run;
  std::string_view rest = base;
  int lines = 0;
  std::string_view last;
  bool print_next = false, found = false;

  // Lines are examined in order; the count is printed first, so the body of
  // the output is gathered apart.
  std::string body;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    const size_t length = end == std::string_view::npos ? rest.size() : end + 1;
    const std::string_view line = rest.substr(0, length);
    rest.remove_prefix(length);

    size_t pos = 0;
    while (pos < line.size()) {
      if (line[pos] == ' ') {
        ++pos;
        continue;
      }
      size_t stop = line.find(' ', pos);
      if (stop == std::string_view::npos) stop = line.size();
      const std::string_view token = line.substr(pos, stop - pos);
      pos = stop;
      if (print_next) {
        body += token;
        body += " \n";
        print_next = false;
      }
      if (token == kWord) {
        body += messages::kMatch;
        body += messages::kLineIndex;
        body += keyword::tostring(lines);
        body += "\n ";
        print_next = found = true;
      }
    }
    last = line;
    ++lines;
  }

  run.out = keyword::tostring(lines) + " \n" + body;
  if (!found) run.out += messages::kNotFound;
  run.scratch = lines == 0 ? std::string("0\n") : std::string(last);
  return run;
}

}  // namespace wordprobe
