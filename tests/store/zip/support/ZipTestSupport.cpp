#include "support/ZipTestSupport.h"

#include <fstream>
#include <sstream>

namespace vexa::test {

void writeText(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

std::string readText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream out;
  out << in.rdbuf();
  return out.str();
}

std::set<std::string> listTree(const std::filesystem::path& root) {
  std::set<std::string> out;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::string rel = std::filesystem::relative(it->path(), root).string();
    if (it->is_symlink()) {
      rel += "@";
    } else if (it->is_directory()) {
      rel += "/";
    }
    out.insert(rel);
  }
  return out;
}

RecordingDelegate::RecordingDelegate() : delegate(std::make_shared<QLZipArchiveDelegate>()) {
  delegate->ErrorMessage = [this](const std::string& m) { messages.push_back(m); };
  delegate->OverWriteOperation = [this](const std::string& path) {
    asked.push_back(path);
    return answer;
  };
}

}  // namespace vexa::test
