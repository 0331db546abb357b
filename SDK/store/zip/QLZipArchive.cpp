#include "vexa/store/zip/QLZipArchive.h"

#include <fcntl.h>
#include <minizip/unzip.h>
#include <minizip/zip.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <random>
#include <vector>

#include "vexa/platform/FileHandle.h"
#include "vexa/store/zip/QLZipCrypto.h"
#include "vexa/store/zip/QLZipError.h"
#include "vexa/store/zip/QLZipExtraction.h"
#include "vexa/store/zip/QLZipMemorySource.h"

namespace vexa {

namespace {

constexpr size_t kChunk = 64 * 1024;

// Reads the whole descriptor in chunks; false on a read error.
template <typename Sink>
bool readChunks(int fd, Sink&& sink) {
  std::vector<char> buffer(kChunk);
  for (;;) {
    ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return true;
    if (!sink(buffer.data(), static_cast<size_t>(n))) return false;
  }
}


int zip64For(uint64_t size) { return size >= 0xffffffffu ? 1 : 0; }

bool writePlainEntry(zipFile zf, int fd, const std::string& name, const zip_fileinfo& info,
                     uint64_t size) {
  if (zipOpenNewFileInZip3_64(zf, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                              Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL,
                              Z_DEFAULT_STRATEGY, nullptr, 0, zip64For(size)) != ZIP_OK) {
    return false;
  }
  bool copied = readChunks(fd, [&](const char* data, size_t n) {
    return zipWriteInFileInZip(zf, data, static_cast<unsigned>(n)) == ZIP_OK;
  });
  return zipCloseFileInZip(zf) == ZIP_OK && copied;
}

// The library's own encryption is compiled out on this platform: the entry
// is deflated and encrypted here and handed over raw.
bool writeEncryptedEntry(zipFile zf, int fd, const std::string& name, const zip_fileinfo& info,
                         uint64_t size, const std::string& password) {
  // The header's check bytes are the data's CRC: one pass to learn it.
  uLong crc = crc32(0L, Z_NULL, 0);
  bool read = readChunks(fd, [&](const char* data, size_t n) {
    crc = crc32(crc, reinterpret_cast<const Bytef*>(data), static_cast<uInt>(n));
    return true;
  });
  if (!read || ::lseek(fd, 0, SEEK_SET) != 0) return false;

  constexpr uLong kEncryptedFlag = 1;
  if (zipOpenNewFileInZip4_64(zf, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                              Z_DEFAULT_COMPRESSION, 1, -MAX_WBITS, DEF_MEM_LEVEL,
                              Z_DEFAULT_STRATEGY, nullptr, 0, 0, kEncryptedFlag,
                              zip64For(size)) != ZIP_OK) {
    return false;
  }
  QLZipCrypto crypto(password);
  uint8_t header[QLZipCrypto::kHeaderSize];
  std::random_device random;
  for (size_t i = 0; i + 2 < sizeof header; ++i) header[i] = static_cast<uint8_t>(random());
  header[10] = static_cast<uint8_t>(crc >> 16);
  header[11] = static_cast<uint8_t>(crc >> 24);
  crypto.encrypt(header, sizeof header);
  bool ok = zipWriteInFileInZip(zf, header, sizeof header) == ZIP_OK;

  z_stream stream{};
  ok = ok && deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, DEF_MEM_LEVEL,
                          Z_DEFAULT_STRATEGY) == Z_OK;
  std::vector<uint8_t> out(kChunk);
  auto pump = [&](int flush) {
    int rc;
    do {
      stream.next_out = out.data();
      stream.avail_out = static_cast<uInt>(out.size());
      rc = deflate(&stream, flush);
      size_t produced = out.size() - stream.avail_out;
      crypto.encrypt(out.data(), produced);
      if (produced && zipWriteInFileInZip(zf, out.data(), static_cast<unsigned>(produced)) != ZIP_OK) {
        return false;
      }
    } while (stream.avail_out == 0 || (flush == Z_FINISH && rc == Z_OK));
    return rc == Z_OK || rc == Z_STREAM_END || rc == Z_BUF_ERROR;
  };
  if (ok) {
    ok = readChunks(fd, [&](const char* data, size_t n) {
      stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
      stream.avail_in = static_cast<uInt>(n);
      return pump(Z_NO_FLUSH);
    });
    ok = ok && pump(Z_FINISH);
    deflateEnd(&stream);
  }
  return zipCloseFileInZipRaw64(zf, size, crc) == ZIP_OK && ok;
}

}  // namespace

QLZipArchive::QLZipArchive() = default;

QLZipArchive::~QLZipArchive() {
  UnzipCloseFile();
  CloseZipFile2();
}

void QLZipArchive::fail(const Error& error, std::optional<std::string> message) {
  lastError_ = error;
  if (message) OutputErrorMessage(*message);
}

bool QLZipArchive::UnzipOpenFile(const std::filesystem::path& path) {
  UnzipCloseFile();
  lastError_.reset();
  unzFile_ = unzOpen64(path.c_str());
  if (!unzFile_) {
    fail(QLZipError::make(QLZipError::kOpenFailed, "Cannot open archive " + path.string()));
    return false;
  }
  return true;
}

bool QLZipArchive::UnzipOpenFile(const std::filesystem::path& path, const std::string& password) {
  bool opened = UnzipOpenFile(path);
  password_ = password;
  return opened;
}

bool QLZipArchive::UnzipOpenData(std::string bytes) {
  UnzipCloseFile();
  lastError_.reset();
  memory_ = std::make_unique<QLZipMemorySource>(std::move(bytes));
  zlib_filefunc64_def functions{};
  memory_->fill(functions);
  unzFile_ = unzOpen2_64("memory", &functions);
  if (!unzFile_) {
    memory_.reset();
    fail(QLZipError::make(QLZipError::kOpenFailed, "Cannot open archive data"));
    return false;
  }
  return true;
}

bool QLZipArchive::UnzipOpenData(std::string bytes, const std::string& password) {
  bool opened = UnzipOpenData(std::move(bytes));
  password_ = password;
  return opened;
}

bool QLZipArchive::UnzipFileTo(const std::filesystem::path& destination, bool overWrite) {
  lastError_.reset();
  if (!unzFile_) {
    fail(QLZipError::make(QLZipError::kNotOpen, "No archive is open for reading"), "Failed");
    return false;
  }
  QLZipExtraction extraction(unzFile_, {password_, overWrite, maxTotalBytes_, maxEntryCount_},
                             *this);
  Status status = extraction.run(destination);
  if (!status) lastError_ = status.error();
  return status.ok();
}

bool QLZipArchive::UnzipCloseFile() {
  password_.clear();
  if (!unzFile_) return true;
  int rc = unzClose(unzFile_);
  unzFile_ = nullptr;
  memory_.reset();
  return rc == UNZ_OK;
}

bool QLZipArchive::CreateZipFile2(const std::filesystem::path& path) {
  CloseZipFile2();
  lastError_.reset();
  zipFile_ = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  if (!zipFile_) {
    fail(QLZipError::make(QLZipError::kOpenFailed, "Cannot create archive " + path.string()));
    return false;
  }
  return true;
}

bool QLZipArchive::CreateZipFile2(const std::filesystem::path& path, const std::string& password) {
  bool created = CreateZipFile2(path);
  password_ = password;
  return created;
}

bool QLZipArchive::addFileToZip(const std::filesystem::path& source, const std::string& newname) {
  if (!zipFile_) {
    fail(QLZipError::make(QLZipError::kNotOpen, "No archive is open for writing"));
    return false;
  }
  FileHandle fd(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st {};
  if (!fd.valid() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    fail(QLZipError::make(QLZipError::kOpenFailed, "Cannot read " + source.string()));
    return false;
  }

  zip_fileinfo info{};
  struct tm local {};
  localtime_r(&st.st_mtime, &local);
  info.tmz_date.tm_sec = static_cast<uInt>(local.tm_sec);
  info.tmz_date.tm_min = static_cast<uInt>(local.tm_min);
  info.tmz_date.tm_hour = static_cast<uInt>(local.tm_hour);
  info.tmz_date.tm_mday = static_cast<uInt>(local.tm_mday);
  info.tmz_date.tm_mon = static_cast<uInt>(local.tm_mon);
  info.tmz_date.tm_year = static_cast<uInt>(local.tm_year + 1900);

  const uint64_t size = static_cast<uint64_t>(st.st_size);
  const bool written = password_.empty()
                           ? writePlainEntry(zipFile_, fd.get(), newname, info, size)
                           : writeEncryptedEntry(zipFile_, fd.get(), newname, info, size, password_);
  if (!written) {
    fail(QLZipError::make(QLZipError::kWriteFailed, "Cannot add entry " + newname));
    return false;
  }
  return true;
}

bool QLZipArchive::CloseZipFile2() {
  password_.clear();
  if (!zipFile_) return false;
  int rc = zipClose(zipFile_, nullptr);
  zipFile_ = nullptr;
  return rc == ZIP_OK;
}

void QLZipArchive::OutputErrorMessage(const std::string& message) {
  if (auto delegate = delegate_.lock(); delegate && delegate->ErrorMessage) {
    delegate->ErrorMessage(message);
  }
}

bool QLZipArchive::OverWrite(const std::string& path) {
  if (auto delegate = delegate_.lock(); delegate && delegate->OverWriteOperation) {
    return delegate->OverWriteOperation(path);
  }
  return true;
}

QLZipArchive::Clock::time_point QLZipArchive::Date1980() {
  struct tm t {};
  t.tm_year = 80;
  t.tm_mday = 1;
  t.tm_isdst = -1;
  return Clock::from_time_t(std::mktime(&t));
}

}  // namespace vexa
