#include "graphics/picture_loader.h"

#include <cstring>

#include "graphics/arc1.h"
#include "graphics/bmp_decoder.h"
#include "graphics/jpeg_decoder.h"
#include "platform/game_folder.h"
#include "script/package_file.h"

namespace orv {
namespace {

// "画像ファイルを読みこめませんでした："
constexpr std::string_view kUnreadablePicture =
    "\x89\xE6\x91\x9C\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xF0\x93\xC7\x82\xDD\x82\xB1\x82\xDF\x82\xDC\x82\xB9"
    "\x82\xF1\x82\xC5\x82\xB5\x82\xBD\x81\x46";

bool StartsWith(ByteSpan bytes, std::string_view magic) {
  return bytes.size() >= magic.size() && std::memcmp(bytes.data(), magic.data(), magic.size()) == 0;
}

// The decoder's reason is for logs; the player is told which file could not be read.
PictureLoad FromDecoded(Result<Image> decoded, std::string_view name) {
  if (!decoded) return UnreadablePicture(name);
  return std::make_shared<const Image>(std::move(decoded).value());
}

// ARC1 bytes (a CCG file or a package member) holding a BMP. The decoder's messages are the
// kit's own and go to the player as they are.
PictureLoad LoadArc1Picture(ByteSpan arc1, std::string_view name) {
  // Only a bitmap inside is a picture, and its first two bytes say so. A few bytes of file
  // may ask for tens of megabytes of one repeated byte: those are not unpacked for nothing.
  Result<Bytes> start = DecodeArc1FileStart(arc1, 2);
  if (!start) return start.error();
  if (!StartsWith(*start, "BM")) return PictureRef();
  Result<Bytes> unpacked = DecodeArc1File(arc1);
  if (!unpacked) return unpacked.error();
  return BmpToImage(*unpacked, name);
}

}  // namespace

Error UnreadablePicture(std::string_view name) {
  std::string message(kUnreadablePicture);
  message += name;
  return Error{ErrorKind::Unreadable, std::move(message)};
}

bool PictureErrorEndsCommand(const Error& error) { return error.kind == ErrorKind::Unreadable; }

std::string PictureType(std::string_view name) {
  return AsciiUpper(name.size() <= 3 ? name : name.substr(name.size() - 3));
}

PictureLoad BmpToImage(ByteSpan bmp, std::string_view name) {
  if (!StartsWith(bmp, "BM")) return PictureRef();
  return FromDecoded(DecodeBmp(bmp), name);
}

std::optional<PictureLoad> LoadPictureFromPackage(const PackageFile& package, std::string_view name) {
  const int index = package.Find(name);
  if (index < 0) return std::nullopt;
  const PackageEntry& entry = package.directory()[size_t(index)];
  const std::string type = PictureType(entry.memberName);
  Result<Bytes> member = package.ReadMember(entry);

  if (type == "JPG") {
    if (!member) return UnreadablePicture(name);
    return FromDecoded(DecodeJpeg(*member), name);
  }
  if (type == "BMP") {
    if (!member) return UnreadablePicture(name);
    return BmpToImage(*member, name);
  }
  // Any other ending, CCG included, is recognised by the ARC1 magic alone.
  if (!member || !StartsWith(*member, "ARC1")) return std::nullopt;
  return LoadArc1Picture(*member, name);
}

std::optional<PictureLoad> LoadPictureFromPackage(const GameFolder& folder, std::string_view packageName,
                                                  std::string_view name) {
  if (packageName.empty()) return std::nullopt;
  Result<PackageFile> package = PackageFile::Open(folder, packageName);
  if (!package) return std::nullopt;
  return LoadPictureFromPackage(*package, name);
}

PictureLoad LoadPictureFile(const GameFolder& folder, std::string_view name) {
  const std::string type = PictureType(name);
  if (type == "BMP" || type == "JPG") {
    std::optional<Bytes> bytes = folder.ReadAll(name);
    if (!bytes) return UnreadablePicture(name);
    return FromDecoded(type == "BMP" ? DecodeBmp(*bytes) : DecodeJpeg(*bytes), name);
  }
  if (type == "CCG") {
    std::optional<Bytes> bytes = folder.ReadAll(name);
    if (!bytes) return PictureRef();
    return LoadArc1Picture(*bytes, name);
  }
  return PictureRef();
}

PictureLoad LoadPicture(const GameFolder& folder, std::string_view packageName, std::string_view name) {
  if (std::optional<PictureLoad> fromPackage = LoadPictureFromPackage(folder, packageName, name))
    return std::move(*fromPackage);
  return LoadPictureFile(folder, name);
}

}  // namespace orv
