// The word probe over the bytes of a text descriptor base: what it prints
// and what its scratch file holds at the end, with no file access.
#pragma once

#include <string>
#include <string_view>

namespace wordprobe {

// The fixed word looked for, compared byte for byte.
inline constexpr std::string_view kWord = "milliards";

struct ProbeRun {
  std::string out;      // standard output, byte for byte
  std::string scratch;  // final content of temp.txt
};

// A line is the bytes up to and including a line feed; bytes after the last
// line feed form one more line. The output starts with the line count
// ("%d \n"). Each line is cut into tokens at blanks only, so the line feed
// stays on the last token. For every token: when the print flag is set the
// token is printed ("%s \n") and the flag cleared; then, when the token is the
// word, "************ \n" and "l'id est : %d\n " (the line's index from 0) are
// printed and the print and found flags set. The print flag carries over from
// one line to the next. Without any match the output ends with
// "mot not found \n". The scratch file ends holding what the line count
// command left there for an empty base ("0\n"), else the last line.
ProbeRun probe(std::string_view base);

}  // namespace wordprobe
