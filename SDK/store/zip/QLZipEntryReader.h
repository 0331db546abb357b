// The data of one archive entry, inflated and checked: the current entry
// of a minizip reader, plain or encrypted.
//
// read() until it gives 0, then finish() for the CRC verdict. Destroying a
// reader closes the entry. One thread at a time.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "vexa/platform/Result.h"

struct unz_file_info64_s;

namespace vexa {

class QLZipEntryReader {
 public:
  virtual ~QLZipEntryReader() = default;

  // Opens the current entry of `unzFile`, described by `info`. Encrypted
  // entries need the password; `name` goes into error texts.
  static Result<std::unique_ptr<QLZipEntryReader>> open(void* unzFile,
                                                        const unz_file_info64_s& info,
                                                        const std::string& password,
                                                        const std::string& name);

  // Up to `capacity` bytes of the entry's data; 0 at its end.
  virtual Result<size_t> read(char* out, size_t capacity) = 0;
  // After the last read: whether the data matched its CRC. Closes the entry.
  virtual Status finish() = 0;
};

}  // namespace vexa
