// The game as a child process: started with its arguments, watched, and ended
// by its own process id if a test leaves it running.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

struct ExitStatus {
  bool exited = false;  // ended through exit (else killed by `signal`)
  int code = 0;
  int signal = 0;
};
std::string ToString(const ExitStatus& s);

class GameProcess {
 public:
  // Starts `program` with `args`; its output goes to `logPath` when given.
  GameProcess(const std::string& program, const std::vector<std::string>& args, const std::string& logPath = "");
  ~GameProcess();
  GameProcess(const GameProcess&) = delete;
  GameProcess& operator=(const GameProcess&) = delete;

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  bool running();
  // The processor time the process has used so far, user and system, in seconds.
  double cpuSeconds() const;
  // The exit status once the process has ended, waiting at most `timeout`.
  std::optional<ExitStatus> waitExit(std::chrono::milliseconds timeout);
  // SIGTERM, then SIGKILL if it is still there after `grace`.
  void stop(std::chrono::milliseconds grace = std::chrono::milliseconds(3000));

 private:
  bool reap(bool block);

  pid_t pid_ = -1;
  std::optional<ExitStatus> status_;
};

}  // namespace e2e
