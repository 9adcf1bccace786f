#pragma once
// The system's own catalogue of fonts, for face names our substitution table does not know.
// Desktops ask fontconfig; a system without a catalogue (the browser) answers nothing and the
// renderer keeps to the substitutes it finds in the known font folders.
#include <optional>
#include <string>

namespace orv {

struct FontFile {
  std::string path;
  int index = 0;
};

// False when the system has no catalogue to ask.
bool StartSystemFontLookup();

// The file the catalogue chooses for a family (Japanese preferred when `japanese`); when
// `requireFamily` is set, only a font of exactly that family counts, since a catalogue may
// answer its nearest match for anything.
std::optional<FontFile> LookUpSystemFont(const std::string& family, bool japanese, bool requireFamily);

}  // namespace orv
