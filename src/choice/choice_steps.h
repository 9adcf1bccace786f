#pragma once
// Small steps both kinds of choice take.
#include <cstdint>
#include <string_view>

#include "choice/choice_context.h"

namespace orv {

// Fetches the next line of the block and points the reader at it; false at the end of the
// scenario (the reader then stands on nothing).
bool FetchBlockLine(ChoiceContext& c);
bool LineBegins(const ChoiceContext& c, char first);

// Scripts may place things anywhere a 32-bit number reaches; nothing that far out can show,
// and drawing code must not do arithmetic near the limits of int.
bool WithinDrawingRange(int64_t x, int64_t y);

// 32-bit sums as the kit computed them: wrapping, never undefined.
inline int32_t WrappingAdd(int32_t a, int32_t b) { return int32_t(uint32_t(a) + uint32_t(b)); }

}  // namespace orv
