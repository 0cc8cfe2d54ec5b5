#include "tests/e2e/driver/sound_server.h"

#include <signal.h>
#include <stdlib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/e2e/driver/game_driver.h"

namespace e2e {

namespace {
constexpr const char* kSink = "quadrilex_fault";
}

SoundServer::SoundServer() {
  char pattern[] = "/tmp/quadrilex-sound-server.XXXXXX";
  if (mkdtemp(pattern) != nullptr) folder_ = pattern;
  serverLog_ = folder_ + "/server.log";
  std::filesystem::create_directories(folder_ + "/home");
  std::filesystem::create_directories(folder_ + "/runtime");
}

SoundServer::~SoundServer() {
  thaw();
  recorder_.reset();
  server_.reset();
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

bool SoundServer::start() {
  if (folder_.empty()) return false;
  // Its state, cookie and runtime files stay in its folder; as root it runs
  // in per-user mode with that folder for a home. It keeps off the session
  // bus, where the suite's own server holds PulseAudio's name.
  const std::vector<std::string> args = {
      "-u", "DBUS_SESSION_BUS_ADDRESS", "-u", "DISPLAY",
      "HOME=" + folder_ + "/home",
      "XDG_CONFIG_HOME=" + folder_ + "/home/.config",
      "XDG_RUNTIME_DIR=" + folder_ + "/runtime",
      "PULSE_RUNTIME_PATH=" + folder_ + "/runtime",
      "PULSE_STATE_PATH=" + folder_ + "/home/state",
      "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--disable-shm=yes",
      "--log-target=stderr",
      std::string("--load=module-null-sink sink_name=") + kSink,
      "--load=module-native-protocol-unix socket=" + folder_ + "/native auth-anonymous=1"};
  server_ = std::make_unique<GameProcess>("/usr/bin/env", args, serverLog_);
  return server_->started() && WaitFor(Millis(20000), [this] { return !server_->running() ? false : answers(); }, Millis(100));
}

std::string SoundServer::log() const {
  std::ifstream in(serverLog_);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool SoundServer::answers() const {
  const std::string command = "PULSE_SERVER='" + address() + "' pactl info >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

void SoundServer::kill() {
  if (server_ && server_->running()) {
    ::kill(server_->pid(), SIGKILL);
    server_->waitExit(Millis(5000));
  }
  recorder_.reset();
}

void SoundServer::freeze() {
  if (server_ && server_->running()) ::kill(server_->pid(), SIGSTOP);
}

void SoundServer::thaw() {
  if (server_ && server_->running()) ::kill(server_->pid(), SIGCONT);
}

bool SoundServer::record(const std::string& rawPath) {
  const std::string command = "PULSE_SERVER='" + address() + "' exec parec -d " + kSink +
                              ".monitor --raw --format=s16le --channels=1 --rate=" + std::to_string(kRecordingRate) +
                              " --latency-msec=20 >'" + rawPath + "' 2>/dev/null";
  recorder_ = std::make_unique<GameProcess>("/bin/sh", std::vector<std::string>{"-c", command});
  return recorder_->started();
}

}  // namespace e2e
