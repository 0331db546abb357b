#include <gtest/gtest.h>

#include "support/ExternalTools.h"
#include "StoreTestSupport.h"
#include "vexa/platform/JsonCodec.h"

namespace vexa {
namespace {

// Writes a store the way another program would: argv root. Binary and XML
// files mixed, numbers and booleans where the service sends them.
const char* const kWriteStoreProgram = R"(
import os, plistlib, sys
root = sys.argv[1]
os.makedirs(root, exist_ok=True)
def put(name, value, fmt):
    with open(os.path.join(root, name), "wb") as f:
        plistlib.dump(value, f, fmt=fmt)
emoji = {"guid": "e1", "emo_code": "smile", "emo_text": "\u5fae\u7b11", "thumbail": "http://t/1",
         "main_image": "http://m/1", "package_id": "D", "emojitype": "3",
         "tags": [{"guid": "t1", "label": "happy"}]}
put("D", {"guid": "D", "name": "\u9ed8\u8ba4", "isDefault": True, "is_emoji": True, "promotion": False,
          "packageType": "2", "createtime": "2016-01-02 03:04:05", "emoticions": [emoji]}, plistlib.FMT_XML)
put("P1", {"guid": "P1", "name": "one", "isDefault": False, "is_emoji": 0, "packageType": 7,
           "emoticions": []}, plistlib.FMT_BINARY)
put("P2", {"guid": "P2", "name": "two", "is_emoji": "YES"}, plistlib.FMT_XML)
put("packages.plist", ["P2", "P1", "gone"], plistlib.FMT_BINARY)
put("defaultpackages.plist", ["D"], plistlib.FMT_XML)
put("smalltempemojis.plist", [emoji], plistlib.FMT_BINARY)
# NULs inside a binary key and string: libplist would abort handing them out.
put("N", {"guid": "N", "na\0me": "x", "intro": "a\0b", "emoticions": []}, plistlib.FMT_BINARY)
put("bigtempemojis.plist", [{"emo_code": "c\0d", "gu\0id": "g"}], plistlib.FMT_BINARY)
)";

// Prints, as JSON, each value of the record file argv[1] with its Python
// type, and the list file argv[2].
const char* const kReadStoreProgram = R"(
import json, plistlib, sys
record = plistlib.load(open(sys.argv[1], "rb"))
typed = {k: [type(v).__name__, v if not isinstance(v, (list, dict)) else len(v)] for k, v in record.items()}
emoji = record["emoticions"][0]
typed["emoji"] = {k: type(v).__name__ for k, v in emoji.items()}
print(json.dumps({"record": typed, "list": plistlib.load(open(sys.argv[2], "rb"))}))
)";

TEST(QLPackageStoreInteropTest, FilesWrittenByPlistlibLoad) {
  VX_REQUIRE_TOOL("python3");
  test::StoreUnderTest store;
  ASSERT_EQ(test::runPython(kWriteStoreProgram, {store.root().string()}), 0);
  EXPECT_EQ(test::guidsOf(store->allPackages()), (std::vector<std::string>{"D", "P2", "P1"}));
  const auto& d = store->defaultPackages()[0];
  EXPECT_TRUE(d->isDefault());
  EXPECT_TRUE(d->isEmoji());
  EXPECT_EQ(d->packageType(), 2);
  EXPECT_EQ(d->name(), "\xe9\xbb\x98\xe8\xae\xa4");
  EXPECT_EQ(d->createTime(), "2016-01-02 03:04:05");
  ASSERT_EQ(d->emojis().size(), 1u);
  EXPECT_EQ(d->emojis()[0]->emojiType(), 3);
  EXPECT_EQ(d->emojis()[0]->tags()[0]->label(), "happy");
  EXPECT_EQ(store->downloadedPackages()[1]->packageType(), 7);
  EXPECT_TRUE(store->downloadedPackages()[0]->isEmoji());
  EXPECT_EQ(store->smallTempEmojiWithEmojiCode("smile")->guid(), "e1");
  EXPECT_EQ(store->bigTempEmojiWithEmojiCode("d"), nullptr);  // read, no crash
  auto n = QLPackageFiles(store.root()).loadRecord("N");
  ASSERT_TRUE(n.ok()) << n.error().description();
  EXPECT_EQ((*n)->guid(), "N");
}

TEST(QLPackageStoreInteropTest, FilesWeWriteLoadInPlistlibWithTheirTypes) {
  VX_REQUIRE_TOOL("python3");
  test::StoreUnderTest store;
  auto p = test::makePackage("P", true, true, 1);
  p->setCreateTime("2016-01-02");
  test::placeImages(*store, *p);
  ASSERT_TRUE(store->storePackage(p).ok());
  ASSERT_TRUE(store->savePackageCache().ok());
  std::string out;
  ASSERT_EQ(test::runPython(kReadStoreProgram,
                            {(store.root() / "P").string(), (store.root() / "defaultpackages.plist").string()},
                            &out),
            0);
  auto json = JsonCodec::parse(out);
  ASSERT_TRUE(json.ok()) << out;
  const Value& record = *json->find("record");
  auto typed = [&](const char* key) { return record.find(key) ? record.find(key)->description() : "absent"; };
  EXPECT_EQ(typed("packageType"), R"(["str","2"])");
  EXPECT_EQ(typed("isDefault"), R"(["bool",true])");
  EXPECT_EQ(typed("is_emoji"), R"(["bool",true])");
  EXPECT_EQ(typed("promotion"), R"(["bool",false])");
  EXPECT_EQ(typed("createtime"), R"(["str","2016-01-02"])");
  EXPECT_EQ(typed("emoticions"), R"(["list",1])");
  EXPECT_EQ(typed("progress"), "absent");
  EXPECT_EQ(record.find("emoji")->find("emojitype")->description(), "str");
  EXPECT_EQ(record.find("emoji")->find("emo_code")->description(), "str");
  EXPECT_EQ(json->find("list")->description(), R"(["P"])");
}

}  // namespace
}  // namespace vexa
