// The traditional PKWARE stream cipher of encrypted zip entries.
//
// The zip library as packaged on this platform is built without it, so
// encrypted entries are read and written through its raw mode and this
// cipher. It is weak by today's standards and serves only archives made by
// other tools. One entry per object; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vexa {

class QLZipCrypto {
 public:
  // Size of the encryption header that starts every encrypted entry's data.
  static constexpr size_t kHeaderSize = 12;

  explicit QLZipCrypto(std::string_view password);

  void decrypt(uint8_t* data, size_t size);
  void encrypt(uint8_t* data, size_t size);

 private:
  uint8_t keyStreamByte() const;
  void update(uint8_t plain);

  uint32_t keys_[3];
};

}  // namespace vexa
