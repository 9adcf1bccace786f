#include "support/test_support.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/sjis.h"

namespace orv::test {
namespace fs = std::filesystem;

TempDir::TempDir() {
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = fs::temp_directory_path() / ("orvane-test-" + std::to_string(rd()));
    std::error_code ec;
    if (fs::create_directory(candidate, ec)) {
      path_ = candidate;
      return;
    }
  }
  std::abort();
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

void TempDir::Write(std::string_view name, std::string_view contents) const {
  fs::path target = path_ / fs::path(std::string(name));
  fs::create_directories(target.parent_path());
  std::ofstream out(target, std::ios::binary);
  out.write(contents.data(), std::streamsize(contents.size()));
}

void TempDir::Write(std::string_view name, const Bytes& contents) const {
  Write(name, std::string_view(reinterpret_cast<const char*>(contents.data()), contents.size()));
}

std::string TempDir::Read(std::string_view name) const {
  std::ifstream in(path_ / fs::path(std::string(name)), std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

std::string CrLf(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& line : lines) out += line + "\r\n";
  return out;
}

std::string Sjis(std::string_view utf8) { return Utf8ToCp932(utf8); }

}  // namespace orv::test
