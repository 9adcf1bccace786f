#pragma once
// Writing pictures to files: 24-bit Windows BMP (the format screen saving uses) and PNG.
#include <filesystem>
#include <optional>

#include "platform/bytes.h"
#include "platform/image.h"

namespace orv {

// A 24-bit bottom-up BMP with a 40-byte info header and rows padded to 4 bytes.
Bytes EncodeBmp24(const Image& image);
bool WriteBmp24(const std::filesystem::path& file, const Image& image);
// An RGB PNG of the picture; nothing for an empty one.
std::optional<Bytes> EncodePng(const Image& image);
bool WritePng(const std::filesystem::path& file, const Image& image);
// PNG when the name ends in .png (any case), else BMP.
bool WriteScreenshot(const std::filesystem::path& file, const Image& image);

}  // namespace orv
