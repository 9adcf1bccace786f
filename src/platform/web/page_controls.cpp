#include "platform/web/page_controls.h"

#include <array>
#include <cstdio>

#include "platform/sjis.h"
#include "platform/web/page_controls_bridge.h"

namespace orv {

namespace {

// A name box answer is a line of a few dozen characters; anything near this is not a name.
constexpr int kLongestAnswer = 4096;
constexpr int kLongestItemName = 256;

void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      std::array<char, 8> escaped{};
      std::snprintf(escaped.data(), escaped.size(), "\\u%04x", byte);
      out += escaped.data();
    } else {
      out += c;
    }
  }
  out += '"';
}

void AppendItems(std::string& out, const std::vector<MenuItem>& items) {
  out += '[';
  for (size_t i = 0; i < items.size(); ++i) {
    const MenuItem& item = items[i];
    if (i > 0) out += ',';
    out += "{\"name\":";
    AppendJsonString(out, item.name);
    out += ",\"caption\":";
    AppendJsonString(out, Cp932ToUtf8(item.caption));
    out += item.checked ? ",\"checked\":true" : ",\"checked\":false";
    out += item.enabled ? ",\"enabled\":true" : ",\"enabled\":false";
    out += item.separator ? ",\"separator\":true" : ",\"separator\":false";
    out += ",\"children\":";
    AppendItems(out, item.children);
    out += '}';
  }
  out += ']';
}

}  // namespace

std::string MenuModelJson(const MenuModel& menu) {
  std::string out;
  AppendItems(out, menu.items);
  return out;
}

void PageControls::MenuChanged(const MenuModel& menu) {
  menu_ = menu;
  orvane_web_menu_changed(MenuModelJson(menu).c_str());
  window_.MenuChanged(menu);
}

std::optional<std::string> PageControls::TakeMenuChoice() {
  std::array<char, kLongestItemName> name{};
  const int length = orvane_web_take_menu_choice(name.data(), int(name.size()));
  if (length <= 0) return std::nullopt;
  const MenuItem* item = menu_.Find(std::string_view(name.data(), size_t(length)));
  // Only a leaf that the bar would let a click reach: a parent or a greyed item does nothing.
  if (!item || !item->enabled || item->separator || !item->children.empty()) return std::nullopt;
  return item->name;
}

bool PageControls::AskYesNo(std::string_view text, std::string_view caption) {
  const int answer = orvane_web_ask_yes_no(Cp932ToUtf8(caption).c_str(), Cp932ToUtf8(text).c_str());
  if (answer < 0) return window_.AskYesNo(text, caption);
  return answer == 1;
}

std::optional<std::string> PageControls::AskText(std::string_view caption, std::string_view prompt,
                                                 std::string_view defaultText) {
  std::string answer(kLongestAnswer, '\0');
  const int length = orvane_web_ask_text(Cp932ToUtf8(caption).c_str(), Cp932ToUtf8(prompt).c_str(),
                                         Cp932ToUtf8(defaultText).c_str(), answer.data(), int(answer.size()));
  if (length == -1) return window_.AskText(caption, prompt, defaultText);
  if (length < 0) return std::nullopt;
  answer.resize(size_t(length));
  return Utf8ToCp932(answer);
}

}  // namespace orv
