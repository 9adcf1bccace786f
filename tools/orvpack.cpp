// orvpack: the kit's package tool.
//   orvpack pack [--scenario] PACKAGE FILE...   write a package of the files (scenario
//                                               packages store every byte inverted)
//   orvpack list PACKAGE                        name, size and offset of every member
//   orvpack extract [--scenario] PACKAGE DIR    write every member into DIR
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/game_folder.h"
#include "script/package_file.h"
#include "tool_info.h"

namespace fs = std::filesystem;
using namespace orv;

namespace {

constexpr const char* kUsage =
    "usage: orvpack pack [--scenario] PACKAGE FILE...\n"
    "       orvpack list PACKAGE\n"
    "       orvpack extract [--scenario] PACKAGE DIR\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

int Pack(bool scenario, const fs::path& package, const std::vector<fs::path>& files) {
  std::vector<PackageMember> members;
  for (const auto& file : files) {
    auto bytes = ReadFileBytes(file);
    if (!bytes) {
      std::fprintf(stderr, "orvpack: cannot read %s\n", file.c_str());
      return 1;
    }
    std::string name = file.filename().string();
    if (name.size() >= kPackageNameBytes) {
      std::fprintf(stderr, "orvpack: member name longer than %zu bytes: %s\n", kPackageNameBytes - 1, name.c_str());
      return 1;
    }
    if (scenario) InvertBytes(*bytes);
    members.push_back({name, std::move(*bytes)});
  }
  Bytes out = BuildPackage(members);
  if (!WriteFileAtomically(package, out)) {
    std::fprintf(stderr, "orvpack: cannot write %s\n", package.c_str());
    return 1;
  }
  return 0;
}

std::optional<PackageFile> OpenPackage(const fs::path& package, Bytes& storage) {
  auto bytes = ReadFileBytes(package);
  if (!bytes) {
    std::fprintf(stderr, "orvpack: cannot read %s\n", package.c_str());
    return std::nullopt;
  }
  storage = std::move(*bytes);
  auto parsed = PackageFile::Parse(storage);
  if (!parsed) {
    std::fprintf(stderr, "orvpack: %s is not a package (bad entry count)\n", package.c_str());
    return std::nullopt;
  }
  return std::move(*parsed);
}

int List(const fs::path& package) {
  Bytes storage;
  auto parsed = OpenPackage(package, storage);
  if (!parsed) return 1;
  for (const auto& entry : parsed->directory()) {
    bool inside = uint64_t(entry.memberOffset) + entry.memberSize <= storage.size();
    std::printf("%-41s %10u %10u%s\n", entry.memberName.c_str(), entry.memberSize, entry.memberOffset,
                inside ? "" : "  (past the end of the file)");
  }
  return 0;
}

int Extract(bool scenario, const fs::path& package, const fs::path& dir) {
  Bytes storage;
  auto parsed = OpenPackage(package, storage);
  if (!parsed) return 1;
  std::error_code ec;
  fs::create_directories(dir, ec);
  int status = 0;
  for (const auto& entry : parsed->directory()) {
    auto name = SplitGameName(entry.memberName);
    auto bytes = parsed->ReadMember(entry);
    if (!name || name->size() != 1 || !bytes) {
      std::fprintf(stderr, "orvpack: skipping unusable member %s\n", entry.memberName.c_str());
      status = 1;
      continue;
    }
    if (scenario) InvertBytes(*bytes);
    if (!WriteFileAtomically(dir / name->front(), *bytes)) {
      std::fprintf(stderr, "orvpack: cannot write %s\n", (dir / name->front()).c_str());
      status = 1;
    }
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (const auto answered = AnswerHelpOrVersion(argc, argv, "orvpack", kUsage)) return *answered;
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage();
  std::string command = args[0];
  args.erase(args.begin());
  bool scenario = false;
  if (!args.empty() && args[0] == "--scenario") {
    scenario = true;
    args.erase(args.begin());
  }
  if (command == "pack" && args.size() >= 1) {
    std::vector<fs::path> files(args.begin() + 1, args.end());
    return Pack(scenario, args[0], files);
  }
  if (command == "list" && args.size() == 1) return List(args[0]);
  if (command == "extract" && args.size() == 2) return Extract(scenario, args[0], args[1]);
  return Usage();
}
