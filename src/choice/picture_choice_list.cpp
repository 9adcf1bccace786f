#include "choice/picture_choice_list.h"

#include "script/script_reader.h"

namespace orv {

void PictureChoiceList::Reset() {
  for (int i = 0; i < kMaxChoices; ++i) {
    const size_t e = size_t(i);
    normalPicture[e].Clear();
    hoverPicture[e].Clear();
    pressedPicture[e].Clear();
    targets[e].Clear();
    left[e] = -1;
    top[e] = -1;
    transparent[e] = 0;
    shownHover[e] = 1;
  }
  count = 0;
}

void PictureChoiceList::Clear() {
  images = {};
  left = {};
  top = {};
  right = {};
  bottom = {};
  transparent = {};
  normalPicture = {};
  hoverPicture = {};
  pressedPicture = {};
  targets = {};
  shownHover = {};
  count = 0;
}

int PictureChoiceList::ImageWidth(int entry) const {
  const auto& image = images[size_t(entry)];
  return image ? image->width() : 0;
}

int PictureChoiceList::ImageHeight(int entry) const {
  const auto& image = images[size_t(entry)];
  return image ? image->height() : 0;
}

namespace {

std::string ReadQuotedName(ScriptReader& reader) {
  std::string skipped, name;
  reader.ReadToken(skipped);  // up to the opening quote
  reader.ReadToken(name);     // the name, up to the closing quote
  reader.ReadToken(skipped);  // up to the comma after it
  return name;
}

int32_t ReadInteger(ScriptReader& reader) {
  std::string token;
  reader.ReadToken(token);
  return AtoiWrapping(token);
}

}  // namespace

PictureChoiceEntryLine ReadPictureChoiceEntry(ScriptReader& reader) {
  PictureChoiceEntryLine entry;
  reader.SetDelimiters(",\"");
  entry.normalPicture = ReadQuotedName(reader);
  entry.hoverPicture = ReadQuotedName(reader);
  entry.pressedPicture = ReadQuotedName(reader);
  entry.left = ReadInteger(reader);
  entry.top = ReadInteger(reader);
  entry.transparent = ReadInteger(reader);
  reader.ReadToken(entry.target);
  return entry;
}

}  // namespace orv
