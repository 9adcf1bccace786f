#pragma once
// Pictures by name, the way every picture of a game is found: first as a member of the
// picture package, then as a plain file of the game folder, each by its three-letter type.
//
//   type   plain file                          package member
//   BMP    BMP decoding                        BmpToImage of the member's bytes
//   JPG    JPEG decoding                       JPEG decoding of the member's bytes
//   CCG    ARC1 decoding, then BmpToImage      as any other type
//   other  nothing                             ARC1 data (by its magic) as a CCG file, else
//                                              the member counts as missing
//
// The type is the last three bytes of the name (of the stored member name for a package
// member), ASCII letters upper-cased; a shorter name is its own type.
//
// A load (PictureLoad) ends in one of three ways:
//   a picture
//   null     nothing happened, silently; whatever the caller's image held stays. A name of
//            another type, a CCG file that is missing or carries no ARC1 data, BMP data from
//            a package or an ARC1 file that does not start with "BM".
//   error    the player must be told the message (Shift-JIS). A plain BMP or JPG file that is
//            missing or cannot be decoded, a package member of those types that cannot be
//            read or decoded (UnreadablePicture), or ARC1 data whose decoder reported an error
//            ("エラー" for a tree of too many nodes). After an unreadable picture the command
//            that asked for it goes no further (a missing file raised an error there in the
//            kit); after an ARC1 message the command goes on as after nothing.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/bytes.h"
#include "platform/image.h"
#include "platform/result.h"

namespace orv {

class GameFolder;
class PackageFile;

// A decoded picture, shared by the cache and whoever draws it.
using PictureRef = std::shared_ptr<const Image>;
using PictureLoad = Result<PictureRef>;

// "画像ファイルを読みこめませんでした：" and the name (ErrorKind::Unreadable).
Error UnreadablePicture(std::string_view name);
// Whether the command that asked for the picture goes no further after this error: only
// after an unreadable picture, not after an ARC1 decoder's message.
bool PictureErrorEndsCommand(const Error& error);

// The last three bytes of the name, ASCII letters upper-cased.
std::string PictureType(std::string_view name);

// The picture in BMP bytes that came from a package or out of ARC1 data: null unless the
// bytes start with "BM". `name` is only used in the message when they cannot be decoded.
PictureLoad BmpToImage(ByteSpan bmp, std::string_view name);

// The member `name` of the package as a picture; nothing when the package holds no such
// member or one of an unusable type (a caller then tries a plain file).
std::optional<PictureLoad> LoadPictureFromPackage(const PackageFile& package, std::string_view name);
// The same with the package opened by name; nothing also when it cannot be opened.
std::optional<PictureLoad> LoadPictureFromPackage(const GameFolder& folder, std::string_view packageName,
                                                  std::string_view name);

// A plain file of the game folder by its type.
PictureLoad LoadPictureFile(const GameFolder& folder, std::string_view name);

// The package member, else the plain file.
PictureLoad LoadPicture(const GameFolder& folder, std::string_view packageName, std::string_view name);

// The game's picture source: the folder and the picture package named by init.def.
class PictureLoader {
 public:
  PictureLoader(const GameFolder& folder, std::string picturePackageName)
      : folder_(folder), packageName_(std::move(picturePackageName)) {}

  PictureLoad Load(std::string_view name) const { return LoadPicture(folder_, packageName_, name); }

  const GameFolder& folder() const { return folder_; }
  const std::string& packageName() const { return packageName_; }

 private:
  const GameFolder& folder_;
  std::string packageName_;
};

}  // namespace orv
