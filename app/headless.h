// The headless commands' device: a hidden window of a chosen size and a Direct3D device on it,
// with the screen font and the overlays' buffers; the log is not written meanwhile.
#pragma once
#include <cstdint>

// False (with a line on standard error) when no device could be made.
bool StartHeadless(int32_t width, int32_t height);
// Releases the data set, the overlays, the device and the window.
void StopHeadless();

// The headless device for the length of a command.
class HeadlessSession {
 public:
  HeadlessSession(int32_t width, int32_t height) : started_(StartHeadless(width, height)) {}
  ~HeadlessSession() {
    if (started_) StopHeadless();
  }
  HeadlessSession(const HeadlessSession&) = delete;
  HeadlessSession& operator=(const HeadlessSession&) = delete;
  bool started() const { return started_; }

 private:
  bool started_;
};
