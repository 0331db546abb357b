#include "vexa/store/zip/QLZipExtraction.h"

#include <minizip/unzip.h>
#include <sys/stat.h>
#include <syslog.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

#include "vexa/store/zip/QLZipArchive.h"
#include "vexa/store/zip/QLZipDestination.h"
#include "vexa/store/zip/QLZipEntryName.h"
#include "vexa/store/zip/QLZipEntryReader.h"
#include "vexa/store/zip/QLZipError.h"

namespace vexa {

namespace {

constexpr size_t kCopyBufferSize = 64 * 1024;
constexpr unsigned kMadeByUnix = 3;

bool isSymbolicLink(const unz_file_info64& info) {
  return (info.version >> 8) == kMadeByUnix && S_ISLNK(static_cast<mode_t>(info.external_fa >> 16));
}

bool writeAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// The entry's date is local time, as zip tools write it.
bool setModificationDate(int fd, const tm_unz& date) {
  struct tm t {};
  t.tm_sec = static_cast<int>(date.tm_sec);
  t.tm_min = static_cast<int>(date.tm_min);
  t.tm_hour = static_cast<int>(date.tm_hour);
  t.tm_mday = static_cast<int>(date.tm_mday);
  t.tm_mon = static_cast<int>(date.tm_mon);
  t.tm_year = static_cast<int>(date.tm_year) - 1900;
  t.tm_isdst = -1;
  time_t when = std::mktime(&t);
  if (when == static_cast<time_t>(-1)) return false;
  struct timespec times[2] = {{0, UTIME_OMIT}, {when, 0}};
  return ::futimens(fd, times) == 0;
}

Error tooManyEntries(uint64_t limit) {
  return QLZipError::make(QLZipError::kTooManyEntries,
                          "Archive holds more than " + std::to_string(limit) + " entries");
}

}  // namespace

Status QLZipExtraction::failure(Error error, const char* message) {
  archive_.OutputErrorMessage(message ? std::string(message) : error.description());
  return error;
}

Status QLZipExtraction::run(const std::filesystem::path& destinationPath) {
  unzFile uf = unzFile_;
  auto destination = QLZipDestination::open(destinationPath);
  if (!destination) return failure(destination.error());

  unz_global_info64 global{};
  if (unzGetGlobalInfo64(uf, &global) == UNZ_OK && global.number_entry > options_.maxEntryCount) {
    return failure(tooManyEntries(options_.maxEntryCount));
  }
  if (unzGoToFirstFile(uf) != UNZ_OK) archive_.OutputErrorMessage("Failed");

  for (uint64_t count = 1;; ++count) {
    if (count > options_.maxEntryCount) return failure(tooManyEntries(options_.maxEntryCount));
    if (auto entry = extractCurrent(*destination); !entry) return entry;
    int next = unzGoToNextFile(uf);
    if (next == UNZ_END_OF_LIST_OF_FILE) return Status::Ok();
    if (next != UNZ_OK) {
      return failure(QLZipError::make(QLZipError::kCorrupt, "Archive's entry list is damaged"));
    }
  }
}

Status QLZipExtraction::extractCurrent(QLZipDestination& destination) {
  unzFile uf = unzFile_;
  unz_file_info64 info{};
  if (unzGetCurrentFileInfo64(uf, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
    // No current entry (an archive whose first entry cannot be reached)
    // cannot be opened either; say so as opening it would.
    if (unzOpenCurrentFile(uf) != UNZ_OK) {
      return failure(QLZipError::make(QLZipError::kEntryOpenFailed, "Cannot open an entry"),
                     "Error occurs");
    }
    unzCloseCurrentFile(uf);
    return failure(QLZipError::make(QLZipError::kEntryInfoFailed, "Cannot read an entry's header"),
                   "Error occurs while getting file info");
  }
  std::vector<char> rawName(info.size_filename + 1, '\0');
  if (unzGetCurrentFileInfo64(uf, &info, rawName.data(), rawName.size(), nullptr, 0, nullptr, 0) !=
      UNZ_OK) {
    return failure(QLZipError::make(QLZipError::kEntryInfoFailed, "Cannot read an entry's header"),
                   "Error occurs while getting file info");
  }
  auto name = QLZipEntryName::resolve(std::string_view(rawName.data(), info.size_filename));
  if (!name) return failure(name.error());
  if (isSymbolicLink(info)) {
    return failure(QLZipError::make(QLZipError::kSymbolicLink,
                                    "Refused symbolic link entry: " + name->name()));
  }
  if (name->isDirectory()) {
    if (auto made = destination.makeDirectories(name->components()); !made) {
      return failure(made.error());
    }
    return Status::Ok();
  }
  return writeFile(destination, *name, info);
}

Status QLZipExtraction::writeFile(QLZipDestination& destination, const QLZipEntryName& name,
                                  const unz_file_info64& info) {
  const auto& path = name.components();
  const uint64_t budget = options_.maxTotalBytes - inflated_;
  const Error tooLarge = QLZipError::make(
      QLZipError::kTooLarge,
      "Archive inflates beyond the limit of " + std::to_string(options_.maxTotalBytes) + " bytes");
  // The declared size only refuses early; the count below is what binds.
  if (info.uncompressed_size > budget) return failure(tooLarge);

  auto reader = QLZipEntryReader::open(unzFile_, info, options_.password, name.name());
  if (!reader) return failure(reader.error(), "Error occurs");

  auto existing = destination.prepareFile(path);
  if (!existing) return failure(existing.error());
  if (*existing == QLZipDestination::Existing::Directory) return Status::Ok();
  if (*existing != QLZipDestination::Existing::None && !options_.overWrite &&
      !archive_.OverWrite((destination.path() / name.relativePath()).string())) {
    return Status::Ok();
  }
  auto file = destination.replaceFile(path);
  if (!file) return failure(file.error());

  auto abandon = [&](Error error) {
    file->reset();
    destination.removeFile(path);
    return failure(error, error.code() == QLZipError::kCorrupt ? "Failed to reading zip file"
                                                               : nullptr);
  };
  std::vector<char> buffer(kCopyBufferSize);
  uint64_t written = 0;
  for (;;) {
    auto n = (*reader)->read(buffer.data(), buffer.size());
    if (!n) return abandon(n.error());
    if (*n == 0) break;
    if (*n > budget - written) return abandon(tooLarge);
    if (written + *n > info.uncompressed_size) {
      return abandon(QLZipError::make(QLZipError::kCorrupt,
                                      "Entry is longer than its header says: " + name.name()));
    }
    if (!writeAll(file->get(), buffer.data(), *n)) {
      return abandon(QLZipError::make(QLZipError::kWriteFailed, "Cannot write " +
                                                                    name.relativePath() + ": " +
                                                                    std::strerror(errno)));
    }
    written += *n;
  }
  inflated_ += written;
  if (written != info.uncompressed_size) {
    return abandon(QLZipError::make(QLZipError::kCorrupt,
                                    "Entry is shorter than its header says: " + name.name()));
  }
  if (auto verdict = (*reader)->finish(); !verdict) return abandon(verdict.error());
  if (!setModificationDate(file->get(), info.tmu_date)) {
    syslog(LOG_WARNING, "Failed to set attributes");
  }
  if (!file->close()) {
    return abandon(QLZipError::make(QLZipError::kWriteFailed, "Cannot write " +
                                                                  name.relativePath() + ": " +
                                                                  std::strerror(errno)));
  }
  return Status::Ok();
}

}  // namespace vexa
