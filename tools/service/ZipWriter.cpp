#include "service/ZipWriter.h"

#include <minizip/zip.h>

#include <algorithm>
#include <cstring>

namespace vexa::service {

namespace {
const char* const kZipErrorDomain = "VXServiceZipErrorDomain";
}

// The archive's bytes and minizip's write position in them.
struct ZipMemoryFile {
  std::string bytes;
  size_t position = 0;
};

namespace {

voidpf openFile(voidpf opaque, const char*, int) { return opaque; }

uLong readFile(voidpf, voidpf, void*, uLong) { return 0; }  // the writer never reads back

uLong writeFile(voidpf, voidpf stream, const void* data, uLong size) {
  auto* file = static_cast<ZipMemoryFile*>(stream);
  size_t end = file->position + size;
  if (end > file->bytes.size()) file->bytes.resize(end);
  std::memcpy(file->bytes.data() + file->position, data, size);
  file->position = end;
  return size;
}

long tellFile(voidpf, voidpf stream) {
  return static_cast<long>(static_cast<ZipMemoryFile*>(stream)->position);
}

long seekFile(voidpf, voidpf stream, uLong offset, int origin) {
  auto* file = static_cast<ZipMemoryFile*>(stream);
  size_t base = origin == ZLIB_FILEFUNC_SEEK_CUR   ? file->position
                : origin == ZLIB_FILEFUNC_SEEK_END ? file->bytes.size()
                                                   : 0;
  size_t target = base + offset;
  if (target > file->bytes.size()) return -1;
  file->position = target;
  return 0;
}

int closeFile(voidpf, voidpf) { return 0; }
int fileError(voidpf, voidpf) { return 0; }

}  // namespace

ZipWriter::ZipWriter() : buffer_(std::make_unique<ZipMemoryFile>()) {
  zlib_filefunc_def io{};
  io.zopen_file = openFile;
  io.zread_file = readFile;
  io.zwrite_file = writeFile;
  io.ztell_file = tellFile;
  io.zseek_file = seekFile;
  io.zclose_file = closeFile;
  io.zerror_file = fileError;
  io.opaque = buffer_.get();
  zip_ = zipOpen2("memory", APPEND_STATUS_CREATE, nullptr, &io);
}

ZipWriter::~ZipWriter() {
  if (zip_) zipClose(static_cast<zipFile>(zip_), nullptr);
}

Status ZipWriter::add(const std::string& name, std::string_view bytes) {
  if (!zip_) return Error(kZipErrorDomain, 1, "the zip writer is closed");
  zip_fileinfo info{};
  info.tmz_date.tm_mday = 1;  // 1980-01-01, the first date a zip can hold
  info.tmz_date.tm_year = 1980;
  auto* zip = static_cast<zipFile>(zip_);
  if (zipOpenNewFileInZip3(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                           Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, DEF_MEM_LEVEL,
                           Z_DEFAULT_STRATEGY, nullptr, 0) != ZIP_OK) {
    return Error(kZipErrorDomain, 2, "cannot add zip entry " + name);
  }
  const char* data = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    unsigned chunk = static_cast<unsigned>(std::min<size_t>(left, 1u << 30));
    if (zipWriteInFileInZip(zip, data, chunk) != ZIP_OK) {
      zipCloseFileInZip(zip);
      return Error(kZipErrorDomain, 3, "cannot write zip entry " + name);
    }
    data += chunk;
    left -= chunk;
  }
  if (zipCloseFileInZip(zip) != ZIP_OK) return Error(kZipErrorDomain, 3, "cannot close zip entry " + name);
  return Status::Ok();
}

Result<std::string> ZipWriter::finish() {
  if (!zip_) return Error(kZipErrorDomain, 1, "the zip writer is closed");
  int rc = zipClose(static_cast<zipFile>(zip_), nullptr);
  zip_ = nullptr;
  if (rc != ZIP_OK) return Error(kZipErrorDomain, 4, "cannot finish the zip archive");
  return std::move(buffer_->bytes);
}

}  // namespace vexa::service
