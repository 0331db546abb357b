#include <gtest/gtest.h>

#include "FakeService.h"
#include "vexa/api/QLDeviceIdentifier.h"
#include "vexa/api/QLDownloadManager.h"
#include "vexa/platform/Screen.h"
#include "vexa/platform/WallClock.h"
#include "support/TempDirectory.h"

namespace vexa {
namespace {

class RequestAssemblyTest : public ::testing::Test {
 protected:
  RequestAssemblyTest() : store_(dir_ / "keychain"), manager_("http://api.test:8080/api/v1", &store_) {}
  test::TempDirectory dir_;
  SecureItemStore store_;
  QLDownloadManager manager_;
};

TEST_F(RequestAssemblyTest, RelativePaths) {
  struct Row {
    int64_t type;
    Value params;
    const char* special;
    const char* path;
  } rows[] = {
      {QLRequestTypePackageEmojis, Value::dict({{kHTTPPathParamKey, "123"}}), "", "package/123/emojis"},
      {QLRequestTypePackageEmojis, Value::dict({{kHTTPPathParamKey, 123}}), "", "package/123/emojis"},
      {QLRequestTypeEmojiByCode, Value::dict({{kHTTPPathParamKey, "a b"}}), "", "emoji/code/a%20b"},
      {QLRequestTypeEmojiByCode, Value::dict({{kHTTPPathParamKey, "\xE5\xBE\xAE\xE7\xAC\x91"}}), "",
       "emoji/code/%E5%BE%AE%E7%AC%91"},
      {QLRequestTypeEmojiByCode, Value::dict({{kHTTPPathParamKey, "100%"}}), "", "emoji/code/100%25"},
      // Legal in URLs, but here they would end the path.
      {QLRequestTypeEmojiByCode, Value::dict({{kHTTPPathParamKey, "a?b#c"}}), "", "emoji/code/a%3Fb%23c"},
      {QLRequestTypeEmojiByCode, Value::dict({{kHTTPPathParamKey, "a/../../token"}}), "",
       "emoji/code/a%2F..%2F..%2Ftoken"},
      {QLRequestTypePackage, Value::dict(), "", "package/%@"},
      {QLRequestTypePackage, Value(), "", "package/%@"},
      {QLRequestTypeCategory, Value::dict({{kHTTPPathParamKey, "x"}}), "", "category"},
      {QLRequestTypePackage, Value::dict({{kHTTPPathParamKey, "1"}}), "custom/path", "custom/path"},
      {99, Value::dict(), "", ""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(QLDownloadManager::urlStrWithRequestType(row.type, row.params, row.special), row.path)
        << row.type << " " << row.params.description();
  }
  EXPECT_EQ(manager_.urlForRequestType(QLRequestTypePackage), "http://api.test:8080/api/v1/package/%@");
}

TEST_F(RequestAssemblyTest, MethodRule) {
  for (int64_t type = 0; type < kQLRequestTypeCount; ++type) {
    bool post = (type >= 10 && type <= 13) || (type >= 15 && type <= 17);
    EXPECT_EQ(QLDownloadManager::methodForRequestType(type), post ? "POST" : "GET") << type;
  }
}

TEST_F(RequestAssemblyTest, CommonParametersAndSignature) {
  Device saved = Device::current();
  Device device = saved;
  device.systemVersion = "16.4";
  Device::setCurrent(device);
  manager_.setAppId("app");
  manager_.setAppSecret("secret");

  Value core = Value::dict({{kHTTPPathParamKey, "package/123/emojis"}, {"Zeta", "z"}});
  Value bare = manager_.generateFinalParamsWithCoreParams(core, QLRequestTypePackageEmojis);
  const auto& dict = *bare.asDictionary();
  EXPECT_FALSE(bare.find(kHTTPPathParamKey));
  EXPECT_FALSE(bare.find("appid"));
  EXPECT_FALSE(bare.find("secret"));
  EXPECT_FALSE(bare.find("app_uid")) << "no user id, no app_uid";
  EXPECT_FALSE(bare.find("access_token")) << "no token, no access_token";
  EXPECT_EQ(*bare.find("os"), Value("16.4"));
  EXPECT_EQ(dict.size(), 5u) << "Zeta, timestamp, device_no, os, signature";

  manager_.setUserId("u1");
  manager_.setAccessToken("tok");
  WallClock::setFixedTime(WallClock::TimePoint(std::chrono::milliseconds(1700000000123)));
  Value full = manager_.generateFinalParamsWithCoreParams(core, QLRequestTypePackageEmojis);
  WallClock::setFixedTime(std::nullopt);
  const std::string& timestamp = *full.find("timestamp")->asString();
  EXPECT_EQ(timestamp, "1700000000123") << "milliseconds since 1970";
  const std::string& device_no = *full.find("device_no")->asString();
  // Upper case sorts before lower case: "Zeta" leads.
  std::string signed_ = "http://api.test:8080/api/v1/package/123/emojis"
                        "Zeta=z&access_token=tok&app_uid=u1&device_no=" + device_no +
                        "&os=16.4&timestamp=" + timestamp;
  EXPECT_EQ(*full.find("signature")->asString(), test::md5Upper(signed_));
  Device::setCurrent(saved);
}

TEST_F(RequestAssemblyTest, DeviceIdentifierLivesInTheSecureStore) {
  std::string first = manager_.ql_uniqueIdentifier();
  EXPECT_EQ(first.size(), 36u);
  EXPECT_EQ(manager_.ql_uniqueIdentifier(), first);
  EXPECT_EQ(store_.password("qlemotion", "com.tarvel.qlsdk"), first);
  // A later launch (a new manager) finds the same one.
  QLDownloadManager again("http://api.test/api/v1", &store_);
  EXPECT_EQ(again.ql_uniqueIdentifier(), first);

  SecureItemStore emptyStore(dir_ / "other");
  ASSERT_TRUE(emptyStore.setPassword("qlemotion", "com.tarvel.qlsdk", "").ok());
  QLDeviceIdentifier fresh(emptyStore);
  std::string made = fresh.identifier();
  EXPECT_FALSE(made.empty()) << "an empty item counts as none";
  EXPECT_EQ(emptyStore.password("qlemotion", "com.tarvel.qlsdk"), made);
}

}  // namespace
}  // namespace vexa
