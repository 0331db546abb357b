// Catalogue directories: what loads, and the clear error for what does not.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "vexa/platform/FileSystem.h"
#include "vexa/platform/JsonCodec.h"
#include "service/CatalogLoader.h"
#include "service/WireRecords.h"
#include "support/TempDirectory.h"

namespace vexa::test {
namespace {

using service::CatalogLoader;
namespace fs = std::filesystem;

const std::string kPng = std::string("\x89PNG\r\n\x1a\n", 8) + "png body";
const std::string kGif = "GIF89a gif body";

class CatalogDirectory {
 public:
  CatalogDirectory() {
    put("img/c.png", kPng);
    put("img/i.png", kPng);
    put("img/t.png", kPng);
    put("img/m.gif", kGif);
    put("img/big m.gif", kGif);
    put("img/notes.txt", "not an image");
  }
  void put(const std::string& ref, const std::string& bytes) {
    ASSERT_TRUE(FileSystem::createDirectories((dir_ / ref).parent_path()).ok());
    std::ofstream(dir_ / ref, std::ios::binary) << bytes;  // no sync: scratch files
  }
  void describe(const Value& catalog) { put("catalog.json", JsonCodec::serialize(catalog)); }
  const fs::path& path() const { return dir_.path(); }

 private:
  TempDirectory dir_;
};

Value emoji(const char* guid, const char* code, const char* main = "img/m.gif") {
  return Value::dict({{"guid", guid}, {"emo_code", code}, {"thumbail", "img/t.png"}, {"main_image", main}});
}

Value baseCatalog() {
  return Value::dict({
      {"packages",
       Value::array({Value::dict({{"guid", "p1"},
                                  {"name", "Small"},
                                  {"is_emoji", true},
                                  {"cover", "img/c.png"},
                                  {"chat_icon", "img/i.png"},
                                  {"emoticions", Value::array({emoji("e1", "微笑"), emoji("e2", "ok hand")})}}),
                     Value::dict({{"guid", "p2"},
                                  {"name", "Big"},
                                  {"is_emoji", false},
                                  {"cover", "img/c.png"},
                                  {"chat_icon", "img/i.png"},
                                  {"emoticions", Value::array({emoji("e3", "微笑", "img/big m.gif")})}})})},
      {"defaultCategory", Value::dict({{"guid", "c1"}, {"name", "默认"}, {"packages", Value::array({"p1"})}})},
      {"shopCategories",
       Value::array({Value::dict({{"guid", "c2"}, {"name", "Shop"}, {"packages", Value::array({"p1", "p2"})}})})},
  });
}

Value& pkg(Value& c, size_t i) { return (*c["packages"].asArray())[i]; }
Value& emo(Value& c, size_t p, size_t e) { return (*pkg(c, p)["emoticions"].asArray())[e]; }

TEST(CatalogLoaderTest, LoadsAValidCatalogue) {
  CatalogDirectory dir;
  dir.describe(baseCatalog());
  auto loaded = CatalogLoader::load(dir.path());
  ASSERT_TRUE(loaded.ok()) << loaded.error().toString();
  const auto& catalog = **loaded;
  ASSERT_EQ(catalog.packages().size(), 2u);
  // The same code may stand for a small and a big emoji.
  ASSERT_NE(catalog.smallEmojiByCode("微笑"), nullptr);
  EXPECT_EQ(catalog.smallEmojiByCode("微笑")->guid, "e1");
  EXPECT_EQ(catalog.bigEmojiByCode("微笑")->guid, "e3");
  EXPECT_EQ(catalog.bigEmojiByCode("ok hand"), nullptr);
  EXPECT_EQ(catalog.emoji("e2")->record.find("emo_text")->description(), "ok hand") << "text defaults to code";
  ASSERT_NE(catalog.archive("p1"), nullptr);
  ASSERT_TRUE(catalog.fileForReference("img/big m.gif").has_value());
  EXPECT_FALSE(catalog.fileForReference("img/notes.txt").has_value()) << "only referenced files are served";
  EXPECT_EQ(catalog.shopCategories().at(0).packageGuids, (std::vector<std::string>{"p1", "p2"}));
  EXPECT_EQ(catalog.newEmojiCountTimestamp(), 0);
}

TEST(CatalogLoaderTest, RemoteImagesPassThroughAndLeaveThePackageWithoutArchive) {
  CatalogDirectory dir;
  Value c = baseCatalog();
  emo(c, 1, 0)["main_image"] = "https://cdn.example.com/a b.gif";
  dir.describe(c);
  auto loaded = CatalogLoader::load(dir.path());
  ASSERT_TRUE(loaded.ok()) << loaded.error().toString();
  EXPECT_EQ((*loaded)->archive("p2"), nullptr);
  EXPECT_NE((*loaded)->archive("p1"), nullptr);
  service::WireRecords wire("http://127.0.0.1:1/files/");
  Value e = wire.emoji(*(*loaded)->emoji("e3"));
  EXPECT_EQ(*e.find("main_image"), Value("https://cdn.example.com/a b.gif"));
  EXPECT_EQ(*e.find("thumbail"), Value("http://127.0.0.1:1/files/img/t.png"));
}

TEST(CatalogLoaderTest, RefusesBadCataloguesWithTheirPlace) {
  struct Case {
    const char* what;
    std::function<void(Value&)> change;
    int64_t code;
    const char* message;
  } cases[] = {
      {"top level not an object", [](Value& c) { c = Value::array({}); }, CatalogLoader::kMalformed, "top level"},
      {"misspelt key", [](Value& c) { c["pakages"] = 1; }, CatalogLoader::kInvalid, "unknown key \"pakages\""},
      {"no packages", [](Value& c) { c["packages"] = Value::array({}); }, CatalogLoader::kInvalid, "packages"},
      {"format 2", [](Value& c) { c["format"] = 2; }, CatalogLoader::kInvalid, "format"},
      {"negative timestamp", [](Value& c) { c["newEmojiCountTimestamp"] = -1; }, CatalogLoader::kInvalid,
       "newEmojiCountTimestamp"},
      {"package without name", [](Value& c) { pkg(c, 0).asDictionary()->erase("name"); }, CatalogLoader::kInvalid,
       "packages[0]: missing \"name\""},
      {"is_emoji as text", [](Value& c) { pkg(c, 0)["is_emoji"] = "yes"; }, CatalogLoader::kInvalid,
       "packages[0].is_emoji"},
      {"guid with a slash", [](Value& c) { pkg(c, 0)["guid"] = "p/1"; }, CatalogLoader::kInvalid,
       "packages[0].guid"},
      {"duplicate package guid", [](Value& c) { pkg(c, 1)["guid"] = "p1"; }, CatalogLoader::kDuplicate,
       "duplicate package guid \"p1\""},
      {"duplicate emoji guid", [](Value& c) { emo(c, 1, 0)["guid"] = "e1"; }, CatalogLoader::kDuplicate,
       "packages[1].emoticions[0].guid"},
      {"duplicate small code", [](Value& c) { emo(c, 0, 1)["emo_code"] = "微笑"; }, CatalogLoader::kDuplicate,
       "duplicate small emoji code \"微笑\""},
      {"code with a bracket", [](Value& c) { emo(c, 0, 0)["emo_code"] = "a]b"; }, CatalogLoader::kInvalid,
       "emo_code"},
      {"empty code", [](Value& c) { emo(c, 0, 0)["emo_code"] = ""; }, CatalogLoader::kInvalid, "emo_code"},
      {"emojitype as text", [](Value& c) { emo(c, 0, 0)["emojitype"] = "1"; }, CatalogLoader::kInvalid,
       "emojitype"},
      {"no emojis", [](Value& c) { pkg(c, 0)["emoticions"] = Value::array({}); }, CatalogLoader::kInvalid,
       "emoticions"},
      {"missing image", [](Value& c) { emo(c, 0, 0)["thumbail"] = "img/none.png"; }, CatalogLoader::kMissingFile,
       "no such file \"img/none.png\""},
      {"parent segment", [](Value& c) { emo(c, 0, 0)["thumbail"] = "img/../img/t.png"; }, CatalogLoader::kInvalid,
       ".. segment"},
      {"absolute path", [](Value& c) { pkg(c, 0)["cover"] = "/etc/passwd"; }, CatalogLoader::kInvalid, "cover"},
      {"query in a path", [](Value& c) { pkg(c, 0)["cover"] = "img/c.png?x"; }, CatalogLoader::kInvalid, "cover"},
      {"zip as image", [](Value& c) { pkg(c, 0)["cover"] = "p1.zip"; }, CatalogLoader::kInvalid, "cover"},
      {"not an image", [](Value& c) { pkg(c, 0)["cover"] = "img/notes.txt"; }, CatalogLoader::kInvalid,
       "is not a PNG, GIF, JPEG or WebP"},
      {"unknown package in a category", [](Value& c) { c["defaultCategory"]["packages"] = Value::array({"p9"}); },
       CatalogLoader::kInvalid, "defaultCategory.packages[0]: no package has the guid \"p9\""},
      {"package listed twice", [](Value& c) { c["defaultCategory"]["packages"] = Value::array({"p1", "p1"}); },
       CatalogLoader::kDuplicate, "listed twice"},
      {"duplicate category guid", [](Value& c) { (*c["shopCategories"].asArray())[0]["guid"] = "c1"; },
       CatalogLoader::kDuplicate, "duplicate category guid"},
      {"category without packages", [](Value& c) { c["defaultCategory"].asDictionary()->erase("packages"); },
       CatalogLoader::kInvalid, "defaultCategory.packages"},
      {"tag without label", [](Value& c) { pkg(c, 0)["tags"] = Value::array({Value::dict({{"guid", "t"}})}); },
       CatalogLoader::kInvalid, "tags[0]"},
  };
  for (const auto& c : cases) {
    CatalogDirectory dir;
    Value catalog = baseCatalog();
    c.change(catalog);
    dir.describe(catalog);
    auto loaded = CatalogLoader::load(dir.path());
    ASSERT_FALSE(loaded.ok()) << c.what;
    EXPECT_EQ(loaded.error().domain(), CatalogLoader::kErrorDomain) << c.what;
    EXPECT_EQ(loaded.error().code(), c.code) << c.what << ": " << loaded.error().description();
    EXPECT_NE(loaded.error().description().find(c.message), std::string::npos)
        << c.what << ": " << loaded.error().description();
    EXPECT_TRUE(loaded.error().description().starts_with("catalog.json: ")) << c.what;
  }
}

TEST(CatalogLoaderTest, RefusesMissingOrUnreadableDescriptionsAndEscapes) {
  TempDirectory empty;
  auto missing = CatalogLoader::load(empty.path());
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().code(), CatalogLoader::kMissingFile);
  EXPECT_NE(missing.error().description().find("catalog.json"), std::string::npos);

  auto notADirectory = CatalogLoader::load(empty / "nothing");
  ASSERT_FALSE(notADirectory.ok());
  EXPECT_EQ(notADirectory.error().code(), CatalogLoader::kMissingFile);

  CatalogDirectory dir;
  dir.put("catalog.json", "{\"packages\": [");
  auto malformed = CatalogLoader::load(dir.path());
  ASSERT_FALSE(malformed.ok());
  EXPECT_EQ(malformed.error().code(), CatalogLoader::kMalformed);

  // A symbolic link inside the catalogue may not lead out of it.
  TempDirectory outside;
  ASSERT_TRUE(FileSystem::writeAtomically(outside / "secret.png", kPng).ok());
  fs::create_symlink(outside / "secret.png", dir.path() / "img" / "link.png");
  Value c = baseCatalog();
  pkg(c, 0)["cover"] = "img/link.png";
  dir.describe(c);
  auto escaped = CatalogLoader::load(dir.path());
  ASSERT_FALSE(escaped.ok());
  EXPECT_NE(escaped.error().description().find("leads outside the catalogue"), std::string::npos)
      << escaped.error().description();
}

}  // namespace
}  // namespace vexa::test
