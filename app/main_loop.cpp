// The spine: WinMain's window, device and scene, and the message loop with its idle tick.
#include "app/main_loop.h"

#include <windows.h>
#include <mmsystem.h>

#include "app/camera.h"
#include "app/command_line.h"
#include "app/device.h"
#include "app/frame.h"
#include "app/frame_timing.h"
#include "app/input.h"
#include "app/model_drag.h"
#include "app/scene.h"
#include "app/write_folders_notice.h"
#include "base/error_log.h"
#include "base/write_folders.h"
#include "data/live_reload.h"

namespace {
const char kClassName[] = "Kvr MMORTS";
const char kWindowTitle[] = "Kvr MMORTS C/S APP";
}  // namespace

void RunMessageLoop() {
  // Messages always come first; the loop draws only when none is waiting, and never blocks.
  MSG message = {};
  while (message.message != WM_QUIT) {
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    } else {
      IdleTick();
    }
  }
}

void IdleTick() {
  // Files of the data set edited meanwhile are read again before the frame shows them.
  PollDataSetChanges(timeGetTime());
  PollCursor();
  FollowModelDrag(SliderUnderPointer());  // a dragged model turns before the frame
  CameraTick();
  RenderFrame();
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  // Into the data set's folder before anything else, so that the log is written there too.
  CommandLine command;
  const int exitCode = HandleCommandLine(commandLine, &command);
  if (exitCode >= 0) return exitCode;
  int result = 0;

  // A data set's folder the viewer may not write leaves its log and pictures to the user's folders.
  UseWriteFolders(ChooseWriteFolders());
  ErrorLog::Start();

  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_GLOBALCLASS;
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClassName;
  RegisterClassExA(&windowClass);

  // The window covers the whole desktop; it is never moved or resized afterwards.
  RECT desktop = {};
  GetClientRect(GetDesktopWindow(), &desktop);
  HWND window = CreateWindowExA(WS_EX_TOPMOST, kClassName, kWindowTitle, WS_POPUP | WS_VISIBLE,
                                desktop.left, desktop.top, desktop.right, desktop.bottom,
                                GetDesktopWindow(), nullptr, instance, nullptr);

  if (FAILED(InitD3D(window))) {
    ErrorLog::Write("Failed to InitD3D( hWnd )");
  } else {
    ShowCursor(FALSE);  // the viewer draws its own cursor
    SetupScene();

    if (command.action == CommandLine::Action::kFrames) {
      result = TimeFrames(command.frames, command.show, IdleTick);
    } else {
      // A model file opened from a file manager starts shown; one its data set does not list
      // leaves the start model.
      if (!command.show.empty()) ShowModel(command.show);
      RunMessageLoop();
    }
  }

  UnregisterClassA(kClassName, instance);
  ShutdownGraphics();
  ErrorLog::Write("Closing down");
  return result;
}
