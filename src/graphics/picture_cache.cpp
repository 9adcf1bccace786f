#include "graphics/picture_cache.h"

#include <iterator>

namespace orv {

PictureCache::PictureCache(const GameFolder& folder, const std::string& picturePackageName, size_t budgetBytes)
    : loader_(folder, picturePackageName), package_(folder, picturePackageName), budgetBytes_(budgetBytes) {}

PictureCache::Stamp PictureCache::PackageStamp() {
  if (momentDepth_ == 0) return loader_.folder().Stamp(loader_.packageName());
  if (!momentPackage_) momentPackage_ = loader_.folder().Stamp(loader_.packageName());
  return *momentPackage_;
}

bool PictureCache::Fresh(const Entry& entry) {
  const GameFolder& folder = loader_.folder();
  if (PackageStamp() != entry.package) return false;
  return !entry.fromFile || folder.Stamp(entry.fileName) == entry.file;
}

void PictureCache::Drop(std::list<Entry>::iterator it) {
  bytesHeld_ -= it->image->bytes().size();
  index_.erase(it->key);
  entries_.erase(it);
}

void PictureCache::Keep(Entry entry) {
  const size_t bytes = entry.image->bytes().size();
  if (bytes > budgetBytes_) return;
  while (bytesHeld_ + bytes > budgetBytes_) Drop(std::prev(entries_.end()));
  entries_.push_front(std::move(entry));
  index_[entries_.front().key] = entries_.begin();
  bytesHeld_ += bytes;
}

PictureLoad PictureCache::Load(std::string_view name) {
  std::string key = AsciiUpper(name);
  if (auto found = index_.find(key); found != index_.end()) {
    auto it = found->second;
    if (Fresh(*it)) {
      entries_.splice(entries_.begin(), entries_, it);
      return it->image;
    }
    Drop(it);
  }

  // Stamps are taken before reading, so that a change made during the load shows next time.
  const GameFolder& folder = loader_.folder();
  Entry entry;
  entry.key = std::move(key);
  entry.package = PackageStamp();
  std::optional<PictureLoad> fromPackage;
  if (const Result<PackageFile>& package = package_.Get(entry.package))
    fromPackage = LoadPictureFromPackage(*package, name);
  if (!fromPackage) {
    entry.fromFile = true;
    entry.fileName = std::string(name);
    entry.file = folder.Stamp(name);
  }
  PictureLoad load = fromPackage ? std::move(*fromPackage) : LoadPictureFile(folder, name);
  if (load && *load) {
    entry.image = *load;
    Keep(std::move(entry));
  }
  return load;
}

void PictureCache::Clear() {
  entries_.clear();
  index_.clear();
  bytesHeld_ = 0;
}

}  // namespace orv
