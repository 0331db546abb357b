// The package file host: archives laid out for the store, images under
// their (escaped) URLs, the terms page, and nothing else.
#include <gtest/gtest.h>
#include <minizip/unzip.h>

#include <map>

#include "ServiceFixture.h"
#include "vexa/platform/FileSystem.h"
#include "support/TempDirectory.h"

namespace vexa::test {
namespace {

// The entries of a zip archive, read with minizip's reader.
std::map<std::string, std::string> unzipAll(const std::string& bytes) {
  TempDirectory dir;
  auto path = dir / "archive.zip";
  EXPECT_TRUE(FileSystem::writeAtomically(path, bytes).ok());
  std::map<std::string, std::string> entries;
  unzFile zip = unzOpen(path.c_str());
  EXPECT_NE(zip, nullptr);
  if (!zip) return entries;
  for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
    char name[512];
    unz_file_info info;
    unzGetCurrentFileInfo(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0);
    std::string content(info.uncompressed_size, '\0');
    EXPECT_EQ(unzOpenCurrentFile(zip), UNZ_OK);
    EXPECT_EQ(unzReadCurrentFile(zip, content.data(), static_cast<unsigned>(content.size())),
              static_cast<int>(content.size()));
    EXPECT_EQ(unzCloseCurrentFile(zip), UNZ_OK) << "CRC of " << name;
    entries[name] = content;
  }
  unzClose(zip);
  return entries;
}

// The path part of a file URL, escaped the way a client escapes it.
std::string escapedPath(const std::string& url, const std::string& base) {
  return "/files/" + SignedClient::escapePathArgument(url.substr(base.size()));
}

TEST_F(ServiceTest, ArchivesHoldTheIconThumbnailsAndMainImagesByGuid) {
  ASSERT_FALSE(client->fetchToken().empty());
  for (const char* guid : {"pkg-classic-faces", "pkg-everyday", "pkg-mochi-cat", "pkg-bouncy-blob",
                           "pkg-little-robot", "pkg-sunny-days"}) {
    auto zip = client->get(std::string("/files/") + guid + ".zip");
    ASSERT_EQ(zip.status, 200) << guid;
    EXPECT_EQ(zip.contentType, "application/zip");
    auto entries = unzipAll(zip.body);

    auto package = client->signedGet(std::string("package/") + guid + "/emojis");
    ASSERT_EQ(package.errorCode(), 0);
    const Value& data = *package.data();
    std::map<std::string, std::string> expected;  // entry -> URL of the same picture
    expected["title_keyboard_icon.png"] = *data.find("chat_icon")->asString();
    for (const Value& e : *data.find("emoticions")->asArray()) {
      std::string id = *e.find("guid")->asString();
      expected["THUMB_" + id + ".png"] = *e.find("thumbail")->asString();
      expected["IMAGE_" + id + ".gif"] = *e.find("main_image")->asString();
    }
    ASSERT_EQ(entries.size(), expected.size()) << guid;
    for (const auto& [entry, url] : expected) {
      ASSERT_TRUE(entries.count(entry)) << guid << " lacks " << entry;
      auto served = client->get(escapedPath(url, service->filesBase()));
      ASSERT_EQ(served.status, 200) << url;
      EXPECT_EQ(served.body, entries[entry]) << entry;
      EXPECT_EQ(served.contentType, entry.ends_with(".gif") ? "image/gif" : "image/png");
    }
  }
}

TEST_F(ServiceTest, ImageUrlsWithSpacesAndChineseAreServedEscaped) {
  auto reply = client->get("/files/" + SignedClient::escapePathArgument("images/团子 cat/早安.gif"));
  ASSERT_EQ(reply.status, 200);
  EXPECT_TRUE(reply.body.starts_with("GIF89a"));
  // A file name with a space, escaped by the client.
  EXPECT_EQ(client->get("/files/images/classic/tab%20icon.png").status, 200);
}

TEST_F(ServiceTest, OnlyReferencedFilesAndTheTermsPageAreServed) {
  auto terms = client->get("/pages/sdk/term.html");
  ASSERT_EQ(terms.status, 200);
  EXPECT_EQ(terms.contentType, "text/html; charset=utf-8");
  EXPECT_NE(terms.body.find("服务声明"), std::string::npos);

  for (const char* target : {"/files/catalog.json", "/files/../catalog.json", "/files/%2E%2E/catalog.json",
                             "/files/images/../catalog.json", "/files/no-such-package.zip", "/files/",
                             "/files/images/classic", "/files//etc/passwd", "/files/%2Fetc%2Fpasswd"}) {
    EXPECT_EQ(client->get(target).status, 404) << target;
  }
  EXPECT_EQ(client->post("/files/pkg-everyday.zip", "").status, 405);
}

}  // namespace
}  // namespace vexa::test
