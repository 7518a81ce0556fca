// Where the log and the pictures go, when not into the data set's folder.
#include "app/write_folders_notice.h"

#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/screenshot.h"
#include "base/error_log.h"
#include "base/write_folders.h"
#include "overlay/bitmap_font.h"

namespace {

constexpr uint32_t kNoticeMilliseconds = 10000;
constexpr int32_t kNoticeX = 400, kNoticeY = 60;  // under the screenshot note
constexpr int32_t kLineHeight = 20;

// Said on standard error once, and on screen for the first seconds (with the home folder as "~",
// which keeps the paths within the screen's width).
std::string screenLines[3];
bool shown = false;
uint32_t shownAt = 0;

void DropLine(const std::string&) {}

std::string Shortened(const std::string& path) {
  char home[MAX_PATH];
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, home))) return path;
  const size_t length = std::strlen(home);
  if (length < 2 || path.compare(0, length, home) != 0) return path;
  if (path.size() == length) return "~";
  return path[length] == '/' || path[length] == '\\' ? "~" + path.substr(length) : path;
}

}  // namespace

void UseWriteFolders(const WriteFolders& folders) {
  SetScreenshotFolders(folders);
  if (folders.dataSetFolder) return;
  const std::string log = InFolder(folders.log, "KVRerrors.log");
  std::string logLine, picturesLine;
  if (folders.log.empty()) {
    ErrorLog::Divert(DropLine);
    logLine = "This folder cannot be written, nor the state folder: no log";
    screenLines[1] = "No log: the state folder cannot be written either";
  } else {
    ErrorLog::SetFolder(folders.log);
    logLine = "This folder cannot be written: the log is " + log;
    screenLines[1] = "Log: " + Shortened(log);
  }
  if (folders.pictures.empty()) {
    picturesLine = "F12 cannot save pictures: there is no pictures folder";
    screenLines[2] = "F12 cannot save pictures: there is no pictures folder";
  } else {
    picturesLine = "F12 saves its pictures in " + folders.pictures;
    screenLines[2] = "F12 pictures: " + Shortened(folders.pictures);
  }
  screenLines[0] = "This folder cannot be written:";
  std::fprintf(stderr, "kvrview: %s\nkvrview: %s\n", logLine.c_str(), picturesLine.c_str());
  std::fflush(stderr);
}

void DrawWriteFoldersNotice(uint32_t now) {
  if (screenLines[0].empty()) return;
  if (!shown) {
    shown = true;
    shownAt = now;
  }
  if (now - shownAt >= kNoticeMilliseconds) {
    screenLines[0].clear();
    return;
  }
  for (int i = 0; i < 3; ++i) DrawTextYellow(kNoticeX, kNoticeY + i * kLineHeight, screenLines[i].c_str());
}
