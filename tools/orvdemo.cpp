// orvdemo: builds the bundled demo game from its sources.
//   orvdemo SOURCE_DIR OUT_DIR
// The sources are UTF-8 text with LF line ends, as they are pleasant to edit; a game holds
// Shift-JIS with CR LF. Scenario members are packed, inverted, into the scenario package, and
// every picture, sound and piece of music the demo uses is made here by our own generators.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/game_folder.h"
#include "platform/image.h"
#include "platform/image_files.h"
#include "platform/sjis.h"
#include "script/package_file.h"

namespace fs = std::filesystem;
using namespace orv;

namespace {

bool ReadText(const fs::path& file, std::string& out) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::stringstream buffer;
  buffer << in.rdbuf();
  out = buffer.str();
  return true;
}

// UTF-8 with LF ends to Shift-JIS with CR LF ends.
Bytes ToGameText(const std::string& utf8) {
  std::string text;
  for (char c : utf8) {
    if (c == '\r') continue;
    if (c == '\n') text += "\r\n";
    else text += c;
  }
  std::string sjis = Utf8ToCp932(text);
  return Bytes(sjis.begin(), sjis.end());
}

bool Write(const fs::path& file, const Bytes& bytes) {
  if (WriteFileAtomically(file, bytes)) return true;
  std::fprintf(stderr, "orvdemo: cannot write %s\n", file.c_str());
  return false;
}

// The wait indicators: a small downward triangle (line end) and a square (page end) on a
// magenta background, which the player leaves out because it is the bottom-left colour.
Image WaitIcon(bool page) {
  const Rgb key{255, 0, 255}, fill{255, 240, 180}, edge{200, 140, 40};
  Image icon(16, 16);
  icon.Fill(key);
  for (int y = 2; y < 14; ++y) {
    for (int x = 2; x < 14; ++x) {
      bool inside = page ? true : (x - 2 >= (y - 2) / 2 && 13 - x >= (y - 2) / 2);
      if (!inside) continue;
      bool border = page ? (x == 2 || x == 13 || y == 2 || y == 13) : (y == 2);
      icon.SetPixel(x, y, border ? edge : fill);
    }
  }
  return icon;
}

bool BuildScenarioPackage(const fs::path& source, const fs::path& out) {
  std::string list;
  if (!ReadText(source / "scenario" / "members.txt", list)) {
    std::fprintf(stderr, "orvdemo: missing %s\n", (source / "scenario" / "members.txt").c_str());
    return false;
  }
  std::vector<PackageMember> members;
  std::istringstream names(list);
  for (std::string name; std::getline(names, name);) {
    if (name.empty()) continue;
    std::string text;
    if (!ReadText(source / "scenario" / name, text)) {
      std::fprintf(stderr, "orvdemo: missing scenario %s\n", name.c_str());
      return false;
    }
    Bytes bytes = ToGameText(text);
    InvertBytes(bytes);
    members.push_back({name, std::move(bytes)});
  }
  return Write(out / "scenario.dat", BuildPackage(members));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: orvdemo SOURCE_DIR OUT_DIR\n");
    return 2;
  }
  const fs::path source = argv[1], out = argv[2];
  std::error_code ec;
  fs::create_directories(out, ec);
  std::string initDef;
  if (!ReadText(source / "init.def", initDef)) {
    std::fprintf(stderr, "orvdemo: missing %s\n", (source / "init.def").c_str());
    return 1;
  }
  bool ok = Write(out / "init.def", ToGameText(initDef));
  ok = ok && BuildScenarioPackage(source, out);
  ok = ok && Write(out / "icon1.bmp", EncodeBmp24(WaitIcon(false)));
  ok = ok && Write(out / "icon2.bmp", EncodeBmp24(WaitIcon(true)));
  return ok ? 0 : 1;
}
