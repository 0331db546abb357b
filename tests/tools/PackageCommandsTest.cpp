// The vexa tool's package commands (catalog, install-defaults, packages,
// install, remove, lookup), run as a user runs them against the reference
// service.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <set>

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
  // The tool in the test's home (or `homeArgument`) against the test's
  // service; `files` and `secret` replace the right ones when given.
  ToolRun vexa(std::vector<std::string> args, bool credentials = true, std::optional<std::string> files = {},
               std::string secret = service::EmoticonService::kDemoAppSecret) {
    std::vector<std::string> argv = {kTool, "--home", homeArgument.empty() ? home.path().string() : homeArgument,
                                     "--api", service->apiBase(), "--files", files.value_or(service->filesBase()),
                                     "--user", "u&1 用户"};
    if (credentials) argv.insert(argv.end(), {"--app-id", service::EmoticonService::kDemoAppId, "--secret", secret});
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
  std::string homeArgument;  // another --home than `home`
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
  EXPECT_EQ(noKind.status, 2) << "a usage error";
  EXPECT_EQ(noKind.out, "");
  ToolRun bothKinds = vexa({"lookup", "--small", "--big", "smile"});
  EXPECT_EQ(bothKinds.status, 2);

  // The line names the option that would mend it.
  EXPECT_NE(noCredentials.err.find("--app-id and --secret"), std::string::npos) << noCredentials.err;
  ToolRun wrongSecret = vexa({"install", "pkg-mochi-cat"}, true, {}, "wrong");
  EXPECT_EQ(wrongSecret.status, 1);
  EXPECT_NE(wrongSecret.err.find("--app-id and --secret"), std::string::npos) << wrongSecret.err;
  EXPECT_EQ(wrongSecret.err.find("wrong"), std::string::npos) << "no secret in messages: " << wrongSecret.err;
  ToolRun noFiles = vexa({"install-defaults"}, true, "");
  EXPECT_EQ(noFiles.status, 2);
  EXPECT_NE(noFiles.err.find("--files"), std::string::npos) << noFiles.err;
  ToolRun badFiles = vexa({"install-defaults"}, true, service->apiBase() + "/nowhere");
  EXPECT_EQ(badFiles.status, 1);
  EXPECT_NE(badFiles.err.find("check --api and --files"), std::string::npos) << badFiles.err;
}

TEST_F(PackageCommandsTest, CatalogAndTheJsonOfWhatChanged) {
  auto installedOf = [](const Value& catalog, const std::string& guid) {
    std::vector<Value> marks;
    for (const auto& entry : *catalog.asArray()) {
      if (*entry.find("guid") == Value(guid)) marks.push_back(*entry.find("installed"));
    }
    return marks;
  };
  Value catalog = json(vexa({"catalog", "--json"}));
  ASSERT_EQ(catalog.size(), 9u) << catalog.description();
  EXPECT_EQ(catalog.asArray()->at(0), Value::dict({{"category", "热门推荐"}, {"guid", "pkg-mochi-cat"},
                                                    {"name", "团子猫"}, {"packageType", 0}, {"installed", false}}));

  Value defaults = json(vexa({"install-defaults", "--json"}));
  ASSERT_EQ(defaults.size(), 2u) << defaults.description();
  EXPECT_EQ(*defaults.asArray()->at(1).find("guid"), Value("pkg-everyday"));
  EXPECT_EQ(json(vexa({"install-defaults", "--json"})), Value(Value::Array{})) << "nothing new";

  Value installed = json(vexa({"install", "--json", "pkg-mochi-cat"}));
  ASSERT_EQ(installed.size(), 1u) << installed.description();
  EXPECT_EQ(*installed.asArray()->at(0).find("guid"), Value("pkg-mochi-cat"));
  EXPECT_EQ(*installed.asArray()->at(0).find("emojiCount"), Value(8));
  EXPECT_EQ(json(vexa({"install", "--json", "pkg-mochi-cat"})), Value(Value::Array{}));
  catalog = json(vexa({"catalog", "--json"}));
  EXPECT_EQ(installedOf(catalog, "pkg-mochi-cat"), (std::vector<Value>{Value(true), Value(true)}));
  EXPECT_EQ(installedOf(catalog, "pkg-everyday"), (std::vector<Value>{Value(true)})) << "defaults count";
  EXPECT_EQ(installedOf(catalog, "pkg-sunny-days"), (std::vector<Value>{Value(false), Value(false)}));

  ToolRun readable = vexa({"catalog"});
  ASSERT_EQ(readable.status, 0) << readable.err;
  EXPECT_NE(readable.out.find("萌宠天地\n  pkg-mochi-cat  团子猫  (installed)\n"), std::string::npos) << readable.out;

  Value removed = json(vexa({"remove", "--json", "pkg-mochi-cat"}));
  ASSERT_EQ(removed.size(), 1u);
  EXPECT_EQ(*removed.asArray()->at(0).find("guid"), Value("pkg-mochi-cat"));
  EXPECT_EQ(installedOf(json(vexa({"catalog", "--json"})), "pkg-mochi-cat"),
            (std::vector<Value>{Value(false), Value(false)}));
}

TEST_F(PackageCommandsTest, ProcessesInstallingAtOnceLoseNoPackage) {
  const std::vector<std::string> guids = {"pkg-mochi-cat", "pkg-bouncy-blob", "pkg-little-robot",
                                          "pkg-sunny-days"};
  std::vector<std::unique_ptr<ChildProcess>> children;
  for (const auto& guid : guids) {
    std::vector<std::string> argv = {kTool, "--home", home.path().string(), "--api", service->apiBase(),
                                     "--files", service->filesBase(), "--app-id",
                                     service::EmoticonService::kDemoAppId, "--secret",
                                     service::EmoticonService::kDemoAppSecret, "install", guid};
    children.push_back(std::make_unique<ChildProcess>(argv));
  }
  for (auto& child : children) EXPECT_EQ(child->wait(), 0) << child->errors();
  Value listed = json(vexa({"packages", "--json"}));
  std::set<std::string> found;
  for (const Value& package : *listed.asArray()) found.insert(*package.find("guid")->asString());
  EXPECT_EQ(found, std::set<std::string>(guids.begin(), guids.end()));
}

TEST_F(PackageCommandsTest, AHomeThatIsAFileOrCannotBeWrittenFailsEveryCommandInOneLine) {
  std::ofstream(home / "a-file") << "not a folder";
  for (const std::string& bad : {(home / "a-file").string(), std::string("/proc")}) {
    homeArgument = bad;
    for (const std::vector<std::string>& command :
         std::vector<std::vector<std::string>>{{"packages"}, {"lookup", "--small", "smile"}, {"parse", "[smile]"},
                                               {"parse", "--local", "[smile]"}, {"install", "pkg-mochi-cat"},
                                               {"remove", "pkg-mochi-cat"}, {"install-defaults"}}) {
      ToolRun run = vexa(command);
      SCOPED_TRACE(bad + " " + command[0]);
      EXPECT_EQ(run.status, 1);
      EXPECT_EQ(run.out, "");
      EXPECT_TRUE(run.err.starts_with("vexa: --home " + bad + ": ")) << run.err;
      EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
  }
  EXPECT_TRUE(service->log().entries().empty()) << "nothing was asked of the service";
}

TEST_F(PackageCommandsTest, AStoreThatCannotBeWrittenFailsInstallAndRemoveWithTheReason) {
  const auto root = home.path() / "ApplicationSupport" / "QLPackages";
  std::filesystem::create_directories(root / "pkg-mochi-cat" / "in-the-way");
  ToolRun install = vexa({"install", "pkg-mochi-cat"});
  EXPECT_EQ(install.status, 1);
  EXPECT_EQ(install.out, "") << "no success line";
  EXPECT_NE(install.err.find(root.string() + "/pkg-mochi-cat"), std::string::npos) << install.err;
  EXPECT_NE(install.err.find("VXFileErrorDomain"), std::string::npos) << install.err;
  EXPECT_TRUE(reported("download").empty());

  std::filesystem::remove_all(root / "pkg-mochi-cat");
  ASSERT_EQ(vexa({"install", "pkg-mochi-cat"}).status, 0);
  std::filesystem::remove(root / "packages.plist");
  std::filesystem::create_directories(root / "packages.plist" / "in-the-way");
  ToolRun remove = vexa({"remove", "pkg-mochi-cat"});
  EXPECT_EQ(remove.status, 1);
  EXPECT_EQ(remove.out, "");
  EXPECT_NE(remove.err.find("packages.plist"), std::string::npos) << remove.err;
  EXPECT_TRUE(reported("remove").empty()) << "no report of a removal that did not happen";
}

TEST_F(PackageCommandsTest, AGuidThatCannotBeSentIsRefusedBeforeAnyRequest) {
  for (const std::string& guid : {std::string("../../token"), std::string(".."), std::string(129, 'g'),
                                   std::string("pkg\x1b]0;x\x07")}) {
    ToolRun run = vexa({"install", guid});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Refused guid"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\x1b'), std::string::npos) << "no control character reaches the terminal";
  }
  EXPECT_TRUE(service->log().entries().empty()) << "nothing was asked of the service";
}

}  // namespace
}  // namespace vexa::test
