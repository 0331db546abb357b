#include "vexa/http/QLDownloadFile.h"

#include "vexa/http/QLHTTPError.h"

namespace vexa {
namespace {

// The file layer's message, under the code the transfer reports.
Status asURLError(Status status, int64_t code) {
  if (status) return status;
  return qlURLError(code, status.error().description());
}

}  // namespace

QLDownloadFile::QLDownloadFile(std::filesystem::path destination)
    : file_(std::move(destination), 0644) {}

Status QLDownloadFile::open() { return asURLError(file_.open(), kQLURLErrorCannotCreateFile); }

Status QLDownloadFile::write(std::string_view bytes) {
  return asURLError(file_.write(bytes), kQLURLErrorCannotWriteToFile);
}

Status QLDownloadFile::commit() {
  return asURLError(file_.commit(), kQLURLErrorCannotWriteToFile);
}

}  // namespace vexa
