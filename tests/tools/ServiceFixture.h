// The generated sample catalogue, drawn once per build, and a fixture
// that starts the reference service on a port chosen by the OS for each
// test and stops it afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "SignedClient.h"
#include "UiScript.h"
#include "service/Catalog.h"
#include "service/EmoticonService.h"
#include "support/TempDirectory.h"

namespace vexa::test {

class SampleCatalogOnce {
 public:
  // The directory of the generated catalogue, cached in the build tree.
  static const std::filesystem::path& directory();
  static std::shared_ptr<const service::Catalog> catalog();
};

class ServiceTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::unique_ptr<service::EmoticonService> service;
  std::unique_ptr<SignedClient> client;
};

// The service fixture with a home for the `vexa` tool, which it runs
// against the test's service as the demo application.
class ToolServiceTest : public ServiceTest {
 protected:
  std::vector<std::string> globals() const;
  // The tool's argv for `command` in the home, with the globals.
  std::vector<std::string> tool(std::vector<std::string> command) const;
  // The `skip`-th tree a script printed (a failed expectation when none).
  static const Value& tree(const ScriptRun& result, size_t skip = 0);

  TempDirectory home_;
};

}  // namespace vexa::test
