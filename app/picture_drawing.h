// What the picture commands (--render, --sheet, --thumbnail, --turntable) share: the loaded data
// set's model drawn into the headless device's back buffer, framed to its bounds, and the back
// buffer read back or saved.
#pragma once
#include <d3d9.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/picture_framing.h"

struct CommandLine;

// Releases a COM object at the end of the scope.
template <class T>
class Held {
 public:
  Held() = default;
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  ~Held() {
    if (p_) p_->Release();
  }
  T** out() { return &p_; }
  T* operator->() const { return p_; }
  T* get() const { return p_; }

 private:
  T* p_ = nullptr;
};


// Reads the data set of the working folder without a word in the log; false (said on standard
// error) without a start-up manifest.
bool LoadDataSetQuietly();
// Loads the data set as LoadDataSetQuietly does and finds command.modelName in it: 0 with model
// set, else the exit code after saying why (2 without a start-up manifest, 1 for an unknown name).
int LoadNamedModel(const CommandLine& command, int32_t& model);

D3DCOLOR Background(const CommandLine& command);

// The back buffer's size and format, checked against what was asked for: a window system may
// make a window smaller than asked.
bool BackBufferIs(int32_t width, int32_t height, D3DSURFACE_DESC& desc);

// How the model's surfaces are coloured: with its texture page as the viewer draws it, or in
// grey shaded by which way each triangle faces, for a model without its page.
enum class Surfaces { kTextured, kShaded };

// Draws the model as it stands now into the viewport (of the back buffer), framed to what is drawn
// of it, over the background; the states are the viewer frame's.
void DrawModelPicture(int32_t model, const D3DVIEWPORT9& viewport, float yaw, float pitch, D3DCOLOR background,
                      Surfaces surfaces = Surfaces::kTextured);

// The same with the model turned turnDegrees about its vertical axis (towards -x, as seen from the
// front) in front of a camera that stays put: framing, when given, is the camera; one whose distance
// is 0 is framed from this picture first (as DrawModelPicture frames it) and kept for the next.
void DrawTurnedModelPicture(int32_t model, const D3DVIEWPORT9& viewport, float yaw, float pitch, float turnDegrees,
                            PictureView* framing, D3DCOLOR background, Surfaces surfaces = Surfaces::kTextured);

bool SaveBackBuffer(const std::string& path);
// The back buffer's pixels as R, G, B bytes, row after row from the top; false when it cannot be
// read back.
bool ReadBackBuffer(const D3DSURFACE_DESC& desc, std::vector<uint8_t>& rgb);

// "kvrview: could not write PATH" on standard error; returns the exit code 1.
int CouldNotWrite(const std::string& path);
