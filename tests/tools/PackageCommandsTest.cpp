// The vexa tool's package commands (install-defaults, packages, install,
// remove, lookup), run as a user runs them against the reference service.
#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "ServiceFixture.h"
#include "vexa/platform/JsonCodec.h"
#include "support/TempDirectory.h"

namespace vexa::test {
namespace {

const std::string kTool = VEXA_TOOL_PATH;

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

class PackageCommandsTest : public ServiceTest {
 protected:
  ToolRun vexa(std::vector<std::string> args, bool credentials = true) {
    std::vector<std::string> argv = {kTool, "--home", home.path().string(), "--api",
                                     service->apiBase(), "--files", service->filesBase(),
                                     "--user", "u&1 用户"};
    if (credentials) {
      argv.insert(argv.end(), {"--app-id", service::EmoticonService::kDemoAppId, "--secret",
                               service::EmoticonService::kDemoAppSecret});
    }
    argv.insert(argv.end(), args.begin(), args.end());
    ChildProcess child(argv);
    ToolRun run;
    run.status = child.wait();
    run.out = child.output();
    run.err = child.errors();
    return run;
  }
  Value json(const ToolRun& run) {
    auto parsed = JsonCodec::parse(run.out);
    EXPECT_TRUE(parsed.ok()) << "standard output holds only JSON: " << run.out;
    return parsed ? *parsed : Value();
  }
  std::vector<std::string> reported(const std::string& action) {
    std::vector<std::string> guids;
    for (const auto& report : service->reports().reports()) {
      if (*report.find("action") == Value(action)) guids.push_back(*report.find("package_id")->asString());
    }
    return guids;
  }

  TempDirectory home;
};

TEST_F(PackageCommandsTest, InstallListLookUpAndRemove) {
  EXPECT_EQ(json(vexa({"packages", "--json"})), Value(Value::Array{}));

  ToolRun defaults = vexa({"install-defaults"});
  ASSERT_EQ(defaults.status, 0) << defaults.err;
  size_t requestsBefore = service->log().entries().size();
  ToolRun again = vexa({"install-defaults"});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_NE(again.out.find("2 stored, 0 newly installed"), std::string::npos) << again.out;
  EXPECT_EQ(service->log().entries().size(), requestsBefore) << "nothing fetched again";
  Value listed = json(vexa({"packages", "--json"}));
  ASSERT_EQ(listed.size(), 2u) << listed.description();
  EXPECT_EQ(listed.asArray()->at(0),
            Value::dict({{"guid", "pkg-classic-faces"}, {"name", "经典表情"}, {"isDefault", true},
                         {"isEmoji", true}, {"packageType", 2}, {"emojiCount", 24}}));

  ToolRun install = vexa({"install", "pkg-mochi-cat"});
  ASSERT_EQ(install.status, 0) << install.err;
  EXPECT_NE(install.err.find("100%"), std::string::npos) << "progress lines: " << install.err;
  listed = json(vexa({"packages", "--json"}));
  ASSERT_EQ(listed.size(), 3u);
  EXPECT_EQ(*listed.asArray()->at(2).find("guid"), Value("pkg-mochi-cat")) << "after the defaults";
  EXPECT_EQ(*listed.asArray()->at(2).find("isDefault"), Value(false));

  Value found = json(vexa({"lookup", "--big", "早安", "no-such-code", "hello"}));
  ASSERT_EQ(found.size(), 2u) << found.description();
  EXPECT_EQ(found.asArray()->at(0), Value::dict({{"id", "emo-mochi-cat-01"}, {"code", "早安"}, {"name", "早安"},
                                                  {"packageId", "pkg-mochi-cat"}, {"hasImage", true}}));
  EXPECT_EQ(*found.asArray()->at(1).find("code"), Value("hello"));
  EXPECT_EQ(*found.asArray()->at(1).find("hasImage"), Value(true));

  ToolRun removed = vexa({"remove", "pkg-mochi-cat"});
  ASSERT_EQ(removed.status, 0) << removed.err;
  EXPECT_EQ(json(vexa({"packages", "--json"})).size(), 2u);
  ToolRun refused = vexa({"remove", "pkg-everyday"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.err.find("cannot be removed"), std::string::npos) << refused.err;

  // Every report reached the service before the tool exited.
  EXPECT_EQ(reported("download"),
            (std::vector<std::string>{"pkg-classic-faces", "pkg-everyday", "pkg-mochi-cat"}));
  EXPECT_EQ(reported("remove"), (std::vector<std::string>{"pkg-mochi-cat"}));
  for (const auto& report : service->reports().reports()) {
    EXPECT_EQ(*report.find("app_uid"), Value("u&1 用户"));
  }
}

TEST_F(PackageCommandsTest, FailuresCarryTheirDescriptionAndCode) {
  ToolRun noCredentials = vexa({"install-defaults"}, false);
  EXPECT_EQ(noCredentials.status, 1);
  EXPECT_NE(noCredentials.err.find("Please set appid or appSecret"), std::string::npos) << noCredentials.err;
  EXPECT_NE(noCredentials.err.find("8888"), std::string::npos) << noCredentials.err;
  EXPECT_EQ(json(vexa({"packages", "--json"})), Value(Value::Array{})) << "nothing stored";

  ToolRun unknown = vexa({"install", "pkg-nowhere"});
  EXPECT_EQ(unknown.status, 1);
  EXPECT_TRUE(unknown.err.starts_with("vexa: ")) << unknown.err;

  ToolRun noKind = vexa({"lookup", "smile"});
  EXPECT_NE(noKind.status, 0);
  EXPECT_EQ(noKind.out, "");
  ToolRun bothKinds = vexa({"lookup", "--small", "--big", "smile"});
  EXPECT_NE(bothKinds.status, 0);
}

}  // namespace
}  // namespace vexa::test
