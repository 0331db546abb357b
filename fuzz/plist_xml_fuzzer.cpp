// Arbitrary bytes through the direct XML property-list reader, checked
// against libplist: whatever it reads, libplist reads as the same value
// (and what it refuses as too deep, libplist's path refuses too). A value
// read is written by the direct writer as libplist writes it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "vexa/platform/LibplistCodec.h"
#include "vexa/platform/PropertyListXmlReader.h"
#include "vexa/platform/PropertyListXmlWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  auto direct = vexa::PropertyListXmlReader::read(bytes);
  if (!direct) return 0;
  auto reference = vexa::LibplistCodec::parse(bytes);
  if (!direct->ok()) {
    if (reference) std::abort();
    return 0;
  }
  if (!reference || !(*reference == **direct)) std::abort();
  auto ours = vexa::PropertyListXmlWriter::write(**direct);
  auto theirs = vexa::LibplistCodec::toXml(**direct);
  if (ours.ok() != theirs.ok() || (ours && *ours != *theirs)) std::abort();
  return 0;
}
