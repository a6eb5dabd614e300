// Where a request's bytes go. The command line writes to standard output
// and standard error; a server or a test collects them. Drivers take a Sink
// and never touch the process's streams themselves.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "common/progress.h"

namespace output {

// Makes a name safe to show on one line: control bytes and DEL become escapes
// (\n, \t, \xNN), a backslash is doubled; every other byte passes unchanged.
std::string printable(std::string_view name);

class Sink {
 public:
  // `program` prefixes our own diagnostics ("engine: ...").
  explicit Sink(std::string program = "engine") : program_(std::move(program)) {}
  virtual ~Sink() = default;
  // A copy draws its own progress.
  Sink(const Sink& other) : program_(other.program_) {}
  Sink& operator=(const Sink& other) {
    program_ = other.program_;
    progress_.reset();
    return *this;
  }

  virtual void out(std::string_view bytes) = 0;  // standard output
  virtual void err(std::string_view bytes) = 0;  // standard error
  // Whether standard output and standard error are terminals.
  virtual bool out_is_terminal() const { return false; }
  virtual bool err_is_terminal() const { return false; }

  // One diagnostic of ours: "engine: " + message + "\n" on standard error,
  // in one piece.
  void report(std::string_view message);
  // A stored name as standard output shows it: its bytes unchanged for a
  // program reading them, escaped when a person's terminal would otherwise
  // obey control bytes hidden in it.
  std::string shown(std::string_view name) const;

  // Where long requests tell their advance: drawn on standard error when it
  // is a terminal, nowhere otherwise. First called from one thread.
  Progress& progress();

 private:
  std::string program_;
  std::unique_ptr<Progress> progress_;
};

// The process's standard output and error. Standard output is flushed
// before anything goes to standard error, so the two keep their order on a
// shared terminal.
class StdSink : public Sink {
 public:
  explicit StdSink(std::string program = "engine");
  void out(std::string_view bytes) override;
  void err(std::string_view bytes) override;
  bool out_is_terminal() const override { return out_tty_; }
  bool err_is_terminal() const override { return err_tty_; }

 private:
  bool out_tty_;
  bool err_tty_;
};

// Keeps everything in memory.
class StringSink : public Sink {
 public:
  using Sink::Sink;
  void out(std::string_view bytes) override { out_.append(bytes); }
  void err(std::string_view bytes) override { err_.append(bytes); }
  const std::string& out_text() const { return out_; }
  const std::string& err_text() const { return err_; }

 private:
  std::string out_;
  std::string err_;
};

}  // namespace output
