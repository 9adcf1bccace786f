#include "app/state_dump.h"

#include "app/player.h"
#include "platform/sjis.h"

namespace orv {

using nlohmann::json;

namespace {

json MenuJson(const std::vector<MenuItem>& items, json& out) {
  for (const auto& item : items) {
    if (!item.separator)
      out[item.name] = {{"caption", Cp932ToUtf8(item.caption)}, {"checked", item.checked}, {"enabled", item.enabled}};
    MenuJson(item.children, out);
  }
  return out;
}

struct SceneJson {
  json& out;
  void operator()(std::string_view name, size_t, int32_t v) const { Put(name, v); }
  void operator()(std::string_view name, size_t, uint32_t v) const { Put(name, v); }
  void operator()(std::string_view name, size_t, uint8_t v) const { Put(name, v); }
  template <size_t N>
  void operator()(std::string_view name, size_t, const FixedText<N>& v) const {
    Put(name, Cp932ToUtf8(v.str()));
  }
  template <typename T, size_t N>
  void operator()(std::string_view name, size_t at, const std::array<T, N>& v) const {
    if (name.empty()) return;
    json list = json::array();
    for (const auto& element : v) {
      if constexpr (std::is_integral_v<T>) list.push_back(element);
      else list.push_back(Cp932ToUtf8(element.str()));
    }
    out[std::string(name)] = list;
  }
  template <typename V>
  void Put(std::string_view name, const V& v) const {
    if (!name.empty()) out[std::string(name)] = v;
  }
};

json SceneStateJson(const SceneState& s) {
  json out = json::object();
  VisitSceneState(s, SceneJson{out});
  return out;
}

template <size_t N, size_t Capacity>
json TextsJson(const std::array<FixedText<Capacity>, N>& texts) {
  json list = json::array();
  for (const auto& text : texts) list.push_back(Cp932ToUtf8(text.str()));
  return list;
}

json ChoiceListJson(const ChoiceList& list) {
  json positions = json::array();
  for (int i = 0; i < kMaxChoices; ++i) positions.push_back({list.positions[size_t(i)].x, list.positions[size_t(i)].y});
  return {{"count", list.count}, {"captions", TextsJson(list.captions)}, {"targets", TextsJson(list.targets)},
          {"positions", positions}};
}

json PictureChoiceListJson(const PictureChoiceList& list) {
  return {{"count", list.count},
          {"left", list.left},
          {"top", list.top},
          {"right", list.right},
          {"bottom", list.bottom},
          {"transparent", list.transparent},
          {"normalPicture", TextsJson(list.normalPicture)},
          {"hoverPicture", TextsJson(list.hoverPicture)},
          {"pressedPicture", TextsJson(list.pressedPicture)},
          {"targets", TextsJson(list.targets)},
          {"shownHover", list.shownHover}};
}

// Before the first opening, the controls as the dialog's form lays them out.
json VolumeDialogJson(const VolumeDialog* dialog) {
  json positions = json::object(), muted = json::object(), enabled = json::object();
  for (auto [line, key] : {std::pair{VolumeLine::Wave, "wave"}, {VolumeLine::Midi, "midi"}, {VolumeLine::Cd, "cd"}}) {
    const VolumeControls::Line state = dialog ? dialog->Get(line) : VolumeControls::Line{};
    positions[key] = state.position;
    muted[key] = state.muted;
    enabled[key] = state.sliderEnabled;
  }
  return {{"open", dialog && dialog->IsOpen()}, {"positions", positions}, {"muted", muted}, {"enabled", enabled}};
}

}  // namespace

json StateDump::Of(const Player& player) {
  json out;
  out["caption"] = Cp932ToUtf8(player.window_.applicationTitle);
  json menu = json::object();
  out["menu"] = MenuJson(player.menus_.model().items, menu);
  out["interactionState"] = player.input_.interactionState;
  out["skipMode"] = player.skip_.mode();
  out["choiceActive"] = player.choices_.choiceActive();
  out["pictureChoiceActive"] = player.choices_.pictureChoiceActive();
  out["hoveredChoice"] = player.choices_.hoveredChoice();
  out["pointerOnChoice"] = player.choices_.pointerOnChoice();
  out["pageEnded"] = player.interpreter_.pageEnded();
  out["scriptOffset"] = player.interpreter_.scriptOffset();
  out["textCursorX"] = player.interpreter_.textCursorX();
  out["textCursorY"] = player.interpreter_.textCursorY();
  out["messageDelayMs"] = player.interpreter_.messageDelayMs();
  out["textColor"] = player.interpreter_.textColor();
  out["pageIndex"] = player.interpreter_.pageIndex();
  // Not part of the game's own state: the clock, so that tests can see how long things took.
  out["clockMs"] = const_cast<Player&>(player).ClockMs();
  json history = json::array();
  for (int p = 0; p <= player.interpreter_.pageIndex() && p < kHistoryPages; ++p) {
    const MessageHistory::Page page = player.interpreter_.history().page(p);
    json lines = json::array();
    for (int l = 0; l <= page.lineCount(); ++l) lines.push_back(Cp932ToUtf8(page.line(l)));
    history.push_back({{"lineCount", page.lineCount()}, {"lines", lines}});
  }
  out["history"] = history;
  out["SceneState"] = SceneStateJson(player.scene_);
  out["SavePointState"] = SceneStateJson(player.savePoint_);
  json numeric = json::array();
  for (int i = 0; i < kNumericVariables; ++i) {
    const auto& v = player.vars_.numeric[size_t(i)];
    if (!v.name.empty() || v.value != 0)
      numeric.push_back({{"index", i}, {"name", Cp932ToUtf8(v.name.str())}, {"value", v.value}});
  }
  out["numericVariables"] = numeric;
  json strings = json::array();
  for (int i = 0; i < kStringVariables; ++i) {
    const auto& v = player.vars_.strings[size_t(i)];
    if (!v.name.empty() || !v.value.empty())
      strings.push_back({{"index", i}, {"name", Cp932ToUtf8(v.name.str())}, {"value", Cp932ToUtf8(v.value.str())}});
  }
  out["stringVariables"] = strings;
  Player& live = const_cast<Player&>(player);
  out["music"] = {{"name", Cp932ToUtf8(player.scene_.musicName.str())},
                  {"playing", player.sound_.music().Playing()},
                  {"loop", player.sound_.music().Loop()}};
  out["wave"] = {{"name", Cp932ToUtf8(player.scene_.waveName.str())},
                 {"playing", live.sound_.audio().WavePlaying()},
                 {"loop", player.scene_.waveMode == 0}};
  out["cd"] = {{"track", player.scene_.cdTrack}, {"playing", live.sound_.audio().TrackPlaying()}};
  json volumes = json::object();
  for (auto [line, key] : {std::pair{VolumeLine::Wave, "wave"}, {VolumeLine::Midi, "midi"}, {VolumeLine::Cd, "cd"}}) {
    uint32_t volume = 0;
    if (live.sound_.audio().GetVolume(line, volume)) volumes[key] = volume;
  }
  out["volumes"] = volumes;
  out["ChoiceList"] = ChoiceListJson(player.choices_.list());
  out["PictureChoiceList"] = PictureChoiceListJson(player.choices_.pictureList());
  out["historyScreen"] = {{"shownPage", player.historyScreen_.shownPage()},
                          {"hoverZone", player.historyScreen_.hoverZone()}};
  out["volumeDialog"] = VolumeDialogJson(player.volumeDialog_.get());
  // The player's own auto mode: on or off, its delays, and when it next goes on (null: not due).
  const AutoMode& autoMode = player.autoMode_;
  out["autoMode"] = {{"on", autoMode.on()},
                     {"baseDelayMs", autoMode.delays().baseMs},
                     {"perCharacterDelayMs", autoMode.delays().perCharacterMs},
                     {"dueMs", autoMode.dueMs() ? nlohmann::json(*autoMode.dueMs()) : nlohmann::json(nullptr)}};
  const RollbackRing& rollback = player.rollback();
  out["rollback"] = {{"depth", rollback.depth()},
                     {"position", rollback.position()},
                     {"ahead", rollback.ahead()},
                     {"bytes", rollback.bytes()},
                     {"allowed", player.RollbackAllowed()}};
  int left = 0, top = 0;
  live.services_.host.GetWindowPosition(left, top);
  out["window"] = {{"left", left}, {"top", top}};
  out["skipMark"] = live.services_.host.SkippingShown();
  return out;
}

json DumpState(const Player& player) { return StateDump::Of(player); }

}  // namespace orv
