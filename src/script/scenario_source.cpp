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

Error ScenarioError(ErrorKind kind) { return Error{kind, std::string(kScenarioUnreadable)}; }

}  // namespace

Result<std::string> ScenarioSource::LoadFirstScenario(std::string_view scenarioFileName) {
  mode_ = ScenarioSourceMode::File;
  buffer_.clear();
  const std::string type = FileTypeOf(scenarioFileName);
  if (type == "TXT" || type == "SNR") {
    auto bytes = folder_.ReadAll(scenarioFileName);
    if (!bytes) return ScenarioError(ErrorKind::NotFound);
    buffer_ = ToText(std::move(*bytes), type == "SNR");
    return std::string(scenarioFileName);
  }
  if (type == "DAT") {
    auto package = PackageFile::Open(folder_, scenarioFileName);
    if (!package) return ScenarioError(package.error().kind);
    if (package->directory().empty()) return ScenarioError(ErrorKind::NotFound);
    const PackageEntry& first = package->directory().front();
    auto bytes = package->ReadMember(first);
    if (!bytes) return ScenarioError(bytes.error().kind);
    mode_ = ScenarioSourceMode::Package;
    packageName_ = std::string(scenarioFileName);
    buffer_ = ToText(std::move(*bytes), true);
    return first.memberName;
  }
  return ScenarioError(ErrorKind::Unsupported);
}

bool ScenarioSource::TakeFromLastRead(const std::string& key, const std::optional<GameFolder::FileStamp>& stamp) {
  if (!lastRead_ || !stamp || lastRead_->key != key || !(lastRead_->stamp == *stamp)) return false;
  buffer_ = lastRead_->text;
  return true;
}

void ScenarioSource::KeepAsLastRead(std::string key, std::optional<GameFolder::FileStamp> stamp) {
  if (stamp)
    lastRead_ = LastRead{std::move(key), std::move(*stamp), buffer_};
  else
    lastRead_.reset();
}

void ScenarioSource::Reset() {
  mode_ = ScenarioSourceMode::File;
  packageName_.clear();
  buffer_.clear();
  lastRead_.reset();
}

Result<void> ScenarioSource::SwitchScenario(std::string_view name, std::string_view currentName) {
  if (mode_ == ScenarioSourceMode::File) {
    const bool invert = FileTypeOf(currentName) == "SNR";
    std::string key = std::string(invert ? "file-inverted:" : "file:") + AsciiUpper(name);
    // Stamped before reading, so that a change made during the read shows next time.
    auto stamp = folder_.Stamp(name);
    if (TakeFromLastRead(key, stamp)) return {};
    auto bytes = folder_.ReadAll(name);
    if (!bytes) return ScenarioError(ErrorKind::NotFound);
    buffer_ = ToText(std::move(*bytes), invert);
    KeepAsLastRead(std::move(key), std::move(stamp));
    return {};
  }
  std::string key = "member:" + AsciiUpper(packageName_) + ":" + AsciiUpper(name);
  auto stamp = folder_.Stamp(packageName_);
  if (TakeFromLastRead(key, stamp)) return {};
  auto package = PackageFile::Open(folder_, packageName_);
  if (!package) return ScenarioError(package.error().kind);
  auto bytes = package->ReadMember(name);
  if (!bytes) return ScenarioError(bytes.error().kind);
  buffer_ = ToText(std::move(*bytes), true);
  KeepAsLastRead(std::move(key), std::move(stamp));
  return {};
}

}  // namespace orv
