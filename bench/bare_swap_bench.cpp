// The machine's own floor for a frame: SDL2 and OpenGL directly, with nothing of the layer in
// between. A window of the viewer's size with an OpenGL 3.3 core context, as the layer makes it,
// cleared (colour and depth) and swapped. The layer's clear + present is set against it.
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include "bare_window.h"

namespace bench {

// Made once and kept for the whole run, like the benchmarks' device.
BareWindow* Bare() {
  static BareWindow bare;
  static bool tried = false;
  if (tried) return bare.window && bare.context ? &bare : nullptr;
  tried = true;
  // The layer's context stays the current one for every other benchmark.
  SDL_Window* layerWindow = SDL_GL_GetCurrentWindow();
  SDL_GLContext layerContext = SDL_GL_GetCurrentContext();
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  bare.window = SDL_CreateWindow("bare", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 1024, 768,
                                 SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS);
  if (bare.window) bare.context = SDL_GL_CreateContext(bare.window);
  if (bare.context) SDL_GL_SetSwapInterval(0);
  if (layerWindow) SDL_GL_MakeCurrent(layerWindow, layerContext);
  return bare.window && bare.context ? &bare : nullptr;
}

}  // namespace bench

namespace {

void BM_BareClearSwap(benchmark::State& state) {
  bench::BareWindow* bare = bench::Bare();
  if (!bare) {
    state.SkipWithError("no bare OpenGL window");
    return;
  }
  bench::BareCurrent current(bare);
  glViewport(0, 0, 1024, 768);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClearDepth(1.0);
  // The clear is only queued until something waits for it; without a display to swap to (the
  // headless run) nothing would, so each frame is finished, as a swap to a screen does.
  for (int i = 0; i < 10; ++i) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_GL_SwapWindow(bare->window);
    glFinish();
  }
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_GL_SwapWindow(bare->window);
    glFinish();
  }
}
BENCHMARK(BM_BareClearSwap)->UseRealTime()->Iterations(200)->Repetitions(15)->ReportAggregatesOnly(true);

}  // namespace
