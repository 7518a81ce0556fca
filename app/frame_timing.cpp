// kvrview --frames N.
#include "app/frame_timing.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/model_panel.h"
#include "app/viewer_state.h"
#include "base/printable_text.h"
#include "model/model_catalogue.h"

namespace {

constexpr int kSettlingFrames = 10;

}  // namespace

bool ShowModel(const std::string& name) {
  const int32_t model = FindModelByName(name.c_str());
  if (model < 0) return false;
  ViewerState& s = viewerState;
  s.currentCategory = ModelCatalogue[model].category;
  ListModelsOfCategory(s.nameList, s.currentCategory);
  for (size_t i = 0; i < s.nameList.size(); ++i) {
    if (s.nameList[i] == name) {
      SelectListEntry(static_cast<int32_t>(i));
      return true;
    }
  }
  return false;
}

namespace {

// One turn of the message loop: waiting messages first, then an idle tick. False after WM_QUIT.
bool Turn(void (*idleTick)()) {
  MSG message = {};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) return false;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  idleTick();
  return true;
}

}  // namespace

int TimeFrames(int32_t frames, const std::string& show, void (*idleTick)()) {
  if (!show.empty() && !ShowModel(show)) {
    std::fprintf(stderr, "kvrview: no model %s in this data set\n", PrintableText(show).c_str());
    return 1;
  }
  for (int i = 0; i < kSettlingFrames; ++i)
    if (!Turn(idleTick)) return 0;
  LARGE_INTEGER frequency = {}, before = {}, after = {};
  QueryPerformanceFrequency(&frequency);
  const double ticksPerMs = static_cast<double>(frequency.QuadPart) / 1000.0;
  std::vector<double> times;
  times.reserve(static_cast<size_t>(frames));
  for (int32_t i = 0; i < frames; ++i) {
    QueryPerformanceCounter(&before);
    const bool going = Turn(idleTick);
    QueryPerformanceCounter(&after);
    if (!going) break;
    times.push_back(static_cast<double>(after.QuadPart - before.QuadPart) / ticksPerMs);
  }
  if (times.empty()) return 0;
  std::sort(times.begin(), times.end());
  const double median = times[times.size() / 2];
  const double p95 = times[std::min(times.size() - 1, (times.size() * 95) / 100)];
  std::printf("frames %zu median %.2f ms p95 %.2f ms\n", times.size(), median, p95);
  std::fflush(stdout);
  return 0;
}
