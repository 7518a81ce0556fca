// F12: saving the back buffer through D3DX, and the note on screen.
#include "app/screenshot.h"

#include <d3dx9.h>
#include <windows.h>

#include <cstdio>

#include "base/device.h"
#include "base/disk_path.h"
#include "base/error_log.h"
#include "base/write_folders.h"
#include "overlay/bitmap_font.h"

namespace {

constexpr uint32_t kNoteMilliseconds = 2000;
constexpr int32_t kNoteX = 400, kNoteY = 40;  // under the model name and the red note line
constexpr int kMaxScreenshots = 9999;

bool requested = false;
std::string folder;  // empty: the working folder, the data set's
bool noFolder = false;
std::string note;
bool noteIsFailure = false;
uint32_t noteShownAt = 0;

void SetNote(const std::string& text, bool failure, uint32_t now) {
  note = text;
  noteIsFailure = failure;
  noteShownAt = now;
}

// The back buffer as it stands, into a PNG file. False when any step fails.
bool SaveBackBuffer(const std::string& name) {
  IDirect3DSurface9* back = nullptr;
  if (FAILED(g_pd3dDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back)) || !back) return false;
  // By its exact name: a "KVRVIEW-0001.PNG" of the data set's is not this picture.
  const std::string path = ExactPath(name);
  const HRESULT hr = path.empty() ? E_FAIL : D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_PNG, back, nullptr, nullptr);
  back->Release();
  return SUCCEEDED(hr);
}

}  // namespace

void RequestScreenshot() { requested = true; }

void SetScreenshotFolders(const WriteFolders& folders) {
  folder = folders.dataSetFolder ? std::string() : folders.pictures;
  noFolder = !folders.dataSetFolder && folders.pictures.empty();
}

std::string NextScreenshotName() {
  for (int n = 1; n <= kMaxScreenshots; ++n) {
    char name[32];
    std::snprintf(name, sizeof(name), "kvrview-%04d.png", n);
    // Anything of that very name, a folder or a link included, keeps the number taken.
    if (GetFileAttributesA(ExactPath(InFolder(folder, name)).c_str()) == INVALID_FILE_ATTRIBUTES) return name;
  }
  return std::string();
}

void TakeRequestedScreenshot(uint32_t now) {
  if (!requested || !g_pd3dDevice) return;
  requested = false;
  if (noFolder) {
    SetNote("No folder to save pictures in: this one cannot be written, and there is no pictures folder", true,
            now);
    ErrorLog::Write(note);
    return;
  }
  const std::string name = NextScreenshotName();
  if (name.empty()) {
    SetNote("No free screenshot name: kvrview-0001.png to kvrview-9999.png are taken", true, now);
    ErrorLog::Write(note);
    return;
  }
  // The scene is closed while the buffer is read, then opened again for what follows.
  g_pd3dDevice->EndScene();
  if (!folder.empty()) CreateDirectoryA(folder.c_str(), nullptr);  // the pictures folder may not exist yet
  const bool saved = SaveBackBuffer(InFolder(folder, name.c_str()));
  g_pd3dDevice->BeginScene();
  SetNote(saved ? "Saved " + name : "Failed to save " + name, !saved, now);
  ErrorLog::Write(note);
}

void DrawScreenshotNote(uint32_t now) {
  if (note.empty()) return;
  if (now - noteShownAt >= kNoteMilliseconds) {
    note.clear();
    return;
  }
  if (noteIsFailure) {
    DrawTextRgb(kNoteX, kNoteY, note.c_str(), 255, 40, 40);
  } else {
    DrawTextYellow(kNoteX, kNoteY, note.c_str());
  }
}
