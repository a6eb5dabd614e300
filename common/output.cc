#include "common/output.h"

#include <unistd.h>

namespace output {

std::string printable(std::string_view name) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(name.size());
  for (const char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (c < 0x20 || c == 0x7f) {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

void Sink::report(std::string_view message) {
  std::string line = program_;
  line += ": ";
  line += message;
  line += '\n';
  err(line);
}

std::string Sink::shown(std::string_view name) const {
  return out_is_terminal() ? printable(name) : std::string(name);
}

Progress& Sink::progress() {
  if (!progress_) {
    if (err_is_terminal()) {
      progress_ = std::make_unique<TerminalProgress>(*this);
    } else {
      progress_ = std::make_unique<NoProgress>();
    }
  }
  return *progress_;
}

StdSink::StdSink(std::string program)
    : Sink(std::move(program)), out_tty_(::isatty(1) == 1), err_tty_(::isatty(2) == 1) {}

void StdSink::out(std::string_view bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

void StdSink::err(std::string_view bytes) {
  std::fflush(stdout);
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
  std::fflush(stderr);
}

}  // namespace output
