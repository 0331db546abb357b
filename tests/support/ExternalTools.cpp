#include "support/ExternalTools.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

extern char** environ;

namespace vexa::test {

bool hasTool(const std::string& name) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::stringstream dirs(path);
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    if (!dir.empty() && ::access((std::filesystem::path(dir) / name).c_str(), X_OK) == 0) {
      return true;
    }
  }
  return false;
}

int runCommand(const std::vector<std::string>& argv, const std::filesystem::path& cwd,
               std::string* output) {
  // Everything the child needs is made before fork: other threads may hold
  // the allocator's lock at that moment.
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const std::string dir = cwd.string();
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return -1;
  pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    ::dup2(pipeFds[1], STDOUT_FILENO);
    if (!dir.empty() && ::chdir(dir.c_str()) != 0) ::_exit(127);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  ::close(pipeFds[1]);
  char buffer[4096];
  ssize_t n;
  while ((n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) {
    if (output) output->append(buffer, static_cast<size_t>(n));
  }
  ::close(pipeFds[0]);
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int runPython(const std::string& program, const std::vector<std::string>& args,
              std::string* output) {
  std::vector<std::string> argv{"python3", "-c", program};
  argv.insert(argv.end(), args.begin(), args.end());
  return runCommand(argv, {}, output);
}

int pythonZip(const std::filesystem::path& zip, const std::string& entriesJson) {
  static const char* const kProgram = R"(
import json, stat, sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as z:
    for e in json.loads(sys.argv[2]):
        info = zipfile.ZipInfo(e["name"], tuple(e.get("date", [2020, 1, 2, 3, 4, 6])))
        info.compress_type = (zipfile.ZIP_BZIP2 if e.get("bzip2") else
                              zipfile.ZIP_STORED if e.get("stored") else zipfile.ZIP_DEFLATED)
        info.create_system = 3
        if "symlink" in e:
            info.external_attr = (stat.S_IFLNK | 0o777) << 16
            data = e["symlink"].encode()
        elif e.get("dir"):
            info.external_attr = (stat.S_IFDIR | 0o755) << 16 | 0x10
            data = b""
        else:
            info.external_attr = (stat.S_IFREG | 0o644) << 16
            data = bytes(e["zeros"]) if "zeros" in e else e.get("data", "").encode()
        z.writestr(info, data)
)";
  return runPython(kProgram, {zip.string(), entriesJson});
}

int patchZip(const std::filesystem::path& zip, const std::string& field, const std::string& value) {
  static const char* const kProgram = R"(
import struct, sys
path, field, value = sys.argv[1], sys.argv[2], int(sys.argv[3])
b = bytearray(open(path, "rb").read())
cd = b.find(b"PK\x01\x02")
if field == "crc":
    struct.pack_into("<I", b, 14, value); struct.pack_into("<I", b, cd + 16, value)
elif field == "size":
    struct.pack_into("<I", b, 22, value); struct.pack_into("<I", b, cd + 24, value)
else:
    start = 30 + struct.unpack_from("<H", b, 26)[0] + struct.unpack_from("<H", b, 28)[0]
    for i in range(start + 2, start + 12): b[i] ^= value
open(path, "wb").write(b)
)";
  return runPython(kProgram, {zip.string(), field, value});
}

}  // namespace vexa::test
