// A picture package over arbitrary bytes: the directory, the lookup of every member by its
// stored name and by a few fixed names, and the decoding of whatever each member holds.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "graphics/picture_loader.h"
#include "script/package_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto package = orv::PackageFile::Parse(orv::ByteSpan(data, size));
  if (!package) return 0;
  auto check = [](const std::optional<orv::PictureLoad>& load) {
    if (!load || !*load) return;
    if (**load && (**load)->empty()) std::abort();
  };
  const size_t members = std::min<size_t>(package->directory().size(), 16);
  for (size_t i = 0; i < members; ++i) check(orv::LoadPictureFromPackage(*package, package->directory()[i].memberName));
  for (const char* name : {"BG.BMP", "a.jpg", "c.ccg", "x"}) check(orv::LoadPictureFromPackage(*package, name));
  return 0;
}
