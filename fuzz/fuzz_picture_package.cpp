// A picture package over arbitrary bytes: the directory, the lookup of every member by its
// stored name and by a few fixed names, and the decoding of whatever each member holds.
// Each member is decoded once, however many names lead to it: a package of sixteen entries of
// one name would otherwise decode its first picture seventeen times, and a campaign keeps
// exactly such inputs, so its speed fell with the corpus it grew.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include "graphics/picture_loader.h"
#include "script/package_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto package = orv::PackageFile::Parse(orv::ByteSpan(data, size));
  if (!package) return 0;
  std::vector<int> decoded;
  auto load = [&](std::string_view name) {
    const int index = package->Find(name);
    if (index < 0 || std::find(decoded.begin(), decoded.end(), index) != decoded.end()) return;
    decoded.push_back(index);
    const std::optional<orv::PictureLoad> picture = orv::LoadPictureFromPackage(*package, name);
    if (!picture || !*picture) return;
    if (**picture && (**picture)->empty()) std::abort();
  };
  const size_t members = std::min<size_t>(package->directory().size(), 16);
  for (size_t i = 0; i < members; ++i) load(package->directory()[i].memberName);
  for (const char* name : {"BG.BMP", "a.jpg", "c.ccg", "x"}) load(name);
  return 0;
}
