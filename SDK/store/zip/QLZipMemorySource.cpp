#include "vexa/store/zip/QLZipMemorySource.h"

#include <minizip/ioapi.h>

#include <algorithm>
#include <cstring>

namespace vexa {

namespace {

struct Cursor {
  const std::string* bytes;
  uint64_t position = 0;
};

voidpf ZCALLBACK openStream(voidpf opaque, const void*, int mode) {
  if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
  return new Cursor{&static_cast<const QLZipMemorySource*>(opaque)->bytes()};
}

uLong ZCALLBACK readStream(voidpf, voidpf stream, void* buffer, uLong size) {
  auto* c = static_cast<Cursor*>(stream);
  const uint64_t available = c->bytes->size() - std::min<uint64_t>(c->position, c->bytes->size());
  const uLong n = static_cast<uLong>(std::min<uint64_t>(size, available));
  if (n) std::memcpy(buffer, c->bytes->data() + c->position, n);
  c->position += n;
  return n;
}

uLong ZCALLBACK writeStream(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK tellStream(voidpf, voidpf stream) { return static_cast<Cursor*>(stream)->position; }

long ZCALLBACK seekStream(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  auto* c = static_cast<Cursor*>(stream);
  uint64_t base = 0;
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
    case ZLIB_FILEFUNC_SEEK_CUR: base = c->position; break;
    case ZLIB_FILEFUNC_SEEK_END: base = c->bytes->size(); break;
    default: return -1;
  }
  // Past the end is an error, as for a file opened read-only.
  if (offset > c->bytes->size() || base > c->bytes->size() - offset) return -1;
  c->position = base + offset;
  return 0;
}

int ZCALLBACK closeStream(voidpf, voidpf stream) {
  delete static_cast<Cursor*>(stream);
  return 0;
}

int ZCALLBACK errorStream(voidpf, voidpf) { return 0; }

}  // namespace

void QLZipMemorySource::fill(zlib_filefunc64_def& functions) const {
  functions.zopen64_file = openStream;
  functions.zread_file = readStream;
  functions.zwrite_file = writeStream;
  functions.ztell64_file = tellStream;
  functions.zseek64_file = seekStream;
  functions.zclose_file = closeStream;
  functions.zerror_file = errorStream;
  functions.opaque = const_cast<QLZipMemorySource*>(this);
}

}  // namespace vexa
