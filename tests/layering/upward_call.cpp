// Planted by the layering tests: a call into app/ that names its callee without any include,
// as a declaration copied by hand would. Linked with graphics and the layers below it, it must
// be an undefined reference; linked with app, it resolves, so the callee is really there.
#include <filesystem>

#include "platform/result.h"

namespace orv {

Result<void> CheckGameFolder(const std::filesystem::path& dir);

bool PlantedUpwardCall() { return CheckGameFolder(".").ok(); }

}  // namespace orv
