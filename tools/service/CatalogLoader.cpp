#include "service/CatalogLoader.h"

#include <algorithm>
#include <set>
#include <system_error>

#include "vexa/platform/FileSystem.h"
#include "vexa/platform/JsonCodec.h"
#include "vexa/platform/Utf8.h"
#include "service/PackageArchive.h"

namespace vexa::service {

const char* const CatalogLoader::kErrorDomain = "VXCatalogErrorDomain";

namespace {

namespace fs = std::filesystem;
using Dict = Value::Dictionary;
constexpr const char* kDescriptionName = "catalog.json";
constexpr size_t kMaxGuidLength = 64;
constexpr size_t kMaxCodeBytes = 128;
constexpr size_t kMaxReferenceBytes = 1024;

Error failure(int64_t code, const std::string& where, const std::string& what) {
  return Error(CatalogLoader::kErrorDomain, code,
               std::string(kDescriptionName) + ": " + where + ": " + what);
}

std::string inQuotes(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted += '"';
  quoted += text;
  quoted += '"';
  return quoted;
}

bool isGuid(std::string_view s) {
  return !s.empty() && s.size() <= kMaxGuidLength && std::all_of(s.begin(), s.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
  });
}

bool hasControl(std::string_view s) {
  return std::any_of(s.begin(), s.end(), [](char c) {
    auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7f;
  });
}

bool isImage(std::string_view bytes) {
  auto starts = [&](std::string_view magic) { return bytes.starts_with(magic); };
  return starts("\x89PNG\r\n\x1a\n") || starts("GIF87a") || starts("GIF89a") ||
         starts("\xFF\xD8\xFF") ||
         (bytes.size() >= 12 && starts("RIFF") && bytes.substr(8, 4) == "WEBP");
}

// Walks the description once, filling the contents and stopping at the
// first fault.
class DescriptionReader {
 public:
  explicit DescriptionReader(fs::path directory) : directory_(std::move(directory)) {}

  Result<Catalog::Contents> read(const Value& root) {
    const Dict* top = root.asDictionary();
    if (!top) return failure(CatalogLoader::kMalformed, "top level", "not a JSON object");
    if (auto e = onlyKeys(*top, "top level",
                          {"format", "newEmojiCountTimestamp", "packages", "defaultCategory",
                           "recommendCategory", "bannerGroups", "shopCategories"}))
      return *e;
    if (const Value* format = root.find("format")) {
      if (format->numberAsInteger() != 1 || format->isBool())
        return failure(CatalogLoader::kInvalid, "format", "only format 1 is understood");
    }
    if (const Value* ts = root.find("newEmojiCountTimestamp")) {
      if (!ts->isInteger() || *ts->asInteger() < 0)
        return failure(CatalogLoader::kInvalid, "newEmojiCountTimestamp",
                       "not a non-negative integer");
      contents_.newEmojiCountTimestamp = *ts->asInteger();
    }
    const Value* packages = root.find("packages");
    if (!packages || !packages->isArray() || packages->size() == 0)
      return failure(CatalogLoader::kInvalid, "packages", "a non-empty array is required");
    for (size_t i = 0; i < packages->size(); ++i) {
      if (auto e = readPackage((*packages->asArray())[i], "packages[" + std::to_string(i) + "]"))
        return *e;
    }
    for (const char* key : {"defaultCategory", "recommendCategory"}) {
      if (const Value* c = root.find(key)) {
        auto category = readCategory(*c, key);
        if (!category) return category.error();
        (key == std::string_view("defaultCategory") ? contents_.defaultCategory
                                                    : contents_.recommendCategory) = *category;
      }
    }
    for (const char* key : {"bannerGroups", "shopCategories"}) {
      const Value* list = root.find(key);
      if (!list) continue;
      if (!list->isArray()) return failure(CatalogLoader::kInvalid, key, "not an array");
      auto& target = key == std::string_view("bannerGroups") ? contents_.bannerGroups
                                                             : contents_.shopCategories;
      for (size_t i = 0; i < list->size(); ++i) {
        auto category = readCategory((*list->asArray())[i], key + ("[" + std::to_string(i) + "]"));
        if (!category) return category.error();
        target.push_back(std::move(*category));
      }
    }
    return std::move(contents_);
  }

 private:
  std::optional<Error> onlyKeys(const Dict& dict, const std::string& where,
                                std::initializer_list<std::string_view> allowed) {
    for (const auto& [key, value] : dict) {
      if (std::find(allowed.begin(), allowed.end(), key) == allowed.end())
        return failure(CatalogLoader::kInvalid, where, "unknown key " + inQuotes(key));
    }
    return std::nullopt;
  }

  // A required or optional string; `nonEmpty` refuses "".
  Result<std::optional<std::string>> text(const Value& object, const char* key,
                                          const std::string& where, bool required,
                                          bool nonEmpty = false) {
    const Value* v = object.find(key);
    if (!v) {
      if (required) return failure(CatalogLoader::kInvalid, where, "missing " + inQuotes(key));
      return std::optional<std::string>();
    }
    if (!v->isString())
      return failure(CatalogLoader::kInvalid, where + "." + key, "not a string");
    if (nonEmpty && v->asString()->empty())
      return failure(CatalogLoader::kInvalid, where + "." + key, "empty");
    return std::optional<std::string>(*v->asString());
  }

  Result<std::string> guid(const Value& object, const std::string& where) {
    auto g = text(object, "guid", where, true);
    if (!g) return g.error();
    if (!isGuid(**g))
      return failure(CatalogLoader::kInvalid, where + ".guid",
                     inQuotes(**g) + " is not 1 to 64 letters, digits, '_' or '-'");
    return **g;
  }

  std::optional<Error> image(const Value& object, const char* key, const std::string& where,
                             bool required, Dict& record) {
    auto ref = text(object, key, where, required, true);
    if (!ref) return ref.error();
    if (!*ref) return std::nullopt;
    const std::string& r = **ref;
    std::string at = where + "." + key;
    if (r.size() > kMaxReferenceBytes || !Utf8::isValid(r) || hasControl(r))
      return failure(CatalogLoader::kInvalid, at, "not a usable image reference");
    if (!Catalog::isLocalReference(r)) {
      record[key] = r;
      return std::nullopt;
    }
    if (r.front() == '/' || r.back() == '/' || r.find_first_of("\\?#") != std::string::npos ||
        r.ends_with(".zip"))
      return failure(CatalogLoader::kInvalid, at,
                     inQuotes(r) + " must be a relative file path without \\, ? or # (not .zip)");
    for (size_t start = 0; start <= r.size();) {
      size_t end = std::min(r.find('/', start), r.size());
      std::string_view segment = std::string_view(r).substr(start, end - start);
      if (segment.empty() || segment == "." || segment == "..")
        return failure(CatalogLoader::kInvalid, at, inQuotes(r) + " has an empty, . or .. segment");
      start = end + 1;
    }
    if (auto e = checkFile(r, at)) return e;
    record[key] = r;
    return std::nullopt;
  }

  std::optional<Error> checkFile(const std::string& ref, const std::string& at) {
    if (contents_.files.count(ref)) return std::nullopt;
    std::error_code ec;
    fs::path path = directory_ / fs::path(ref);
    fs::path real = fs::weakly_canonical(path, ec);
    if (ec || !fs::is_regular_file(real, ec))
      return failure(CatalogLoader::kMissingFile, at, "no such file " + inQuotes(ref));
    if (root_.empty()) root_ = fs::weakly_canonical(directory_, ec);
    auto rel = real.lexically_relative(root_);
    if (rel.empty() || *rel.begin() == "..")
      return failure(CatalogLoader::kInvalid, at, inQuotes(ref) + " leads outside the catalogue");
    auto bytes = FileSystem::readFile(real, CatalogLoader::kMaxImageBytes);
    if (!bytes) return failure(CatalogLoader::kMissingFile, at, bytes.error().description());
    if (!isImage(*bytes))
      return failure(CatalogLoader::kInvalid, at, inQuotes(ref) + " is not a PNG, GIF, JPEG or WebP");
    contents_.files.emplace(ref, real);
    return std::nullopt;
  }

  std::optional<Error> tags(const Value& object, const std::string& where, Dict& record) {
    const Value* list = object.find("tags");
    if (!list) return std::nullopt;
    if (!list->isArray()) return failure(CatalogLoader::kInvalid, where + ".tags", "not an array");
    Value::Array out;
    for (size_t i = 0; i < list->size(); ++i) {
      const Value& tag = (*list->asArray())[i];
      std::string at = where + ".tags[" + std::to_string(i) + "]";
      if (!tag.isDictionary()) return failure(CatalogLoader::kInvalid, at, "not an object");
      if (auto e = onlyKeys(*tag.asDictionary(), at, {"guid", "label"})) return e;
      auto g = guid(tag, at);
      if (!g) return g.error();
      auto label = text(tag, "label", at, true);
      if (!label) return label.error();
      out.push_back(Value::dict({{"guid", *g}, {"label", **label}}));
    }
    record["tags"] = std::move(out);
    return std::nullopt;
  }

  std::optional<Error> readPackage(const Value& p, const std::string& where) {
    if (!p.isDictionary()) return failure(CatalogLoader::kInvalid, where, "not an object");
    if (auto e = onlyKeys(*p.asDictionary(), where,
                          {"guid", "name", "is_emoji", "promotion", "intro", "copyright", "author",
                           "createtime", "updatetime", "packageText", "cover", "chat_icon",
                           "banner", "recommend_pic", "tags", "emoticions"}))
      return e;
    Catalog::Package package;
    auto g = guid(p, where);
    if (!g) return g.error();
    package.guid = *g;
    if (!packageGuids_.insert(package.guid).second)
      return failure(CatalogLoader::kDuplicate, where + ".guid",
                     "duplicate package guid " + inQuotes(package.guid));
    Dict record;
    record["guid"] = package.guid;
    auto name = text(p, "name", where, true, true);
    if (!name) return name.error();
    record["name"] = **name;
    for (const char* key : {"intro", "copyright", "author", "createtime", "updatetime", "packageText"}) {
      auto t = text(p, key, where, false);
      if (!t) return t.error();
      if (*t) record[key] = **t;
    }
    for (const char* key : {"is_emoji", "promotion"}) {
      const Value* b = p.find(key);
      if (!b && key == std::string_view("is_emoji"))
        return failure(CatalogLoader::kInvalid, where, "missing \"is_emoji\"");
      if (b && !b->isBool()) return failure(CatalogLoader::kInvalid, where + "." + key, "not a boolean");
      record[key] = b ? *b->asBool() : false;
    }
    package.isEmoji = *record["is_emoji"].asBool();
    for (const char* key : {"cover", "chat_icon"})
      if (auto e = image(p, key, where, true, record)) return e;
    for (const char* key : {"banner", "recommend_pic"})
      if (auto e = image(p, key, where, false, record)) return e;
    if (auto e = tags(p, where, record)) return e;
    const Value* emojis = p.find("emoticions");
    if (!emojis || !emojis->isArray() || emojis->size() == 0)
      return failure(CatalogLoader::kInvalid, where + ".emoticions", "a non-empty array is required");
    for (size_t i = 0; i < emojis->size(); ++i) {
      if (auto e = readEmoji((*emojis->asArray())[i], where + ".emoticions[" + std::to_string(i) + "]",
                             package))
        return e;
    }
    package.record = Value(std::move(record));
    contents_.packages.push_back(std::move(package));
    return std::nullopt;
  }

  std::optional<Error> readEmoji(const Value& e, const std::string& where, Catalog::Package& package) {
    if (!e.isDictionary()) return failure(CatalogLoader::kInvalid, where, "not an object");
    if (auto err = onlyKeys(*e.asDictionary(), where,
                            {"guid", "emo_code", "emo_text", "thumbail", "main_image", "emojitype", "tags"}))
      return err;
    Catalog::Emoji emoji;
    auto g = guid(e, where);
    if (!g) return g.error();
    emoji.guid = *g;
    if (!emojiGuids_.insert(emoji.guid).second)
      return failure(CatalogLoader::kDuplicate, where + ".guid", "duplicate emoji guid " + inQuotes(emoji.guid));
    auto code = text(e, "emo_code", where, true, true);
    if (!code) return code.error();
    emoji.code = **code;
    if (emoji.code.size() > kMaxCodeBytes || !Utf8::isValid(emoji.code) || hasControl(emoji.code) ||
        emoji.code.find_first_of("[]") != std::string::npos)
      return failure(CatalogLoader::kInvalid, where + ".emo_code",
                     inQuotes(emoji.code) + " is not a usable code (at most 128 bytes, no [ ] or controls)");
    emoji.isSmall = package.isEmoji;
    auto& codes = emoji.isSmall ? smallCodes_ : bigCodes_;
    if (!codes.insert(emoji.code).second)
      return failure(CatalogLoader::kDuplicate, where + ".emo_code",
                     std::string("duplicate ") + (emoji.isSmall ? "small" : "big") + " emoji code " +
                         inQuotes(emoji.code));
    auto caption = text(e, "emo_text", where, false);
    if (!caption) return caption.error();
    Dict record;
    record["guid"] = emoji.guid;
    record["emo_code"] = emoji.code;
    record["emo_text"] = caption->value_or(emoji.code);
    record["package_id"] = package.guid;
    if (const Value* type = e.find("emojitype")) {
      if (!type->isInteger()) return failure(CatalogLoader::kInvalid, where + ".emojitype", "not an integer");
      record["emojitype"] = *type;
    }
    for (const char* key : {"thumbail", "main_image"})
      if (auto err = image(e, key, where, true, record)) return err;
    if (auto err = tags(e, where, record)) return err;
    emoji.packageGuid = package.guid;
    emoji.record = Value(std::move(record));
    package.emojiGuids.push_back(emoji.guid);
    contents_.emojis.push_back(std::move(emoji));
    return std::nullopt;
  }

  Result<Catalog::Category> readCategory(const Value& c, const std::string& where) {
    if (!c.isDictionary()) return failure(CatalogLoader::kInvalid, where, "not an object");
    if (auto e = onlyKeys(*c.asDictionary(), where, {"guid", "name", "packages"})) return *e;
    Catalog::Category category;
    auto g = guid(c, where);
    if (!g) return g.error();
    category.guid = *g;
    if (!categoryGuids_.insert(category.guid).second)
      return failure(CatalogLoader::kDuplicate, where + ".guid",
                     "duplicate category guid " + inQuotes(category.guid));
    auto name = text(c, "name", where, true);
    if (!name) return name.error();
    category.name = **name;
    const Value* list = c.find("packages");
    if (!list || !list->isArray())
      return failure(CatalogLoader::kInvalid, where + ".packages", "an array of package guids is required");
    std::set<std::string, std::less<>> seen;
    for (size_t i = 0; i < list->size(); ++i) {
      const Value& entry = (*list->asArray())[i];
      std::string at = where + ".packages[" + std::to_string(i) + "]";
      if (!entry.isString()) return failure(CatalogLoader::kInvalid, at, "not a string");
      const std::string& ref = *entry.asString();
      if (!packageGuids_.count(ref))
        return failure(CatalogLoader::kInvalid, at, "no package has the guid " + inQuotes(ref));
      if (!seen.insert(ref).second)
        return failure(CatalogLoader::kDuplicate, at, "package " + inQuotes(ref) + " is listed twice");
      category.packageGuids.push_back(ref);
    }
    return category;
  }

  fs::path directory_;
  fs::path root_;
  Catalog::Contents contents_;
  std::set<std::string, std::less<>> packageGuids_, emojiGuids_, categoryGuids_, smallCodes_, bigCodes_;
};

}  // namespace

Result<std::shared_ptr<const Catalog>> CatalogLoader::load(const fs::path& directory) {
  std::error_code ec;
  if (!fs::is_directory(directory, ec))
    return Error(kErrorDomain, kMissingFile, directory.string() + ": not a directory");
  fs::path description = directory / kDescriptionName;
  auto text = FileSystem::readFile(description, kMaxDescriptionBytes);
  if (!text) {
    return Error(kErrorDomain, kMissingFile,
                 description.string() + ": cannot read: " + text.error().description());
  }
  return parse(*text, directory);
}

Result<std::shared_ptr<const Catalog>> CatalogLoader::parse(std::string_view json, const fs::path& directory) {
  auto root = JsonCodec::parse(json);
  if (!root) return Error(kErrorDomain, kMalformed, std::string(kDescriptionName) + ": " + root.error().description());
  auto contents = DescriptionReader(directory).read(*root);
  if (!contents) return contents.error();
  for (const auto& package : contents->packages) {
    auto archive = PackageArchive::build(package, *contents);
    if (!archive) return archive.error();
    if (*archive) contents->archives.emplace(package.guid, std::move(**archive));
  }
  return std::shared_ptr<const Catalog>(std::make_shared<Catalog>(std::move(*contents)));
}

}  // namespace vexa::service
