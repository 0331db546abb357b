// An entry encrypted with the traditional PKWARE cipher: minizip hands over
// its raw bytes, this decrypts them, inflates them with zlib and checks the
// password and the CRC itself.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vexa/store/zip/QLZipCrypto.h"
#include "vexa/store/zip/QLZipEntryReader.h"

struct z_stream_s;

namespace vexa {

class QLZipEncryptedEntryReader : public QLZipEntryReader {
 public:
  struct Entry {
    int method = 0;      // 0 stored, 8 deflated
    uint32_t crc = 0;    // of the plain data
    uint8_t check = 0;   // what the last header byte decrypts to with the right password
    std::string name;
  };
  // Takes over the entry just opened in raw mode on `unzFile`.
  QLZipEncryptedEntryReader(void* unzFile, const std::string& password, Entry entry);
  ~QLZipEncryptedEntryReader() override;

  Result<size_t> read(char* out, size_t capacity) override;
  Status finish() override;

 private:
  Status readHeader();
  // Reads and decrypts the next raw bytes into input_; false at the entry's end.
  Result<bool> refill();
  Result<size_t> readStored(char* out, size_t capacity);
  Result<size_t> readDeflated(char* out, size_t capacity);
  Error corrupt(const std::string& what) const;

  void* unzFile_;
  QLZipCrypto crypto_;
  Entry entry_;
  std::unique_ptr<z_stream_s> stream_;
  std::vector<uint8_t> input_;
  size_t inputPos_ = 0;
  size_t inputLen_ = 0;
  bool headerRead_ = false;
  bool rawDone_ = false;
  bool streamEnded_ = false;
  bool open_ = true;
  uint32_t crc_ = 0;
};

}  // namespace vexa
