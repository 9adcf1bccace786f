// orvarc1: the kit's ARC1 picture compressor.
//   orvarc1 encode IN.bmp OUT.ccg   compress a BMP file into an ARC1 file
//   orvarc1 decode IN.ccg OUT.bmp   unpack an ARC1 file back into its BMP
// Exit codes: 0 done, 1 unreadable, unwritable or unusable file, 2 usage error.
// Compressed pictures go into a picture package with orvpack, or sit beside the game as .ccg.
#include <cstdio>
#include <filesystem>
#include <string>

#include "graphics/arc1.h"
#include "graphics/arc1_encoder.h"
#include "platform/game_folder.h"
#include "platform/sjis.h"
#include "tool_info.h"

namespace fs = std::filesystem;
using namespace orv;

namespace {

constexpr const char* kUsage =
    "usage: orvarc1 encode IN.bmp OUT.ccg\n"
    "       orvarc1 decode IN.ccg OUT.bmp\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "orvarc1: %s\n", message.c_str());
  return 1;
}

int Encode(const fs::path& in, const fs::path& out) {
  const auto bmp = ReadFileBytes(in);
  if (!bmp) return Fail("cannot read " + in.string());
  if (bmp->size() < 2 || (*bmp)[0] != 'B' || (*bmp)[1] != 'M')
    return Fail(in.string() + " is not a BMP file (it does not start with \"BM\")");
  const Result<Bytes> encoded = EncodeArc1File(*bmp);
  if (!encoded) return Fail(in.string() + ": " + Cp932ToUtf8(encoded.error().message));
  if (!WriteFileAtomically(out, *encoded)) return Fail("cannot write " + out.string());
  std::printf("%s: %zu -> %zu bytes\n", out.string().c_str(), bmp->size(), encoded->size());
  return 0;
}

int Decode(const fs::path& in, const fs::path& out) {
  const auto file = ReadFileBytes(in);
  if (!file) return Fail("cannot read " + in.string());
  if (!SplitArc1File(*file)) return Fail(in.string() + " is not an ARC1 file (no \"ARC1\" header)");
  const Result<Bytes> decoded = DecodeArc1File(*file);
  if (!decoded && decoded.error().message == kArc1TreeError)
    return Fail(in.string() + ": damaged data, the code tree has more than 255 internal nodes (" +
                Cp932ToUtf8(decoded.error().message) + ")");
  if (!decoded) return Fail(in.string() + ": " + Cp932ToUtf8(decoded.error().message));
  if (decoded->size() < 2 || (*decoded)[0] != 'B' || (*decoded)[1] != 'M')
    std::fprintf(stderr, "orvarc1: warning: %s does not unpack to a BMP file; the player will not show it\n",
                 in.string().c_str());
  if (!WriteFileAtomically(out, *decoded)) return Fail("cannot write " + out.string());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (const auto answered = AnswerHelpOrVersion(argc, argv, "orvarc1", kUsage)) return *answered;
  if (argc != 4) return Usage();
  const std::string command = argv[1];
  if (command == "encode") return Encode(argv[2], argv[3]);
  if (command == "decode") return Decode(argv[2], argv[3]);
  return Usage();
}
