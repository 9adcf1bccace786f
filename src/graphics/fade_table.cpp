#include "graphics/fade_table.h"

namespace orv {

FadeTable::FadeTable() : entries_(kBytes) {
  size_t i = 0;
  for (int newValue = 0; newValue < 256; ++newValue)
    for (int oldValue = 0; oldValue < 256; ++oldValue)
      for (int step = 0; step < kSteps; ++step)
        entries_[i++] = uint8_t((oldValue * 256 + (newValue - oldValue) * step * 16) >> 8);
}

}  // namespace orv
