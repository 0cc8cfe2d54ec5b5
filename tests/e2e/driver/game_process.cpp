#include "tests/e2e/driver/game_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace e2e {

std::string ToString(const ExitStatus& s) {
  char text[64];
  if (s.exited) std::snprintf(text, sizeof text, "exit status %d", s.code);
  else std::snprintf(text, sizeof text, "killed by signal %d", s.signal);
  return text;
}

GameProcess::GameProcess(const std::string& program, const std::vector<std::string>& args, const std::string& logPath) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  // posix_spawn runs no code of ours between the fork and the exec: this
  // program has threads, and a child that takes a lock one of them held at the
  // fork (an allocator's, a sanitizer's) waits for ever.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!logPath.empty()) {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  }
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    pid_ = pid;
  } else {
    std::perror("posix_spawn");
    pid_ = -1;
  }
  posix_spawn_file_actions_destroy(&actions);
}

GameProcess::~GameProcess() { stop(); }

bool GameProcess::reap(bool block) {
  if (status_) return true;
  if (pid_ <= 0) return false;
  int raw = 0;
  const pid_t r = waitpid(pid_, &raw, block ? 0 : WNOHANG);
  if (r != pid_) return false;
  ExitStatus s;
  s.exited = WIFEXITED(raw);
  s.code = s.exited ? WEXITSTATUS(raw) : 0;
  s.signal = WIFSIGNALED(raw) ? WTERMSIG(raw) : 0;
  status_ = s;
  return true;
}

bool GameProcess::running() { return pid_ > 0 && !reap(false); }

double GameProcess::cpuSeconds() const {
  std::ifstream in("/proc/" + std::to_string(pid_) + "/stat");
  std::string stat;
  std::getline(in, stat);
  // The fields after the command, which is in parentheses and may hold spaces:
  // the state is the first, user and system time the 12th and 13th.
  const auto close = stat.rfind(')');
  if (close == std::string::npos) return 0.0;
  std::istringstream fields(stat.substr(close + 2));
  std::string field;
  for (int i = 0; i < 11; ++i) fields >> field;
  unsigned long long user = 0, system = 0;
  fields >> user >> system;
  return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

std::optional<ExitStatus> GameProcess::waitExit(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!reap(false)) {
    if (pid_ <= 0 || std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return status_;
}

void GameProcess::stop(std::chrono::milliseconds grace) {
  if (!running()) return;
  kill(pid_, SIGTERM);
  if (waitExit(grace)) return;
  kill(pid_, SIGKILL);
  reap(true);
}

}  // namespace e2e
