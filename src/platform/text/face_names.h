#pragma once
// Windows face names that games ask for, and the metric-compatible fonts that stand in for
// them. Fontconfig knows no MS names, so the table is ours.
#include <optional>
#include <string>
#include <string_view>

namespace orv {

struct FaceSubstitute {
  std::string_view family;    // fontconfig family, e.g. "IPAMincho"
  std::string_view fileName;  // the font file that family usually comes in, e.g. "ipam.ttf"
};

// The face name with full-width ASCII folded to ASCII, spaces (half- and full-width) removed
// and ASCII letters upper-cased, so "ＭＳ 明朝", "ＭＳ　明朝" and "MS Mincho" compare as
// they should. Takes Shift-JIS; returns UTF-8.
std::string NormalizeFaceName(std::string_view sjisFace);

// The stand-in for a Windows face name (Shift-JIS); nothing for names the table lacks.
// An empty name gets the default, Mincho.
std::optional<FaceSubstitute> SubstituteFace(std::string_view sjisFace);

}  // namespace orv
