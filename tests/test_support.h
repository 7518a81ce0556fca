// Helpers shared by the test programs: a headless device, a scratch folder, small file utilities.
#pragma once
#include <d3d9.h>
#include <kvrplatform_testing.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace testsupport {

inline LRESULT CALLBACK PassThroughWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return DefWindowProcA(h, m, w, l);
}

// A window and a Direct3D 9 device on it, as the program creates them, torn down in reverse.
struct TestDevice {
  HWND hwnd = nullptr;
  IDirect3D9* d3d = nullptr;
  IDirect3DDevice9* device = nullptr;
  ~TestDevice() {
    if (device) device->Release();
    if (d3d) d3d->Release();
    if (hwnd) DestroyWindow(hwnd);
  }
};

// The back buffer takes the window's size unless a size of its own is given.
inline std::unique_ptr<TestDevice> CreateTestDevice(int width = 1024, int height = 768,
                                                    WNDPROC proc = PassThroughWindowProc,
                                                    UINT backBufferWidth = 0, UINT backBufferHeight = 0) {
  kvrtest::SetDesktopSize(width, height);
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = CS_GLOBALCLASS;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "kvrtest";
  RegisterClassExA(&wc);
  auto t = std::make_unique<TestDevice>();
  t->hwnd = CreateWindowExA(WS_EX_TOPMOST, "kvrtest", "kvrtest", WS_POPUP | WS_VISIBLE, 0, 0, width,
                            height, GetDesktopWindow(), nullptr, wc.hInstance, nullptr);
  t->d3d = Direct3DCreate9(D3D_SDK_VERSION);
  if (!t->d3d) return nullptr;
  D3DPRESENT_PARAMETERS pp = {};
  pp.Windowed = TRUE;
  pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
  pp.BackBufferWidth = backBufferWidth;
  pp.BackBufferHeight = backBufferHeight;
  pp.EnableAutoDepthStencil = TRUE;
  pp.AutoDepthStencilFormat = D3DFMT_D16;
  pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
  if (FAILED(t->d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, t->hwnd,
                                  D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &t->device)))
    return nullptr;
  return t;
}

// A fresh empty folder that becomes the working directory for the test's lifetime.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/kvrtest-XXXXXX";
    path_ = mkdtemp(pattern);
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::current_path(old_, ec);
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::filesystem::path old_;
};

// Writes a file relative to the working directory, creating its folders (forward slashes).
inline void WriteFile(const std::string& path, const std::string& contents) {
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary);
  out << contents;
}

inline void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
  WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Where tests write images for a person to look at (actual, expected, difference).
inline std::string OutputPath(const std::string& name) {
  const char* dir = std::getenv("KVR_TEST_OUTPUT");
  std::string base = dir ? dir : "/tmp/kvr-test-output";
  std::filesystem::create_directories(base);
  return base + "/" + name;
}

}  // namespace testsupport
