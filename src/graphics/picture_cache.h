#pragma once
// Decoded pictures kept by name, so that recomposing the stage, which draws every shown
// character again, does not decode every character again.
//
// - Key: the picture name with ASCII letters upper-cased, the way both the package lookup
//   and the game folder compare names.
// - Freshness: an entry remembers the stamp (real path, size, modification time) of the
//   picture package and, for a picture that came from a plain file, of that file. Each lookup
//   checks them again (one or two file-system queries, no reading); any difference, or a file
//   that has appeared or gone, drops the entry and loads afresh. A package that gains the
//   member counts as a change too, since the package is stamped even for plain-file pictures.
// - The package's directory is read once and kept (CachedPackage) under the same stamps, so
//   a load that misses costs the same in a package of ten members or of thousands.
// - Only pictures are kept. Loads of nothing and errors are loaded again each time: they are
//   rare, cheap, and an error's message must reach the player each time the game asks.
// - Memory: at most `budgetBytes` of pixels; the least recently used pictures go first. A
//   single picture larger than the budget is handed out without being kept.
// - One game thread: no locking.
#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "graphics/picture_loader.h"
#include "platform/game_folder.h"
#include "script/package_file.h"

namespace orv {

class PictureCache {
 public:
  static constexpr size_t kDefaultBudgetBytes = size_t(64) << 20;

  PictureCache(const GameFolder& folder, const std::string& picturePackageName,
               size_t budgetBytes = kDefaultBudgetBytes);

  // As PictureLoader::Load, from memory when the picture and its sources are unchanged.
  PictureLoad Load(std::string_view name);
  // Forgets the decoded pictures (the package's directory stays, checked as ever).
  void Clear();

  size_t pictureCount() const { return entries_.size(); }
  size_t bytesHeld() const { return bytesHeld_; }

  // While one lives, every picture sees the package as it was when the first looked at it:
  // a stage of eleven pictures asks the file system about the package once, not eleven times.
  class OneMoment {
   public:
    explicit OneMoment(PictureCache& cache) : cache_(cache) { ++cache_.momentDepth_; }
    ~OneMoment() {
      if (--cache_.momentDepth_ == 0) cache_.momentPackage_.reset();
    }
    OneMoment(const OneMoment&) = delete;
    OneMoment& operator=(const OneMoment&) = delete;

   private:
    PictureCache& cache_;
  };

 private:
  // What a file looked like when its picture was decoded; none when it was missing.
  using Stamp = std::optional<GameFolder::FileStamp>;
  struct Entry {
    std::string key;
    PictureRef image;
    Stamp package;
    bool fromFile = false;
    std::string fileName;  // the name as asked for, when fromFile
    Stamp file;
  };

  bool Fresh(const Entry& entry);
  // The package's stamp now, or as it was at the start of the moment under way.
  Stamp PackageStamp();
  void Drop(std::list<Entry>::iterator it);
  void Keep(Entry entry);

  PictureLoader loader_;
  CachedPackage package_;
  size_t budgetBytes_;
  size_t bytesHeld_ = 0;
  std::list<Entry> entries_;  // most recently used first
  std::unordered_map<std::string, std::list<Entry>::iterator> index_;
  int momentDepth_ = 0;
  std::optional<Stamp> momentPackage_;
};

}  // namespace orv
