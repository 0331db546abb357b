#include "vexa/http/QLSecurityPolicy.h"

#include <openssl/bio.h>
#include <openssl/pem.h>
#include <openssl/sha.h>
#include <openssl/x509.h>

#include <memory>

#include "vexa/http/QLHTTPError.h"
#include "vexa/platform/Base64.h"

namespace vexa {

Status QLSecurityPolicy::addPinnedPublicKeyHash(std::string_view base64Sha256) {
  auto decoded = Base64::decode(base64Sha256);
  if (!decoded || decoded->size() != SHA256_DIGEST_LENGTH) {
    return qlHTTPRequestError(kQLHTTPRequestErrorInvalidParameters,
                              "A pinned key must be the Base64 text of a SHA-256 digest");
  }
  pins_.push_back(Base64::encode(*decoded));
  return Status::Ok();
}

Result<std::string> QLSecurityPolicy::publicKeyHashOfCertificate(std::string_view pem) {
  std::unique_ptr<BIO, decltype(&BIO_free)> bio(
      BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())), &BIO_free);
  std::unique_ptr<X509, decltype(&X509_free)> cert(
      bio ? PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr) : nullptr, &X509_free);
  if (!cert) {
    return qlHTTPRequestError(kQLHTTPRequestErrorInvalidParameters, "Not a PEM certificate");
  }
  unsigned char* der = nullptr;
  int length = i2d_X509_PUBKEY(X509_get_X509_PUBKEY(cert.get()), &der);
  if (length <= 0) {
    return qlHTTPRequestError(kQLHTTPRequestErrorInvalidParameters,
                              "The certificate's public key cannot be encoded");
  }
  unsigned char digest[SHA256_DIGEST_LENGTH];
  SHA256(der, static_cast<size_t>(length), digest);
  OPENSSL_free(der);
  return Base64::encode(std::string_view(reinterpret_cast<char*>(digest), sizeof digest));
}

std::string QLSecurityPolicy::pinnedPublicKeyOption() const {
  std::string out;
  for (const auto& pin : pins_) {
    if (!out.empty()) out.push_back(';');
    out += "sha256//" + pin;
  }
  return out;
}

}  // namespace vexa
