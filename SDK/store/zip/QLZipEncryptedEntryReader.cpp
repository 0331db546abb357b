#include "vexa/store/zip/QLZipEncryptedEntryReader.h"

#include <minizip/unzip.h>
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "vexa/store/zip/QLZipError.h"

namespace vexa {

namespace {
constexpr size_t kInputSize = 64 * 1024;
}  // namespace

QLZipEncryptedEntryReader::QLZipEncryptedEntryReader(void* unzFile, const std::string& password,
                                                     Entry entry)
    : unzFile_(unzFile),
      crypto_(password),
      entry_(std::move(entry)),
      stream_(std::make_unique<z_stream>()),
      input_(kInputSize) {}

QLZipEncryptedEntryReader::~QLZipEncryptedEntryReader() {
  if (stream_->state) inflateEnd(stream_.get());
  if (open_) unzCloseCurrentFile(unzFile_);
}

Error QLZipEncryptedEntryReader::corrupt(const std::string& what) const {
  return QLZipError::make(QLZipError::kCorrupt, what + ": " + entry_.name);
}

Result<bool> QLZipEncryptedEntryReader::refill() {
  inputPos_ = inputLen_ = 0;
  if (rawDone_) return false;
  int n = unzReadCurrentFile(unzFile_, input_.data(), static_cast<unsigned>(input_.size()));
  if (n < 0) return corrupt("Cannot read entry");
  if (n == 0) {
    rawDone_ = true;
    return false;
  }
  inputLen_ = static_cast<size_t>(n);
  crypto_.decrypt(input_.data(), inputLen_);
  return true;
}

Status QLZipEncryptedEntryReader::readHeader() {
  headerRead_ = true;
  uint8_t header[QLZipCrypto::kHeaderSize];
  size_t have = 0;
  while (have < sizeof header) {
    if (inputPos_ == inputLen_) {
      auto more = refill();
      if (!more) return more.error();
      if (!*more) return corrupt("Encrypted entry is too short");
    }
    size_t n = std::min(sizeof header - have, inputLen_ - inputPos_);
    std::memcpy(header + have, input_.data() + inputPos_, n);
    have += n;
    inputPos_ += n;
  }
  if (header[sizeof header - 1] != entry_.check) {
    return QLZipError::make(QLZipError::kBadPassword, "Wrong password for entry: " + entry_.name);
  }
  if (entry_.method == Z_DEFLATED && inflateInit2(stream_.get(), -MAX_WBITS) != Z_OK) {
    return corrupt("Cannot start inflating entry");
  }
  return Status::Ok();
}

Result<size_t> QLZipEncryptedEntryReader::read(char* out, size_t capacity) {
  if (!headerRead_) {
    if (auto header = readHeader(); !header) return header.error();
  }
  auto n = entry_.method == Z_DEFLATED ? readDeflated(out, capacity) : readStored(out, capacity);
  if (n && *n > 0) {
    crc_ = static_cast<uint32_t>(
        crc32(crc_, reinterpret_cast<const Bytef*>(out), static_cast<uInt>(*n)));
  }
  return n;
}

Result<size_t> QLZipEncryptedEntryReader::readStored(char* out, size_t capacity) {
  if (inputPos_ == inputLen_) {
    auto more = refill();
    if (!more) return more.error();
    if (!*more) return size_t(0);
  }
  size_t n = std::min(capacity, inputLen_ - inputPos_);
  std::memcpy(out, input_.data() + inputPos_, n);
  inputPos_ += n;
  return n;
}

Result<size_t> QLZipEncryptedEntryReader::readDeflated(char* out, size_t capacity) {
  if (streamEnded_) return size_t(0);
  z_stream& s = *stream_;
  const uInt room = static_cast<uInt>(std::min<size_t>(capacity, UINT_MAX));
  s.next_out = reinterpret_cast<Bytef*>(out);
  s.avail_out = room;
  while (s.avail_out == room) {
    if (inputPos_ == inputLen_) {
      auto more = refill();
      if (!more) return more.error();
    }
    s.next_in = input_.data() + inputPos_;
    s.avail_in = static_cast<uInt>(inputLen_ - inputPos_);
    int rc = inflate(&s, Z_NO_FLUSH);
    inputPos_ = inputLen_ - s.avail_in;
    if (rc == Z_STREAM_END) {
      streamEnded_ = true;
      break;
    }
    if (rc == Z_BUF_ERROR && rawDone_) return corrupt("Entry data ends early");
    if (rc != Z_OK && rc != Z_BUF_ERROR) return corrupt("Cannot inflate entry");
  }
  return static_cast<size_t>(room - s.avail_out);
}

Status QLZipEncryptedEntryReader::finish() {
  open_ = false;
  unzCloseCurrentFile(unzFile_);
  if (!headerRead_) return corrupt("Entry was not read");
  if (crc_ != entry_.crc) return corrupt("CRC error in entry");
  return Status::Ok();
}

}  // namespace vexa
