#include "script/scenario_source.h"

#include "platform/game_folder.h"
#include "script/package_file.h"

namespace orv {

std::string FileTypeOf(std::string_view name) {
  return AsciiUpper(name.size() < 3 ? name : name.substr(name.size() - 3));
}

namespace {
std::string ToText(Bytes bytes, bool invert) {
  if (invert) InvertBytes(bytes);
  return std::string(bytes.begin(), bytes.end());
}
}  // namespace

ScenarioLoad ScenarioSource::LoadFirstScenario(std::string_view scenarioFileName) {
  mode_ = ScenarioSourceMode::File;
  buffer_.clear();
  const std::string type = FileTypeOf(scenarioFileName);
  if (type == "TXT" || type == "SNR") {
    auto bytes = folder_.ReadAll(scenarioFileName);
    if (!bytes) return {};
    buffer_ = ToText(std::move(*bytes), type == "SNR");
    return {true, std::string(scenarioFileName)};
  }
  if (type == "DAT") {
    auto package = PackageFile::Open(folder_, scenarioFileName);
    if (!package || package->directory().empty()) return {};
    const PackageEntry& first = package->directory().front();
    auto bytes = package->ReadMember(first);
    if (!bytes) return {};
    mode_ = ScenarioSourceMode::Package;
    packageName_ = std::string(scenarioFileName);
    buffer_ = ToText(std::move(*bytes), true);
    return {true, first.memberName};
  }
  return {};
}

bool ScenarioSource::SwitchScenario(std::string_view name, std::string_view currentName) {
  if (mode_ == ScenarioSourceMode::File) {
    auto bytes = folder_.ReadAll(name);
    if (!bytes) return false;
    buffer_ = ToText(std::move(*bytes), FileTypeOf(currentName) == "SNR");
    return true;
  }
  auto package = PackageFile::Open(folder_, packageName_);
  if (!package) return false;
  auto bytes = package->ReadMember(name);
  if (!bytes) return false;
  buffer_ = ToText(std::move(*bytes), true);
  return true;
}

}  // namespace orv
