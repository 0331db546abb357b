#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vexa::test {

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::filesystem::path& input) {
  int out[2], err[2];
  if (pipe(out) != 0) return;
  if (pipe(err) != 0) {
    close(out[0]);
    close(out[1]);
    return;
  }
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_ = fork();
  if (pid_ == 0) {
    if (!input.empty()) {
      int in = open(input.c_str(), O_RDONLY);
      if (in < 0) _exit(127);
      dup2(in, STDIN_FILENO);
    }
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    close(out[0]);
    close(err[0]);
    execv(args[0], args.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  outFd_ = out[0];
  errFd_ = err[0];
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0 && !status_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (outFd_ >= 0) close(outFd_);
  if (errFd_ >= 0) close(errFd_);
}

bool ChildProcess::fill(int fd, std::string& into, std::chrono::milliseconds timeout) {
  pollfd p{fd, POLLIN, 0};
  if (poll(&p, 1, static_cast<int>(timeout.count())) <= 0) return false;
  char buffer[4096];
  ssize_t n = read(fd, buffer, sizeof buffer);
  if (n <= 0) return false;
  into.append(buffer, static_cast<size_t>(n));
  return true;
}

std::optional<std::string> ChildProcess::readLine(std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (out_.find('\n') == std::string::npos) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || !fill(outFd_, out_, left)) return std::nullopt;
  }
  size_t end = out_.find('\n');
  std::string line = out_.substr(0, end);
  out_.erase(0, end + 1);
  return line;
}

void ChildProcess::signal(int number) {
  if (pid_ > 0 && !status_) kill(pid_, number);
}

int ChildProcess::wait() {
  if (status_) return *status_;
  while (fill(outFd_, out_, std::chrono::seconds(120))) {
  }
  while (fill(errFd_, err_, std::chrono::seconds(5))) {
  }
  int raw = 0;
  if (pid_ <= 0 || waitpid(pid_, &raw, 0) != pid_) return -1;
  status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  return *status_;
}

int ChildProcess::wait(std::chrono::milliseconds limit) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    // Rounded up, so a poll that times out has reached the deadline.
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      signal(SIGKILL);
      break;
    }
    if (!fill(outFd_, out_, left) && std::chrono::steady_clock::now() < deadline) break;  // end of output
  }
  return wait();
}

}  // namespace vexa::test
