#pragma once
// One windowed player at a time: an advisory lock on a per-user file, held until the process
// ends (the kernel drops it then, whatever way the process ends).
#include <filesystem>

namespace orv {

// The lock file: $XDG_RUNTIME_DIR/orvane.lock, or /tmp/orvane-UID.lock without it.
std::filesystem::path SingleInstanceLockPath();

// True when the lock is now held by this call; false when it is held already (by another
// player, or by an earlier call). When the lock file cannot be opened at all the player runs
// (true).
bool AcquireSingleInstance();
bool AcquireSingleInstance(const std::filesystem::path& lockFile);

}  // namespace orv
