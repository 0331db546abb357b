// The generated sample catalogue, drawn once per build, and a fixture
// that starts the reference service on a port chosen by the OS for each
// test and stops it afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "SignedClient.h"
#include "service/Catalog.h"
#include "service/EmoticonService.h"

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

}  // namespace vexa::test
