#include "platform/result.h"

namespace orv {

const char* ErrorKindName(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::NotFound: return "not found";
    case ErrorKind::Unreadable: return "unreadable";
    case ErrorKind::Malformed: return "malformed";
    case ErrorKind::TooLarge: return "too large";
    case ErrorKind::Unsupported: return "unsupported";
    case ErrorKind::BadUsage: return "bad usage";
    case ErrorKind::Refused: return "refused";
    case ErrorKind::Failed: return "failed";
  }
  return "unknown";
}

}  // namespace orv
