#include "vexa/platform/Md5.h"

#include <openssl/evp.h>

#include <array>

namespace vexa {
namespace {

std::string hexDigest(std::string_view bytes, const char* digits) {
  std::array<unsigned char, EVP_MAX_MD_SIZE> md{};
  unsigned int len = 0;
  EVP_Digest(bytes.data(), bytes.size(), md.data(), &len, EVP_md5(), nullptr);
  std::string out(2 * len, '0');
  for (unsigned int i = 0; i < len; ++i) {
    out[2 * i] = digits[md[i] >> 4];
    out[2 * i + 1] = digits[md[i] & 0xF];
  }
  return out;
}

}  // namespace

std::string Md5::lowerHex(std::string_view bytes) { return hexDigest(bytes, "0123456789abcdef"); }
std::string Md5::upperHex(std::string_view bytes) { return hexDigest(bytes, "0123456789ABCDEF"); }

}  // namespace vexa
