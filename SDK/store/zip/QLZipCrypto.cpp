#include "vexa/store/zip/QLZipCrypto.h"

#include <zlib.h>

namespace vexa {

namespace {

uint32_t crcByte(uint32_t crc, uint8_t b) {
  static const z_crc_t* const table = get_crc_table();
  return static_cast<uint32_t>(table[(crc ^ b) & 0xff]) ^ (crc >> 8);
}

}  // namespace

QLZipCrypto::QLZipCrypto(std::string_view password) : keys_{305419896u, 591751049u, 878082192u} {
  for (char c : password) update(static_cast<uint8_t>(c));
}

uint8_t QLZipCrypto::keyStreamByte() const {
  uint32_t temp = (keys_[2] & 0xffff) | 2;
  return static_cast<uint8_t>((temp * (temp ^ 1)) >> 8);
}

void QLZipCrypto::update(uint8_t plain) {
  keys_[0] = crcByte(keys_[0], plain);
  keys_[1] = (keys_[1] + (keys_[0] & 0xff)) * 134775813u + 1;
  keys_[2] = crcByte(keys_[2], static_cast<uint8_t>(keys_[1] >> 24));
}

void QLZipCrypto::decrypt(uint8_t* data, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    data[i] ^= keyStreamByte();
    update(data[i]);
  }
}

void QLZipCrypto::encrypt(uint8_t* data, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    uint8_t plain = data[i];
    data[i] ^= keyStreamByte();
    update(plain);
  }
}

}  // namespace vexa
