// Outside programs the store tests use to make and check interop fixtures
// (python3 with zipfile and plistlib, Info-ZIP zip). Tests that need one
// skip with a message when it is missing.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vexa::test {

// Whether `name` is an executable on PATH.
bool hasTool(const std::string& name);

// Runs the command (no shell) in `cwd` and returns its exit status
// (-1 when it could not run). Standard output is appended to `output`
// when given.
int runCommand(const std::vector<std::string>& argv, const std::filesystem::path& cwd = {},
               std::string* output = nullptr);

// Runs python3 with the program text and the arguments.
int runPython(const std::string& program, const std::vector<std::string>& args = {},
              std::string* output = nullptr);

// Makes a zip with Python's zipfile from a JSON list of entries:
//   {"name": ..., "data": text, "zeros": n, "dir": true, "symlink": target,
//    "date": [y, m, d, H, M, S], "stored": true}
int pythonZip(const std::filesystem::path& zip, const std::string& entriesJson);

// Damages the first entry of a zip made by pythonZip: field "crc" or "size"
// (uncompressed) set to `value` in both headers, or "data" with ten bytes
// of its data XORed with `value`.
int patchZip(const std::filesystem::path& zip, const std::string& field, const std::string& value);

}  // namespace vexa::test

#define VX_REQUIRE_TOOL(name)                                                   \
  do {                                                                          \
    if (!::vexa::test::hasTool(name)) GTEST_SKIP() << name " is not installed"; \
  } while (0)
