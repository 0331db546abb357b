// The content the reference service serves: packages with their emojis,
// shop categories, banner groups, the default and recommended categories,
// the new-package timestamp, the image files and each package's archive.
//
// A Catalog is made once (by CatalogLoader) and never changes afterwards, so
// one instance (std::shared_ptr<const Catalog>) may be read by every request
// thread at once. Image fields of the records hold references: a path
// relative to the catalogue directory, or an absolute http(s) URL that is
// served as it stands (WireRecords turns references into URLs).
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "vexa/platform/Value.h"

namespace vexa::service {

class Catalog {
 public:
  struct Emoji {
    std::string guid;
    std::string code;
    std::string packageGuid;
    bool isSmall = false;  // belongs to a small-emoji package
    Value record;          // wire keys; "package_id" included
  };
  struct Package {
    std::string guid;
    bool isEmoji = false;
    Value record;  // wire keys without "emoticions"
    std::vector<std::string> emojiGuids;
  };
  struct Category {
    std::string guid;
    std::string name;
    std::vector<std::string> packageGuids;
  };

  // Everything a catalogue holds; CatalogLoader fills and checks it.
  struct Contents {
    std::vector<Package> packages;
    std::vector<Emoji> emojis;
    std::optional<Category> defaultCategory;
    std::optional<Category> recommendCategory;
    std::vector<Category> bannerGroups;
    std::vector<Category> shopCategories;
    int64_t newEmojiCountTimestamp = 0;
    std::map<std::string, std::filesystem::path, std::less<>> files;  // reference -> file
    std::map<std::string, std::string, std::less<>> archives;         // package guid -> zip
  };

  // Indexes the contents. Guids and codes are expected to be unique; of
  // duplicates the first wins.
  explicit Catalog(Contents contents);

  // Packages in catalogue order.
  const std::vector<Package>& packages() const { return c_.packages; }
  const Package* package(std::string_view guid) const;
  const Emoji* emoji(std::string_view guid) const;
  // Emojis of small-emoji packages (or of the others) by their code.
  const Emoji* smallEmojiByCode(std::string_view code) const;
  const Emoji* bigEmojiByCode(std::string_view code) const;
  // The emojis of a package, in package order.
  std::vector<const Emoji*> emojisOf(const Package& package) const;

  const std::optional<Category>& defaultCategory() const { return c_.defaultCategory; }
  const std::optional<Category>& recommendCategory() const { return c_.recommendCategory; }
  const std::vector<Category>& bannerGroups() const { return c_.bannerGroups; }
  const std::vector<Category>& shopCategories() const { return c_.shopCategories; }
  // Milliseconds since 1970 of the newest package, for "checkpackage/new".
  int64_t newEmojiCountTimestamp() const { return c_.newEmojiCountTimestamp; }

  // The file behind a relative reference, or none when the catalogue does
  // not reference it (the file host serves nothing else).
  std::optional<std::filesystem::path> fileForReference(std::string_view reference) const;
  // The zip archive of a package; none when some of its images are remote.
  const std::string* archive(std::string_view guid) const;

  // True for references the service turns into its own file URLs.
  static bool isLocalReference(std::string_view reference);

 private:
  Contents c_;
  std::map<std::string, size_t, std::less<>> packageIndex_;
  std::map<std::string, size_t, std::less<>> emojiIndex_;
  std::map<std::string, size_t, std::less<>> smallCodes_;
  std::map<std::string, size_t, std::less<>> bigCodes_;
};

}  // namespace vexa::service
