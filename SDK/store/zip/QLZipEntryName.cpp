#include "vexa/store/zip/QLZipEntryName.h"

#include <algorithm>

#include "vexa/platform/Utf8.h"
#include "vexa/store/zip/QLZipError.h"

namespace vexa {

namespace {

Error unsafe(const char* why, std::string_view raw) {
  std::string message = std::string("Refused entry ") + why;
  if (!raw.empty()) message += ": " + std::string(raw);
  return QLZipError::make(QLZipError::kUnsafeName, std::move(message));
}

bool hasDrive(std::string_view name) {
  return name.size() >= 2 && name[1] == ':' &&
         ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
}

}  // namespace

Result<QLZipEntryName> QLZipEntryName::resolve(std::string_view raw) {
  if (raw.find('\0') != std::string_view::npos) return unsafe("with a NUL in its name", "");
  if (raw.size() > kMaxNameBytes) return unsafe("whose name is too long", "");
  if (!Utf8::isValid(raw)) return unsafe("whose name is not UTF-8", "");

  QLZipEntryName out;
  out.isDirectory_ = !raw.empty() && (raw.back() == '/' || raw.back() == '\\');
  out.name_ = std::string(raw);
  std::replace(out.name_.begin(), out.name_.end(), '\\', '/');

  const std::string& name = out.name_;
  if (!name.empty() && name.front() == '/') return unsafe("with an absolute name", raw);
  if (hasDrive(name)) return unsafe("with a drive in its name", raw);

  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    std::string_view part(name.data() + start, end - start);
    if (part == "..") {
      if (out.components_.empty()) return unsafe("that would leave the destination", raw);
      out.components_.pop_back();
    } else if (!part.empty() && part != ".") {
      if (part.size() > kMaxComponentBytes) return unsafe("with a name part too long", "");
      if (out.components_.size() == kMaxDepth) return unsafe("nested too deep", "");
      out.components_.emplace_back(part);
    }
    start = end + 1;
  }
  if (out.components_.empty() && !out.isDirectory_) return unsafe("without a file name", raw);
  return out;
}

std::string QLZipEntryName::relativePath() const {
  std::string out;
  for (const auto& c : components_) {
    if (!out.empty()) out += '/';
    out += c;
  }
  return out;
}

}  // namespace vexa
