#pragma once
// Plays a small scenario headless and reads the state it left: the output lines and a dump
// taken after the given events.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace orv::test {

struct Played {
  HeadlessResult run;
  nlohmann::json state;  // null when the game closed before the dump

  // The value of the numeric (string) variable named `name`; fails the test when absent.
  int64_t Num(const std::string& name) const {
    for (const auto& v : state["numericVariables"])
      if (v["name"] == name) return v["value"].get<int64_t>();
    ADD_FAILURE() << "no numeric variable " << name;
    return -1;
  }
  std::string Str(const std::string& name) const {
    for (const auto& v : state["stringVariables"])
      if (v["name"] == name) return v["value"].get<std::string>();
    ADD_FAILURE() << "no string variable " << name;
    return "";
  }
  bool HasNum(const std::string& name) const {
    for (const auto& v : state["numericVariables"])
      if (v["name"] == name) return true;
    return false;
  }
  const nlohmann::json& Scene() const { return state["SceneState"]; }
  // The text of line `line` of history page `page`.
  std::string HistoryLine(int page, int line) const {
    return state["history"][size_t(page)]["lines"][size_t(line)].get<std::string>();
  }
};

// Writes the game (extra files too), plays it with the events, then dumps.
inline Played Play(const GameSpec& game, std::vector<std::string> events = {},
                   const std::vector<std::pair<std::string, std::string>>& files = {}) {
  TempDir dir;
  WriteGame(dir, game);
  for (const auto& [name, contents] : files) dir.Write(name, contents);
  events.push_back("dump state.json");
  Played played;
  played.run = RunHeadlessGame(dir.path(), events);
  played.state = ReadDump(dir, "state.json");
  return played;
}

inline Played Play(const std::vector<std::string>& scenario, std::vector<std::string> events = {}) {
  return Play(GameSpec{.scenario = scenario}, std::move(events));
}

}  // namespace orv::test
