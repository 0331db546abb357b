#include "vexa/store/zip/QLZipPlainEntryReader.h"

#include <minizip/unzip.h>

#include <algorithm>
#include <climits>

#include "vexa/store/zip/QLZipError.h"

namespace vexa {

QLZipPlainEntryReader::~QLZipPlainEntryReader() {
  if (open_) unzCloseCurrentFile(unzFile_);
}

Result<size_t> QLZipPlainEntryReader::read(char* out, size_t capacity) {
  unsigned chunk = static_cast<unsigned>(std::min<size_t>(capacity, INT_MAX));
  int n = unzReadCurrentFile(unzFile_, out, chunk);
  if (n < 0) return QLZipError::make(QLZipError::kCorrupt, "Cannot inflate entry: " + name_);
  return static_cast<size_t>(n);
}

Status QLZipPlainEntryReader::finish() {
  open_ = false;
  // Closing after the last byte is what checks the CRC.
  int rc = unzCloseCurrentFile(unzFile_);
  if (rc == UNZ_CRCERROR) return QLZipError::make(QLZipError::kCorrupt, "CRC error in entry: " + name_);
  if (rc != UNZ_OK) return QLZipError::make(QLZipError::kCorrupt, "Cannot read entry: " + name_);
  return Status::Ok();
}

}  // namespace vexa
