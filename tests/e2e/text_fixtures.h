// Text-side file contents that several end-to-end suites build by hand: a
// document, a repeated word, a descriptor record and a text list line.
#pragma once

#include <string>

namespace e2e {

inline std::string doc(const std::string& body) {
  return "<doc><texte>" + body + "</texte></doc>\n";
}

// `word` and a blank, n times.
inline std::string repeat(const std::string& word, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += word + " ";
  return s;
}

// A descriptor record whose word list is `words` ("w 3 ; " entries).
inline std::string textRecord(int id, const std::string& words) {
  return "<debut> <id> " + std::to_string(id) + " </id> <mots> " + words + "  </mots> </fin>\n";
}

inline std::string textListLine(int id, const std::string& name) {
  return "<id> " + std::to_string(id) + " </id> <filename> " + name + " </filename>\n";
}

}  // namespace e2e
