// Captured frames of the game replayed onto both OpenGL back ends, each in its own
// context and frame, waiting for every frame to be drawn (glFinish): the time per frame
// side by side, and how far apart the two back ends' last frames are. Run it on a display
// (tools/bench-replay starts a virtual one).
//
//   replay_bench [frames per scene] [scene or back-end name ...]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "game/frame_capture.h"
#include "game/replay_target.h"
#include "render/batching_gl.h"

namespace {

double ProcessCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) * 1e3 + double(now.tv_nsec) * 1e-6;
}

struct Timing {
  double mean_ms = 0, median_ms = 0, worst_ms = 0;
  double cpu_ms = 0;  // processor time of the whole process (all driver threads)
  double draws = 0;   // draw calls per frame, batching only
  std::vector<uint8_t> last_frame;
};

bool TimeReplay(Backend backend, const GlRecording& recording, Timing& timing) {
  std::string failure;
  auto target = ReplayTarget::Open(backend, recording, failure);
  if (!target) {
    std::fprintf(stderr, "replay_bench: %s: %s\n", NameOf(backend), failure.c_str());
    return false;
  }
  target->Start();
  std::vector<double> times;
  const double cpu_start = ProcessCpuMs();
  for (;;) {
    const auto start = std::chrono::steady_clock::now();
    if (!target->Frame()) break;
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  if (times.empty()) return false;
  timing.cpu_ms = (ProcessCpuMs() - cpu_start) / double(times.size());
  if (auto* batching = dynamic_cast<BatchingGlBackend*>(&target->gl())) {
    timing.draws = double(batching->DrawCalls()) / double(times.size() + 1);
  }
  double total = 0;
  for (double t : times) total += t;
  timing.mean_ms = total / double(times.size());
  std::sort(times.begin(), times.end());
  timing.median_ms = times[times.size() / 2];
  timing.worst_ms = times.back();
  timing.last_frame = target->Pixels();
  return true;
}

std::string LoadAverage() {
  std::ifstream file("/proc/loadavg");
  std::string one, five, fifteen;
  file >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

// A name is chosen when it is named, or when none of its kind is.
bool Chosen(const std::vector<std::string>& chosen, const std::string& name,
            const std::vector<std::string>& kind) {
  const auto named = [&](const std::string& n) {
    return std::find(chosen.begin(), chosen.end(), n) != chosen.end();
  };
  return named(name) || std::none_of(kind.begin(), kind.end(), named);
}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
  const std::vector<std::string> chosen(argv + std::min(argc, 2), argv + argc);
  const std::vector<std::string> scene_names{"title", "title6000", "play", "pause"};
  const std::vector<std::string> backend_names{"literal", "batching"};
  std::printf("load average before: %s\n", LoadAverage().c_str());
  std::printf("%-11s %26s %26s %8s %17s %7s %15s\n", "scene", "literal ms mean/median/max",
              "batching ms mean/median/max", "speed-up", "cpu ms lit/batch", "draws",
              "pixels differing");
  bool all_ran = true;
  for (CapturedScene scene : {CapturedScene::Title, CapturedScene::Title6000, CapturedScene::Play,
                              CapturedScene::Pause}) {
    if (!Chosen(chosen, NameOf(scene), scene_names)) continue;
    const GlRecording recording = capture_frames(scene, frames);
    Timing literal, batching;
    const bool both =
        Chosen(chosen, "literal", backend_names) && Chosen(chosen, "batching", backend_names);
    if ((Chosen(chosen, "literal", backend_names) &&
         !TimeReplay(Backend::Literal, recording, literal)) ||
        (Chosen(chosen, "batching", backend_names) &&
         !TimeReplay(Backend::Batching, recording, batching))) {
      all_ran = false;
      continue;
    }
    if (!both) {
      const Timing& one = literal.last_frame.empty() ? batching : literal;
      std::printf("%-11s %10.2f %6.2f %8.2f   cpu %.2f\n", NameOf(scene), one.mean_ms,
                  one.median_ms, one.worst_ms, one.cpu_ms);
      continue;
    }
    long differing = 0;
    int largest = 0;
    for (size_t i = 0; i < literal.last_frame.size(); i += 4) {
      int pixel_largest = 0;
      for (int c = 0; c < 4; ++c) {
        pixel_largest = std::max(pixel_largest, std::abs(int(literal.last_frame[i + c]) -
                                                         int(batching.last_frame[i + c])));
      }
      differing += pixel_largest > 0;
      largest = std::max(largest, pixel_largest);
    }
    std::printf(
        "%-11s %10.2f %6.2f %8.2f %10.2f %6.2f %8.2f %7.2fx %8.2f %8.2f %7.1f %7ld (max %d)\n",
        NameOf(scene), literal.mean_ms, literal.median_ms, literal.worst_ms, batching.mean_ms,
        batching.median_ms, batching.worst_ms, literal.mean_ms / batching.mean_ms, literal.cpu_ms,
        batching.cpu_ms, batching.draws, differing, largest);
    std::fflush(stdout);
  }
  std::printf("load average after: %s\n", LoadAverage().c_str());
  return all_ran ? 0 : 1;
}
