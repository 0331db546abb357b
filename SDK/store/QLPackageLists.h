// The store's two package lists (default packages in stored order,
// downloaded ones newest first) in memory and on disk, kept right when
// several processes share one store folder.
//
// Every change takes the store lock (QLStoreLock), re-reads the list file
// it changes, writes the records it names and then the list, and only when
// the files were written changes the memory lists, which then show what
// other processes did too. A default package's record is written when it
// is stored, its list file only by save(), so that a partial set of
// defaults is never listed. A list file that does not parse is kept aside
// under a name that says so and rebuilt from the records on disk; the
// repair is reported once through takeRepairs(), as is a list that cannot
// be read (which shows as empty and is never written over unread).
//
// Main thread only (the store hops there).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vexa/platform/Result.h"
#include "vexa/store/QLPackage.h"
#include "vexa/store/QLPackageFiles.h"
#include "vexa/store/QLStoreLock.h"

namespace vexa {

class QLPackageLists {
 public:
  using PackagePtr = std::shared_ptr<QLPackage>;
  using Packages = std::vector<PackagePtr>;

  explicit QLPackageLists(const QLPackageFiles& files) : files_(files), lock_(files.lockPath()) {}

  // Loaded from disk on first use.
  const Packages& defaults();
  const Packages& downloaded();
  // Both lists load again at their next use.
  void forget();
  // Empties the default list in memory (its file stays).
  void clearDefaults();
  // Moves on every change of the memory lists, made here or seen on disk.
  uint64_t generation() const { return generation_; }
  // Whether the last change saw other processes' changes on disk.
  bool sawForeignChange() const { return sawForeignChange_; }

  // Puts a downloaded package first: kAlreadyStored when the list on disk
  // names it, else its record and the list are written.
  Status insertDownloaded(const PackagePtr& package);
  // Appends a default package and writes its record.
  Status appendDefault(const PackagePtr& package);
  // Takes a downloaded package out of the list on disk and in memory and
  // deletes its record; `record` receives the stored record.
  // kNotDownloaded when the list on disk does not name it.
  Status removeDownloaded(const QLPackage& package, PackagePtr& record);
  // Writes the package's record under the lock.
  Status writeRecord(const QLPackage& package);
  // Writes the records as one batch under the lock.
  Status writeRecords(const Packages& packages);
  // Writes both lists: the downloaded one as it is on disk (repaired when
  // it does not parse), the default one as on disk followed by the defaults
  // stored here that it does not name.
  Status save();
  // Writes `packages` as the list at `path` under the lock.
  Status saveList(const Packages& packages, const std::filesystem::path& path);

  // Since the last call: the repairs of corrupt lists (kCorruptList) and
  // the errors of lists that could not be read.
  std::vector<Error> takeRepairs();

 private:
  Result<QLStoreLock::Guard> lock();
  Packages load(const std::filesystem::path& path, bool defaults);
  // The guids of a list file, repairing it when it does not parse; call
  // with the lock held.
  Result<std::vector<std::string>> readLocked(const std::filesystem::path& path, bool defaults);
  // The downloaded list as its file holds it now, noting whether another
  // process changed it since `known` was read; call with the lock held.
  Result<std::vector<std::string>> rereadDownloaded(const Packages& known);
  // The records of `guids`: those in memory (or `extra`) as they are, the
  // others read from disk.
  Packages packagesFor(const std::vector<std::string>& guids, const Packages& known,
                       const PackagePtr& extra) const;
  void setDownloaded(Packages packages);

  const QLPackageFiles& files_;
  QLStoreLock lock_;
  std::optional<Packages> defaults_;
  std::optional<Packages> downloaded_;
  std::vector<Error> repairs_;
  uint64_t generation_ = 0;
  bool sawForeignChange_ = false;
};

}  // namespace vexa
