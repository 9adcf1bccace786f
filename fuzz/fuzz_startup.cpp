// init.def and scenario packages: whatever the bytes, parsing ends with a defined result.
#include <cstdint>

#include "script/package_file.h"
#include "script/startup_definitions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orv::ByteSpan bytes(data, size);
  orv::ParseStartupDefinitions(bytes);
  if (auto package = orv::PackageFile::Parse(bytes)) {
    for (const auto& entry : package->directory()) (void)package->ReadMember(entry);
    if (!package->directory().empty()) orv::FindPackageEntry(package->directory(), package->directory().back().memberName);
  }
  return 0;
}
