#include "graphics/picture_cache.h"

#include <iterator>

#include "platform/game_folder.h"

namespace orv {

PictureCache::PictureCache(const GameFolder& folder, std::string picturePackageName, size_t budgetBytes)
    : loader_(folder, std::move(picturePackageName)), budgetBytes_(budgetBytes) {}

PictureCache::Stamp PictureCache::StampOf(std::string_view name) const {
  if (name.empty()) return {};
  auto path = loader_.folder().Find(name);
  if (!path) return {};
  std::error_code ec;
  Stamp stamp;
  stamp.size = std::filesystem::file_size(*path, ec);
  if (ec) return {};
  stamp.modified = std::filesystem::last_write_time(*path, ec);
  if (ec) return {};
  stamp.exists = true;
  return stamp;
}

bool PictureCache::Fresh(const Entry& entry) const {
  if (StampOf(loader_.packageName()) != entry.package) return false;
  return !entry.fromFile || StampOf(entry.fileName) == entry.file;
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
  Entry entry;
  entry.key = std::move(key);
  entry.package = StampOf(loader_.packageName());
  std::optional<PictureLoad> fromPackage = LoadPictureFromPackage(loader_.folder(), loader_.packageName(), name);
  if (!fromPackage) {
    entry.fromFile = true;
    entry.fileName = std::string(name);
    entry.file = StampOf(name);
  }
  PictureLoad load = fromPackage ? std::move(*fromPackage) : LoadPictureFile(loader_.folder(), name);
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
