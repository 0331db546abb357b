// How the HTTP layer trusts servers.
//
// Certificate chain and host name verification are always on; no setting
// turns them off. A policy may add a file of trusted certificate
// authorities (a private host, tests) and may pin public keys: with pins, a
// TLS connection succeeds only when the server's key is one of them
// (kQLURLErrorPinnedKeyMismatch otherwise). A pin is the Base64 text of the
// SHA-256 digest of the DER-encoded SubjectPublicKeyInfo. A plain value.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vexa/platform/Result.h"

namespace vexa {

class QLSecurityPolicy {
 public:
  const std::optional<std::filesystem::path>& certificateAuthorityFile() const { return caFile_; }
  // PEM file of extra trusted authorities; replaces the system's bundle.
  void setCertificateAuthorityFile(std::optional<std::filesystem::path> file) {
    caFile_ = std::move(file);
  }

  const std::vector<std::string>& pinnedPublicKeyHashes() const { return pins_; }
  // Adds a pin; refuses text that is not the Base64 of 32 bytes.
  Status addPinnedPublicKeyHash(std::string_view base64Sha256);
  // The pin of the public key of a PEM certificate.
  static Result<std::string> publicKeyHashOfCertificate(std::string_view pem);

  // The pins in libcurl's "sha256//a;sha256//b" form; empty when none.
  std::string pinnedPublicKeyOption() const;

 private:
  std::optional<std::filesystem::path> caFile_;
  std::vector<std::string> pins_;
};

}  // namespace vexa
