#include "platform/sdl/player_menu.h"

#include <string>

#include "platform/sjis.h"

namespace orv {
namespace {

constexpr std::string_view kScalingPrefix = "scaling.";

MenuItem PlayerItem(const std::string& name, std::string_view captionUtf8, bool checked = false) {
  MenuItem item;
  item.name = std::string(kPlayerMenuPrefix) + name;
  item.caption = Utf8ToCp932(captionUtf8);
  item.checked = checked;
  return item;
}

}  // namespace

MenuItem PlayerMenu(Scaling scaling, bool fullScreen) {
  MenuItem view = PlayerItem("view", "表示(&V)");
  MenuItem separator = PlayerItem("separator", "");
  separator.separator = true;
  view.children = {
      PlayerItem("scaling.integer", "整数倍で拡大 (Integer)", scaling == Scaling::Integer),
      PlayerItem("scaling.fit", "縦横比を保って拡大 (Fit)", scaling == Scaling::Fit),
      PlayerItem("scaling.stretch", "画面いっぱいに拡大 (Stretch)", scaling == Scaling::Stretch),
      separator,
      PlayerItem("fullscreen", "フルスクリーン (Alt+Enter, F11)", fullScreen),
  };
  return view;
}

std::optional<PlayerMenuChoice> ReadPlayerMenuChoice(std::string_view name) {
  if (!name.starts_with(kPlayerMenuPrefix)) return std::nullopt;
  const std::string_view item = name.substr(kPlayerMenuPrefix.size());
  PlayerMenuChoice choice;
  if (item.starts_with(kScalingPrefix)) {
    choice.scaling = ScalingByName(item.substr(kScalingPrefix.size()));
  } else if (item == "fullscreen") {
    choice.toggleFullScreen = true;
  }
  return choice;
}

}  // namespace orv
