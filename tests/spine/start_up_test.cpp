// The program's start and stop as a whole: device fall-back, the loop, the log it leaves.
#include <gtest/gtest.h>

#include <cmath>

#include "app/camera.h"
#include "app/device.h"
#include "app/scene.h"
#include "base/error_log.h"
#include "test_support.h"

using testsupport::ReadLines;
using testsupport::TempDir;

namespace {

class StartUp : public ::testing::Test {
 protected:
  void SetUp() override {
    kvrtest::ResetInput();
    kvrtest::ResetDeviceSeams();
    kvrtest::SetDesktopSize(1024, 768);
  }
  void TearDown() override {
    kvrtest::ResetInput();
    kvrtest::ResetDeviceSeams();
  }
  TempDir dir;
};

HWND MakeWindow() {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = testsupport::PassThroughWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "falls-back";
  RegisterClassExA(&wc);
  return CreateWindowExA(WS_EX_TOPMOST, "falls-back", "t", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768,
                         GetDesktopWindow(), nullptr, wc.hInstance, nullptr);
}

}  // namespace

TEST_F(StartUp, DeviceCreationFallsBackFromHardwareToMixedToSoftware) {
  HWND window = MakeWindow();
  kvrtest::FailDeviceCreation(D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING);
  ErrorLog::Start();
  EXPECT_EQ(InitD3D(window), 0);
  EXPECT_NE(g_pd3dDevice, nullptr);
  EXPECT_EQ(ReadLines("KVRerrors.log"),
            (std::vector<std::string>{"KVRerrors.log started ", "Failed to create the D3D Hardware Device ",
                                      "Failed to create the D3D Mixed Device "}));
  ShutdownGraphics();
  EXPECT_EQ(g_pd3dDevice, nullptr);
  EXPECT_EQ(g_pD3D, nullptr);
}

TEST_F(StartUp, NoDirect3DObjectFailsAtOnce) {
  kvrtest::FailDirect3DCreate(true);
  ErrorLog::Start();
  EXPECT_EQ(InitD3D(MakeWindow()), E_FAIL);
  EXPECT_EQ(ReadLines("KVRerrors.log"),
            (std::vector<std::string>{"KVRerrors.log started ", "Failed to create the D3D Object "}));
  ShutdownGraphics();
}

TEST_F(StartUp, ARunWithoutAnyDeviceLeavesTheFailureTrailAndStopsCleanly) {
  kvrtest::FailDeviceCreation(D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING |
                              D3DCREATE_SOFTWARE_VERTEXPROCESSING);
  EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), 1), 0);
  EXPECT_EQ(ReadLines("KVRerrors.log"),
            (std::vector<std::string>{"KVRerrors.log started ", "Failed to create the D3D Hardware Device ",
                                      "Failed to create the D3D Mixed Device ",
                                      "Failed to create the D3D Software Device ", "Failed to InitD3D( hWnd )",
                                      "Closing down"}));
}

TEST_F(StartUp, TheLoopPrefersMessagesAndStopsOnQuitWithoutAnotherIdleTick) {
  // A fall-back device: the load sequence restarts the log, so its messages must be gone.
  kvrtest::FailDeviceCreation(D3DCREATE_HARDWARE_VERTEXPROCESSING);
  for (int i = 0; i < 5; ++i) kvrtest::PostScriptedMessage(nullptr, WM_NULL, 0, 0);
  kvrtest::PostScriptedMessage(nullptr, WM_QUIT, 0, 0);
  int before = kvrtest::EmptyPeekCount();
  EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), 1), 0);
  EXPECT_EQ(kvrtest::EmptyPeekCount(), before);  // no idle tick ran
  std::vector<std::string> log = ReadLines("KVRerrors.log");
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "KVRerrors.log started ");
  EXPECT_EQ(log.back(), "Closing down");
  for (const std::string& line : log) EXPECT_EQ(line.find("D3D Hardware"), std::string::npos) << line;
}
