// A child process for tests of the command-line tool: started with its
// standard output and error on pipes (and its standard input from a file,
// when one is given), killed (by its own pid) and reaped
// when the object goes away.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vexa::test {

class ChildProcess {
 public:
  explicit ChildProcess(const std::vector<std::string>& argv, const std::filesystem::path& input = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return pid_ > 0; }
  // The next line of standard output; none at end of output or timeout.
  std::optional<std::string> readLine(std::chrono::milliseconds timeout = std::chrono::seconds(60));
  void signal(int number);
  // Waits for the exit and returns its status (128 + signal when killed);
  // the rest of both outputs is collected.
  int wait();
  // The same, waiting at most `limit` for the end of standard output; past
  // it the child is killed.
  int wait(std::chrono::milliseconds limit);
  const std::string& output() const { return out_; }  // what readLine() has not returned
  const std::string& errors() const { return err_; }

 private:
  bool fill(int fd, std::string& into, std::chrono::milliseconds timeout);

  pid_t pid_ = -1;
  int outFd_ = -1;
  int errFd_ = -1;
  std::string out_;
  std::string err_;
  std::optional<int> status_;
};

}  // namespace vexa::test
