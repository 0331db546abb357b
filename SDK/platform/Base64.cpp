#include "vexa/platform/Base64.h"

#include <openssl/evp.h>

namespace vexa {

std::string Base64::encode(std::string_view data) {
  std::string out(4 * ((data.size() + 2) / 3), '\0');
  if (data.empty()) return out;
  int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                          reinterpret_cast<const unsigned char*>(data.data()),
                          static_cast<int>(data.size()));
  out.resize(static_cast<size_t>(n));
  return out;
}

std::string Base64::encode(const Bytes& data) {
  return encode(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
}

std::optional<Bytes> Base64::decode(std::string_view text) {
  std::string clean;
  clean.reserve(text.size());
  for (char c : text) {
    if (c != ' ' && c != '\n' && c != '\r' && c != '\t') clean.push_back(c);
  }
  if (clean.size() % 4 != 0) return std::nullopt;
  Bytes out(clean.size() / 4 * 3);
  if (clean.empty()) return out;
  int n = EVP_DecodeBlock(out.data(), reinterpret_cast<const unsigned char*>(clean.data()),
                          static_cast<int>(clean.size()));
  if (n < 0) return std::nullopt;
  // EVP_DecodeBlock counts padding as zero bytes.
  size_t pad = 0;
  if (clean.back() == '=') ++pad;
  if (clean.size() >= 2 && clean[clean.size() - 2] == '=') ++pad;
  out.resize(static_cast<size_t>(n) - pad);
  return out;
}

}  // namespace vexa
