#include "vexa/store/zip/QLZipEntryReader.h"

#include <minizip/unzip.h>
#include <zlib.h>

#include "vexa/store/zip/QLZipEncryptedEntryReader.h"
#include "vexa/store/zip/QLZipError.h"
#include "vexa/store/zip/QLZipPlainEntryReader.h"

namespace vexa {

namespace {
constexpr uLong kEncrypted = 1 << 0;
constexpr uLong kDataDescriptor = 1 << 3;
constexpr uLong kStrongEncryption = 1 << 6;
}  // namespace

Result<std::unique_ptr<QLZipEntryReader>> QLZipEntryReader::open(void* unzFile,
                                                                 const unz_file_info64& info,
                                                                 const std::string& password,
                                                                 const std::string& name) {
  // The library hands other methods (bzip2 in this build) over raw and
  // skips their CRC check: the bytes written would not be the file.
  if (info.compression_method != 0 && info.compression_method != Z_DEFLATED) {
    return QLZipError::make(QLZipError::kEntryOpenFailed,
                            "Entry uses an unsupported compression method (" +
                                std::to_string(info.compression_method) + "): " + name);
  }
  if (!(info.flag & kEncrypted)) {
    if (unzOpenCurrentFile(unzFile) != UNZ_OK) {
      return QLZipError::make(QLZipError::kEntryOpenFailed, "Cannot open entry: " + name);
    }
    return std::unique_ptr<QLZipEntryReader>(std::make_unique<QLZipPlainEntryReader>(unzFile, name));
  }
  if (password.empty()) {
    return QLZipError::make(QLZipError::kEntryOpenFailed,
                            "Entry is encrypted and no password was given: " + name);
  }
  if (info.flag & kStrongEncryption) {
    return QLZipError::make(QLZipError::kEntryOpenFailed,
                            "Entry uses an unsupported encryption: " + name);
  }
  int method = 0, level = 0;
  if (unzOpenCurrentFile2(unzFile, &method, &level, 1) != UNZ_OK) {
    return QLZipError::make(QLZipError::kEntryOpenFailed, "Cannot open entry: " + name);
  }
  QLZipEncryptedEntryReader::Entry entry;
  entry.method = method;
  entry.crc = static_cast<uint32_t>(info.crc);
  // With a data descriptor the CRC was not known when the header was
  // written; the check byte is then taken from the entry's time.
  entry.check = static_cast<uint8_t>((info.flag & kDataDescriptor) ? (info.dosDate >> 8)
                                                                     : (info.crc >> 24));
  entry.name = name;
  return std::unique_ptr<QLZipEntryReader>(
      std::make_unique<QLZipEncryptedEntryReader>(unzFile, password, std::move(entry)));
}

}  // namespace vexa
