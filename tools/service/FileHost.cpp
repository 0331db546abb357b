#include "service/FileHost.h"

#include <algorithm>
#include <cctype>

#include "vexa/platform/FileSystem.h"
#include "service/CatalogLoader.h"

namespace vexa::service {

namespace {

constexpr const char* kTermsPage = R"(<!DOCTYPE html>
<html lang="zh-CN">
<head><meta charset="utf-8"><meta name="viewport" content="width=device-width, initial-scale=1">
<title>服务声明</title></head>
<body>
<h1>服务声明</h1>
<p>本服务为表情开放平台的参考实现，仅用于开发与测试。表情包及其图片由目录提供者负责，版权归原作者所有。</p>
<p>使用本服务即表示您同意：不得将表情用于违法用途；平台会记录表情的查看、下载、发送等使用情况，仅用于统计。</p>
<p>This reference service is for development and testing. Packages and their pictures belong to their authors;
usage (views, downloads, sends) is recorded for statistics only.</p>
</body>
</html>
)";

}  // namespace

bool FileHost::handles(std::string_view path) {
  return path.starts_with(kPrefix) || path == kTermsPath;
}

std::string FileHost::contentTypeFor(std::string_view name) {
  std::string ext(name.substr(std::min(name.rfind('.'), name.size())));
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  if (ext == ".png") return "image/png";
  if (ext == ".gif") return "image/gif";
  if (ext == ".jpg" || ext == ".jpeg") return "image/jpeg";
  if (ext == ".webp") return "image/webp";
  if (ext == ".zip") return "application/zip";
  return "application/octet-stream";
}

FileHost::Reply FileHost::serve(const Catalog& catalog, std::string_view path) {
  if (path == kTermsPath) return {200, "text/html; charset=utf-8", kTermsPage};
  Reply missing{404, "text/plain; charset=utf-8", "not found\n"};
  if (!path.starts_with(kPrefix)) return missing;
  std::string_view name = path.substr(std::string_view(kPrefix).size());
  if (name.ends_with(".zip")) {
    const std::string* archive = catalog.archive(name.substr(0, name.size() - 4));
    return archive ? Reply{200, "application/zip", *archive} : missing;
  }
  auto file = catalog.fileForReference(name);
  if (!file) return missing;
  auto bytes = FileSystem::readFile(*file, CatalogLoader::kMaxImageBytes);
  if (!bytes) return {500, "text/plain; charset=utf-8", bytes.error().description() + "\n"};
  return {200, contentTypeFor(name), std::move(*bytes)};
}

}  // namespace vexa::service
