#include "vexa/platform/PropertyList.h"

#include "vexa/platform/FileSystem.h"
#include "vexa/platform/LibplistCodec.h"
#include "vexa/platform/PropertyListXmlReader.h"
#include "vexa/platform/PropertyListXmlWriter.h"

namespace vexa {

const char* const PropertyList::kErrorDomain = "VXPropertyListErrorDomain";

Result<Value> PropertyList::parse(std::string_view bytes) {
  if (bytes.size() > kMaxBytes) {
    return Error(kErrorDomain, kTooLarge, "property list is larger than the limit");
  }
  if (bytes.empty()) return Error(kErrorDomain, kMalformed, "property list is empty");
  if (!bytes.starts_with("bplist")) {
    if (auto direct = PropertyListXmlReader::read(bytes)) return std::move(*direct);
  }
  return LibplistCodec::parse(bytes);
}

Result<std::string> PropertyList::toXml(const Value& value) {
  return PropertyListXmlWriter::write(value);
}

Status PropertyList::toXml(const Value& value, std::string& out) {
  return PropertyListXmlWriter::write(value, out);
}

Result<Value> PropertyList::readFile(const std::filesystem::path& path) {
  auto bytes = FileSystem::readFile(path, kMaxBytes);
  if (!bytes) return bytes.error();
  return parse(*bytes);
}

Status PropertyList::writeFile(const std::filesystem::path& path, const Value& value,
                               unsigned mode) {
  auto xml = toXml(value);
  if (!xml) return xml.error();
  return FileSystem::writeAtomically(path, *xml, mode);
}

}  // namespace vexa
