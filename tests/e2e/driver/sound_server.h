// A PulseAudio server of a test's own, whose only sink is a null sink, in a
// folder of its own: the test can stop it, kill it and start it again on the
// same socket, as a player's sound server hangs, dies or comes back, without
// touching the sound server the rest of the suite plays to.
#pragma once

#include <memory>
#include <string>

#include "tests/e2e/driver/game_process.h"

namespace e2e {

class SoundServer {
 public:
  static constexpr int kRecordingRate = 22050;

  SoundServer();
  ~SoundServer();
  SoundServer(const SoundServer&) = delete;
  SoundServer& operator=(const SoundServer&) = delete;

  // Starts the server (again, after kill) and waits until it answers.
  bool start();
  // SIGKILL: the server is gone at once, its clients' connections with it.
  void kill();
  // SIGSTOP and SIGCONT: a server that holds its connections and answers nothing.
  void freeze();
  void thaw();

  // What PULSE_SERVER names for a client of this server.
  std::string address() const { return "unix:" + folder_ + "/native"; }
  // What the server wrote, for a failure's message.
  std::string log() const;

  // Records the sink's monitor into `rawPath`, raw s16le mono at
  // kRecordingRate, from now until the server or the recording ends.
  bool record(const std::string& rawPath);

 private:
  bool answers() const;

  std::string folder_;
  std::string serverLog_;
  std::unique_ptr<GameProcess> server_;
  std::unique_ptr<GameProcess> recorder_;
};

}  // namespace e2e
