// An unencrypted entry, inflated and CRC-checked by minizip itself.
#pragma once

#include <string>

#include "vexa/store/zip/QLZipEntryReader.h"

namespace vexa {

class QLZipPlainEntryReader : public QLZipEntryReader {
 public:
  // Takes over the entry just opened on `unzFile`.
  QLZipPlainEntryReader(void* unzFile, std::string name)
      : unzFile_(unzFile), name_(std::move(name)) {}
  ~QLZipPlainEntryReader() override;

  Result<size_t> read(char* out, size_t capacity) override;
  Status finish() override;

 private:
  void* unzFile_;
  std::string name_;
  bool open_ = true;
};

}  // namespace vexa
