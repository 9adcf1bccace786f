#pragma once
// Notes for whoever runs the player (a game that uses what this player lacks, a script error
// worth knowing about). The backend decides where they go: standard error on the desktop,
// the run's error stream headless.
#include <cstdio>
#include <string_view>

namespace orv {

class Diagnostics {
 public:
  virtual ~Diagnostics() = default;
  // One line, UTF-8, without its line end.
  virtual void Note(std::string_view line) = 0;
};

// Lines onto a C stream, prefixed with the program's name.
class StreamDiagnostics final : public Diagnostics {
 public:
  explicit StreamDiagnostics(std::FILE* stream) : stream_(stream) {}
  void Note(std::string_view line) override {
    std::fprintf(stream_, "orvane: %.*s\n", int(line.size()), line.data());
    std::fflush(stream_);
  }

 private:
  std::FILE* stream_;
};

}  // namespace orv
