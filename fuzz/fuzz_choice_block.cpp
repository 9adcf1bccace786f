// Choice blocks: the input is the scenario text after a SELECT or SELECTCG line. Both
// commands read it, then the pointer visits the entries, the keys move and an entry is taken.
// Whatever the lines say (numbers at the ends of int, names and captions of any length, no
// closing line), nothing is read or written outside its buffer.
#include <algorithm>
#include <cstdint>
#include <string>

#include "choice/choices.h"

namespace {

using namespace orv;

class FuzzClock : public Clock {
 public:
  uint32_t NowMs() override { return now; }
  void WaitMs(uint32_t ms) override { now += ms; }
  bool ButtonHeld() override { return false; }
  uint32_t now = 0;
};

struct FuzzStory : ChoiceStory {
  std::string text, line;
  int32_t offset = 0;

  std::optional<std::string_view> FetchLine() override {
    if (size_t(offset) >= text.size() || text[size_t(offset)] == '\0') return std::nullopt;
    size_t end = text.find("\r\n", size_t(offset));
    if (end == std::string::npos) end = text.size();
    line = text.substr(size_t(offset), std::min<size_t>(end - size_t(offset), 255));
    offset = int32_t(std::min(text.size(), end + 2));
    return std::string_view(line);
  }
  void ShowScreen() override {}
  void PresentWindow() override {}
  void Pause(int32_t) override {}
  void Tell(std::string_view) override {}
  void NoteAtLine(std::string_view) override {}
  std::string LoadMenuCaption(int slot) const override { return std::string(size_t(slot) * 40, '\x81'); }
  PictureLoad LoadPicture(std::string_view name) override {
    if (name.empty()) return PictureLoad(PictureRef());
    if (name[0] == 'x') return UnreadablePicture(name);
    // Small pictures still cross the stage's edges (their places come from the input); large
    // ones would only spend the run drawing blank pixels.
    const int side = int(name.size() % 32) + 1;
    return PictureLoad(PictureRef(std::make_shared<const Image>(side * 7, side * 3)));
  }
};

// A coordinate the window could report: the entries' places come from the script.
int OnScreen(int64_t v) { return int(std::clamp<int64_t>(v, -100000, 100000)); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 8192) return 0;
  // Made once: a picture choice's backdrop is a whole stage, far more to make than a choice
  // block takes to read.
  static FontRenderer fonts;
  static Image window(kStageWidth, kStageHeight), screen(kStageWidth, kStageHeight), tint(kStageWidth, kStageHeight);
  static TextLayer text(kStageWidth, kStageHeight);
  static Choices choices;
  for (bool pictures : {false, true}) {
    FuzzStory story;
    choices.Reset();
    story.text.assign(reinterpret_cast<const char*>(data), size);
    FuzzClock clock;
    ScriptReader reader;
    SceneState scene;
    scene.fontSize = 12;
    int32_t cursorY = 0;
    ChoiceContext c{story, reader, scene, cursorY, window, screen, tint, text, fonts, clock};
    pictures ? choices.ShowPictureChoice(c) : choices.ShowChoice(c, CaptionTyping{story.text.size() % 2 != 0, 1});
    // The pointer onto each entry where it stands and between them, then off the stage at
    // both corners: every move redraws what changed, so a blind sweep of the stage would
    // cost far more and still miss small entries.
    for (int entry = 0; entry < kMaxChoices; ++entry) {
      const auto& p = choices.pictureList();
      const auto& list = choices.list();
      const int64_t x = pictures ? (int64_t(p.left[size_t(entry)]) + p.right[size_t(entry)]) / 2
                                 : int64_t(list.positions[size_t(entry)].x) + 4;
      const int64_t y = pictures ? (int64_t(p.top[size_t(entry)]) + p.bottom[size_t(entry)]) / 2
                                 : int64_t(list.positions[size_t(entry)].y) + 4;
      choices.PointerMoved(c, OnScreen(x), OnScreen(y));
      choices.PointerMoved(c, OnScreen(x + 300), OnScreen(y + 300));
    }
    choices.PointerMoved(c, -40, -40);
    choices.PointerMoved(c, 680, 520);
    choices.ChoiceKey(c, KeyCode::Up);
    choices.ChoiceKey(c, KeyCode::Down);
    const std::optional<ChoiceOutcome> taken =
        pictures ? choices.TakePictureChoice(c) : choices.ChoiceKey(c, KeyCode::Enter);
    if (taken) pictures ? choices.ClosePictureChoice(c) : choices.CloseChoice(c);
  }
  return 0;
}
