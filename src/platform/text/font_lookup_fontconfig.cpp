#include <fontconfig/fontconfig.h>

#include <filesystem>

#include "platform/text/font_lookup.h"

namespace orv {

bool StartSystemFontLookup() { return FcInit(); }

std::optional<FontFile> LookUpSystemFont(const std::string& family, bool japanese, bool requireFamily) {
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return std::nullopt;
  if (!family.empty()) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  if (japanese) FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  // FcFontMatch always answers something; requireFamily filters below.
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return std::nullopt;
  std::optional<FontFile> found;
  FcChar8* file = nullptr;
  FcChar8* matchedFamily = nullptr;
  int index = 0;
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
    bool familyOk = !requireFamily;
    for (int i = 0; !familyOk && FcPatternGetString(match, FC_FAMILY, i, &matchedFamily) == FcResultMatch; ++i)
      familyOk = family == reinterpret_cast<const char*>(matchedFamily);
    if (familyOk) {
      FcPatternGetInteger(match, FC_INDEX, 0, &index);
      // Report the real file behind the distribution's alias links.
      std::error_code ec;
      std::filesystem::path real = std::filesystem::canonical(reinterpret_cast<const char*>(file), ec);
      found = FontFile{ec ? std::string(reinterpret_cast<const char*>(file)) : real.string(), index};
    }
  }
  FcPatternDestroy(match);
  return found;
}

}  // namespace orv
