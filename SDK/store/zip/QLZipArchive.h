// Reading and writing zip archives, over minizip.
//
// The reader unpacks every entry of an archive into a destination directory
// and is built for archives from the network: entry names that would leave
// the destination, symbolic-link entries and writes through existing links
// are refused; an archive that inflates beyond maxTotalBytes() (counted on
// the bytes actually inflated, not on the sizes its headers declare) or
// holds more than maxEntryCount() entries stops with an error; read errors,
// CRC and size mismatches fail the entry. Each failure is told to the
// delegate as a message and kept as lastError().
//
// The writer adds files to a new archive (deflated, optionally encrypted).
//
// An archive object is used by one thread at a time. Destroying it closes
// whatever it has open.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "vexa/platform/Error.h"
#include "vexa/store/zip/QLZipArchiveDelegate.h"

namespace vexa {

class QLZipMemorySource;

class QLZipArchive {
 public:
  using Clock = std::chrono::system_clock;

  static constexpr uint64_t kDefaultMaxTotalBytes = uint64_t(256) << 20;
  static constexpr uint64_t kDefaultMaxEntryCount = 10000;

  QLZipArchive();
  ~QLZipArchive();
  QLZipArchive(const QLZipArchive&) = delete;
  QLZipArchive& operator=(const QLZipArchive&) = delete;

  void setDelegate(const std::shared_ptr<QLZipArchiveDelegate>& delegate) { delegate_ = delegate; }

  // Bytes all entries of one extraction may inflate to, together.
  uint64_t maxTotalBytes() const { return maxTotalBytes_; }
  void setMaxTotalBytes(uint64_t v) { maxTotalBytes_ = v; }
  // Entries one extraction may hold, directories included.
  uint64_t maxEntryCount() const { return maxEntryCount_; }
  void setMaxEntryCount(uint64_t v) { maxEntryCount_ = v; }

  // Opens an archive for reading (closing one still open). True when opened.
  bool UnzipOpenFile(const std::filesystem::path& path);
  bool UnzipOpenFile(const std::filesystem::path& path, const std::string& password);
  // Opens archive bytes held in memory; the archive keeps them until it is
  // closed. True when opened.
  bool UnzipOpenData(std::string bytes);
  bool UnzipOpenData(std::string bytes, const std::string& password);
  // Extracts every entry below `destination`, in archive order. Existing
  // files are replaced when `overWrite`, else when OverWrite() agrees.
  // True when every entry was handled; entries written before a failure
  // stay on disk.
  bool UnzipFileTo(const std::filesystem::path& destination, bool overWrite);
  // Closes the reader; true when nothing was open or the close succeeded.
  // Clears the password.
  bool UnzipCloseFile();

  // Creates a new archive (closing one still being written). True when made.
  bool CreateZipFile2(const std::filesystem::path& path);
  bool CreateZipFile2(const std::filesystem::path& path, const std::string& password);
  // Adds the file at `source` as the entry `newname`, deflated, dated with
  // the file's modification time, encrypted when a password is set.
  bool addFileToZip(const std::filesystem::path& source, const std::string& newname);
  // Closes the writer; false when none was open. Clears the password.
  bool CloseZipFile2();

  // Tells the delegate, when it implements ErrorMessage.
  void OutputErrorMessage(const std::string& message);
  // The delegate's answer for replacing `path`; true when it has none.
  bool OverWrite(const std::string& path);

  // 1 January 1980, 00:00 local time: the earliest date an entry can carry.
  static Clock::time_point Date1980();

  // The failure of the last operation that failed, cleared when an open,
  // create or extraction starts.
  const std::optional<Error>& lastError() const { return lastError_; }

 private:
  // Keeps the error and tells the delegate `message` (none: the error's text).
  void fail(const Error& error, std::optional<std::string> message = std::nullopt);

  void* unzFile_ = nullptr;
  std::unique_ptr<QLZipMemorySource> memory_;  // what unzFile_ reads, when in memory
  void* zipFile_ = nullptr;
  std::string password_;
  std::weak_ptr<QLZipArchiveDelegate> delegate_;
  uint64_t maxTotalBytes_ = kDefaultMaxTotalBytes;
  uint64_t maxEntryCount_ = kDefaultMaxEntryCount;
  std::optional<Error> lastError_;
};

}  // namespace vexa
