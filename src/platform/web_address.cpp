#include "platform/web_address.h"

#include <algorithm>

#include "platform/bytes.h"

namespace orv {

bool IsWebAddress(std::string_view target) {
  auto startsWith = [&](std::string_view scheme) {
    return target.size() > scheme.size() && AsciiEqualNoCase(target.substr(0, scheme.size()), scheme);
  };
  const bool scheme = startsWith("http://") || startsWith("https://");
  const bool clean = std::none_of(target.begin(), target.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7F;
  });
  return scheme && clean;
}

}  // namespace orv
