#include "platform/check.h"

#include <cstdio>
#include <cstdlib>

namespace orv {

bool CheckFailed(const char* condition, const char* what, const char* file, int line) {
  std::fprintf(stderr, "orvane: internal check failed at %s:%d: %s (%s)\n", file, line, what, condition);
  if constexpr (kChecksTrap) {
    std::fflush(stderr);
    std::abort();
  }
  return false;
}

}  // namespace orv
