// The cursor-file reader over arbitrary bytes: it must refuse or read, never look outside the
// input, and keep every cursor within its size limit.
#include <cstdint>
#include <cstdlib>

#include "platform/ui/cursor_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto cursor = orv::ParseCursorFile(orv::ByteSpan(data, size));
  if (!cursor) return 0;
  if (cursor->width <= 0 || cursor->height <= 0 || cursor->width > orv::kMaxCursorSide ||
      cursor->height > orv::kMaxCursorSide)
    std::abort();
  if (cursor->argb.size() != size_t(cursor->width) * size_t(cursor->height)) std::abort();
  if (cursor->hotX < 0 || cursor->hotY < 0 || cursor->hotX >= cursor->width || cursor->hotY >= cursor->height)
    std::abort();
  return 0;
}
