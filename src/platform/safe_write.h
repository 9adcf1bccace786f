#pragma once
// Replacing a file so that it is never half written: the new contents go to a temporary file
// in the same folder, which is flushed to the disk and then renamed over the old file. A
// failure at any step removes the temporary file, leaves the old file as it was and says why.
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/bytes.h"

namespace orv {

struct WriteOutcome {
  bool ok = true;
  std::string reason;  // why the write failed, for the player (UTF-8)

  static WriteOutcome Failed(std::string why) { return WriteOutcome{false, std::move(why)}; }
  explicit operator bool() const { return ok; }
};

enum class WriteStep { OpenTemporary, WriteData, Flush, Close, Rename };

// Asked before every step; a non-zero error number makes that step fail with it. `written` is
// how many bytes the temporary file holds so far. Tests use it to fail a save at every point.
using WriteFault = std::function<int(WriteStep step, size_t written)>;

// The temporary file a replacement of `file` writes first.
std::filesystem::path TemporaryNameFor(const std::filesystem::path& file);

WriteOutcome ReplaceFileSafely(const std::filesystem::path& file, ByteSpan data, const WriteFault& fault = {});

}  // namespace orv
