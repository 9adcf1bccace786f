#include "platform/text/face_names.h"

#include <array>

#include "platform/sjis.h"

namespace orv {
namespace {

constexpr FaceSubstitute kMincho{"IPAMincho", "ipam.ttf"};
constexpr FaceSubstitute kGothic{"IPAGothic", "ipag.ttf"};
constexpr FaceSubstitute kPMincho{"IPAPMincho", "ipamp.ttf"};
constexpr FaceSubstitute kPGothic{"IPAPGothic", "ipagp.ttf"};

struct FaceEntry {
  std::string_view normalized;  // as NormalizeFaceName gives it
  FaceSubstitute substitute;
};

constexpr std::array kFaceTable{
    FaceEntry{"MS明朝", kMincho},        FaceEntry{"MSMINCHO", kMincho},
    FaceEntry{"MSゴシック", kGothic},    FaceEntry{"MSGOTHIC", kGothic},
    FaceEntry{"MSP明朝", kPMincho},      FaceEntry{"MSPMINCHO", kPMincho},
    FaceEntry{"MSPゴシック", kPGothic},  FaceEntry{"MSPGOTHIC", kPGothic},
    FaceEntry{"MSUIGOTHIC", kPGothic},
};


}  // namespace

std::string NormalizeFaceName(std::string_view sjisFace) {
  std::string out;
  for (char32_t c : DecodeCp932(sjisFace)) {
    if (c >= 0xFF01 && c <= 0xFF5E) c = c - 0xFF01 + 0x21;  // full-width ASCII
    if (c == U' ' || c == U'\u3000' || c == U'\t') continue;
    if (c >= U'a' && c <= U'z') c = c - U'a' + U'A';
    out += EncodeUtf8(std::u32string_view(&c, 1));
  }
  return out;
}

std::optional<FaceSubstitute> SubstituteFace(std::string_view sjisFace) {
  const std::string key = NormalizeFaceName(sjisFace);
  if (key.empty()) return kMincho;
  for (const FaceEntry& entry : kFaceTable)
    if (entry.normalized == key) return entry.substitute;
  return std::nullopt;
}

}  // namespace orv
