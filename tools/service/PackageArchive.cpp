#include "service/PackageArchive.h"

#include <map>

#include "vexa/platform/FileSystem.h"
#include "service/CatalogLoader.h"
#include "service/ZipWriter.h"

namespace vexa::service {

namespace {

// The local file behind one image field of a record, or none.
const std::filesystem::path* localFile(const Value& record, const char* key,
                                       const Catalog::Contents& contents) {
  const Value* ref = record.find(key);
  if (!ref || !ref->isString()) return nullptr;
  auto it = contents.files.find(*ref->asString());
  return it == contents.files.end() ? nullptr : &it->second;
}

}  // namespace

Result<std::optional<std::string>> PackageArchive::build(const Catalog::Package& package,
                                                         const Catalog::Contents& contents) {
  std::vector<std::pair<std::string, const std::filesystem::path*>> entries;
  const auto* icon = localFile(package.record, "chat_icon", contents);
  if (!icon) return std::optional<std::string>();
  entries.emplace_back(kIconEntry, icon);
  std::map<std::string_view, const Catalog::Emoji*> own;
  for (const auto& e : contents.emojis) {
    if (e.packageGuid == package.guid) own.emplace(e.guid, &e);
  }
  for (const auto& guid : package.emojiGuids) {
    auto found = own.find(guid);
    if (found == own.end()) continue;
    const Catalog::Emoji* emoji = found->second;
    const auto* thumb = localFile(emoji->record, "thumbail", contents);
    const auto* main = localFile(emoji->record, "main_image", contents);
    if (!thumb || !main) return std::optional<std::string>();
    entries.emplace_back(thumbnailEntry(guid), thumb);
    entries.emplace_back(mainImageEntry(guid), main);
  }
  ZipWriter zip;
  for (const auto& [name, path] : entries) {
    auto bytes = FileSystem::readFile(*path, CatalogLoader::kMaxImageBytes);
    if (!bytes) return bytes.error();
    if (auto added = zip.add(name, *bytes); !added) return added.error();
  }
  auto archive = zip.finish();
  if (!archive) return archive.error();
  return std::optional<std::string>(std::move(*archive));
}

}  // namespace vexa::service
