// Whole-process figures of the game against the floor (a minimal Qt window),
// measured pair by pair on a running X server: time from launch to the first
// painted frame, peak resident memory, and the CPU used by the program and by
// the X server over ten seconds while a clock ticks. Prints medians, ratios
// and whether the budgets are met.
//
// Usage: process_probe --x-pid PID --runs N --seconds S GAME FLOOR
// (DISPLAY names the X server; the game is started with --seed 1, the floor
// with --tick.)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Figures {
  double firstFrameMs = 0;
  double peakRssMiB = 0;
  double cpuProgram = 0;  // seconds of CPU over the window
  double cpuServer = 0;
};

double CpuSeconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat, line);
  const std::size_t close = line.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(line.substr(close + 2));
  std::string field;
  unsigned long long utime = 0, stime = 0;
  for (int i = 3; fields >> field; ++i) {
    if (i == 14) utime = std::stoull(field);
    if (i == 15) {
      stime = std::stoull(field);
      break;
    }
  }
  return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double PeakRssMiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string key;
  while (status >> key) {
    if (key == "VmHWM:") {
      double kib = 0;
      status >> kib;
      return kib / 1024.0;
    }
    status.ignore(1 << 16, '\n');
  }
  return 0;
}

// True when most sample points of the screen show the grey ground.
bool GroundShows(Display* display) {
  const int screen = DefaultScreen(display);
  const int width = DisplayWidth(display, screen), height = DisplayHeight(display, screen);
  const int xs[] = {width / 10, width / 2, width * 9 / 10};
  const int ys[] = {height * 3 / 10, height * 9 / 10};
  int grey = 0;
  for (int x : xs) {
    for (int y : ys) {
      XImage* image = XGetImage(display, RootWindow(display, screen), x, y, 1, 1, AllPlanes, ZPixmap);
      if (!image) continue;
      const unsigned long pixel = XGetPixel(image, 0, 0);
      XDestroyImage(image);
      if (pixel == 0x808080) ++grey;
    }
  }
  return grey >= 4;
}

pid_t Launch(const std::vector<std::string>& command) {
  const pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

void Stop(pid_t pid) {
  kill(pid, SIGTERM);
  for (int i = 0; i < 50; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

// Clears the screen to black so that the next program's grey is its own.
void Blank(Display* display) {
  const int screen = DefaultScreen(display);
  XSetWindowBackground(display, RootWindow(display, screen), BlackPixel(display, screen));
  XClearWindow(display, RootWindow(display, screen));
  XSync(display, False);
}

bool Measure(Display* display, pid_t xPid, const std::vector<std::string>& command, double seconds, Figures* out) {
  Blank(display);
  const auto start = Clock::now();
  const pid_t pid = Launch(command);
  bool painted = false;
  while (Clock::now() - start < std::chrono::seconds(20)) {
    if (GroundShows(display)) {
      painted = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  out->firstFrameMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  if (!painted) {
    Stop(pid);
    return false;
  }
  // Let start-up settle, then watch the clock tick.
  std::this_thread::sleep_for(std::chrono::seconds(1));
  const double program0 = CpuSeconds(pid), server0 = CpuSeconds(xPid);
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  out->cpuProgram = CpuSeconds(pid) - program0;
  out->cpuServer = CpuSeconds(xPid) - server0;
  out->peakRssMiB = PeakRssMiB(pid);
  Stop(pid);
  return true;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n == 0 ? 0 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
}

}  // namespace

int main(int argc, char** argv) {
  pid_t xPid = 0;
  int runs = 5;
  double seconds = 10;
  std::vector<std::string> programs;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--x-pid" && i + 1 < argc) {
      xPid = static_cast<pid_t>(std::atoi(argv[++i]));
    } else if (arg == "--runs" && i + 1 < argc) {
      runs = std::atoi(argv[++i]);
    } else if (arg == "--seconds" && i + 1 < argc) {
      seconds = std::atof(argv[++i]);
    } else {
      programs.push_back(arg);
    }
  }
  if (programs.size() != 2 || xPid <= 0 || runs < 1) {
    std::fprintf(stderr, "usage: process_probe --x-pid PID [--runs N] [--seconds S] GAME FLOOR\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "process_probe: cannot open the display\n");
    return 2;
  }

  std::vector<double> frame[2], memory[2], cpu[2], server[2], frameRatio, cpuRatio, memoryExtra;
  for (int run = 0; run < runs; ++run) {
    Figures game, floor;
    // Alternate which goes first, so neither always meets a warm cache.
    const bool gameFirst = run % 2 == 0;
    bool ok = true;
    for (int turn = 0; turn < 2 && ok; ++turn) {
      const bool isGame = (turn == 0) == gameFirst;
      const std::vector<std::string> command = isGame ? std::vector<std::string>{programs[0], "--seed", "1"}
                                                      : std::vector<std::string>{programs[1], "--tick"};
      ok = Measure(display, xPid, command, seconds, isGame ? &game : &floor);
      if (!ok) std::fprintf(stderr, "process_probe: %s never painted its first frame\n", command[0].c_str());
    }
    if (!ok) return 1;
    const Figures* both[2] = {&game, &floor};
    for (int k = 0; k < 2; ++k) {
      frame[k].push_back(both[k]->firstFrameMs);
      memory[k].push_back(both[k]->peakRssMiB);
      cpu[k].push_back(both[k]->cpuProgram + both[k]->cpuServer);
      server[k].push_back(both[k]->cpuServer);
    }
    frameRatio.push_back(game.firstFrameMs / floor.firstFrameMs);
    cpuRatio.push_back((game.cpuProgram + game.cpuServer) / std::max(1e-3, floor.cpuProgram + floor.cpuServer));
    memoryExtra.push_back(game.peakRssMiB - floor.peakRssMiB);
    std::fprintf(stderr, "run %d: game %.0f ms %.1f MiB cpu %.2f+%.2f s | floor %.0f ms %.1f MiB cpu %.2f+%.2f s\n",
                 run + 1, game.firstFrameMs, game.peakRssMiB, game.cpuProgram, game.cpuServer, floor.firstFrameMs,
                 floor.peakRssMiB, floor.cpuProgram, floor.cpuServer);
  }
  XCloseDisplay(display);

  const double fr = Median(frameRatio), cr = Median(cpuRatio), me = Median(memoryExtra);
  std::printf("\nWhole process, median of %d runs (game against the floor, pair by pair)\n", runs);
  std::printf("| figure | game | floor | game/floor | budget | result |\n|---|---|---|---|---|---|\n");
  std::printf("| launch to first painted frame | %.0f ms | %.0f ms | %.2f | <= 1.15 | %s |\n", Median(frame[0]),
              Median(frame[1]), fr, fr <= 1.15 ? "pass" : "FAIL");
  std::printf("| peak resident memory | %.1f MiB | %.1f MiB | +%.1f MiB | <= +12 MiB | %s |\n", Median(memory[0]),
              Median(memory[1]), me, me <= 12.0 ? "pass" : "FAIL");
  std::printf("| CPU over %.0f s ticking, program + X server | %.2f s (X %.2f s) | %.2f s (X %.2f s) | %.2f | <= 1.2 | %s |\n",
              seconds, Median(cpu[0]), Median(server[0]), Median(cpu[1]), Median(server[1]), cr,
              cr <= 1.2 ? "pass" : "FAIL");
  return (fr <= 1.15 && me <= 12.0 && cr <= 1.2) ? 0 : 1;
}
