// The error log: one open, write and close for every line, never through a link or into a non-file.
#include "base/error_log.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "base/ceilings.h"
#include "base/printable_text.h"
#include "base/write_folders.h"
#include "base/disk_path.h"

namespace {

const char kLogName[] = "KVRerrors.log";
// The log's path: its name alone (in the working folder, the data set's), or in another folder.
std::string logPath = kLogName;
std::string logFolder;  // empty: the data set's folder, the working folder

// A data set may ship a "KVRerrors.log" of its own: a link to a file elsewhere, a pipe that never
// opens, a device or a folder. The log is written only into a regular file of its own name, so a
// line that meets anything else is dropped, and standard error says once why.
bool toldWhyNoLog = false;

void TellWhyNoLog(const char* why) {
  if (toldWhyNoLog) return;
  toldWhyNoLog = true;
  std::fprintf(stderr, "kvrview: %s %s: running without a log\n", logPath.c_str(), why);
  std::fflush(stderr);
}

// Why the log's name cannot be written into, from its attributes (a link is not followed).
void TellWhyFromAttributes() {
  const DWORD attributes = GetFileAttributesA(logPath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;  // missing, or not ours to judge: a lost line
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    TellWhyNoLog("is a symbolic link");
  } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    TellWhyNoLog("is a folder");
  } else if (attributes & FILE_ATTRIBUTE_DEVICE) {
    TellWhyNoLog("is a pipe or a device");
  }
}

// The file last found to be the data set's own log, so that each line need not ask its path again.
bool verified = false;
uint64_t verifiedVolume = 0, verifiedIndex = 0;

// True when the open file is the log kvrview may write: a regular file with no other name, that
// lies in the log's folder (the data set's, or the state folder) under the log's own name once every link is followed. Otherwise
// standard error says why.
bool IsOwnLog(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info = {};
  if (GetFileType(file) != FILE_TYPE_DISK) {
    TellWhyNoLog("is a pipe or a device");
    return false;
  }
  if (!GetFileInformationByHandle(file, &info)) return false;  // nothing to judge it by: not written
  if (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) {
    TellWhyNoLog(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? "is a folder" : "is a symbolic link");
    return false;
  }
  if (info.nNumberOfLinks != 1) {
    TellWhyNoLog("has another name too (a hard link)");
    return false;
  }
  const uint64_t index = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  if (verified && info.dwVolumeSerialNumber == verifiedVolume && index == verifiedIndex) return true;
  // Where the open file really is: a link the system does not report as one (a Unix link under
  // Wine) still shows here.
  std::string below;
  const std::string folder = logFolder.empty() ? DataSetFolderOnDisk() : FolderOnDisk(logFolder);
  std::string lower;
  if (!folder.empty() && PathBelowFolder(FinalPathOf(file), folder, below)) {
    for (char c : below) lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  if (lower != "kvrerrors.log") {
    TellWhyNoLog("leads to another file (a link)");
    return false;
  }
  verified = true;
  verifiedVolume = info.dwVolumeSerialNumber;
  verifiedIndex = index;
  return true;
}

// Opens the log for one line: emptied first, or positioned at its end. INVALID_HANDLE_VALUE when
// the name is not the log's own regular file or cannot be opened now (a full disk, no
// permission): that line is lost, the next one tries again. Nothing is emptied before the file
// is judged, and a missing log is made new, which never goes through a link, dangling or not.
HANDLE OpenLog(bool empty) {
  HANDLE file = CreateFileA(logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    file = CreateFileA(logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    TellWhyFromAttributes();
    return INVALID_HANDLE_VALUE;
  }
  if (IsOwnLog(file) &&
      (empty ? SetFilePointer(file, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER && SetEndOfFile(file)
             : SetFilePointer(file, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER)) {
    return file;
  }
  CloseHandle(file);
  return INVALID_HANDLE_VALUE;
}

// Bytes written since the last start; past the ceiling one last line says so and the rest is
// dropped.
uint64_t bytesSinceStart = 0;
bool ceilingReached = false;
const char kCeilingLine[] = "The log has reached its ceiling of 64 MiB: later lines are dropped\n";

void (*diverted)(const std::string& line) = nullptr;

void WriteLine(bool empty, std::string line) {
  if (diverted) {
    if (!line.empty() && line.back() == '\n') line.pop_back();
    diverted(line);
    return;
  }
  if (empty) {
    bytesSinceStart = 0;
    ceilingReached = false;
  }
  if (ceilingReached) return;
  if (!FitsUnderCeiling(bytesSinceStart, line.size(), kMaxLogBytes)) {
    ceilingReached = true;
    line = kCeilingLine;
  }
  HANDLE file = OpenLog(empty);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
  bytesSinceStart += written;
}

}  // namespace

namespace ErrorLog {

namespace {

// The text as a line of the log holds it.
std::string Escaped(const char* text) { return text ? PrintableText(text) : std::string(); }

}  // namespace

void Start() { WriteLine(true, "KVRerrors.log started \n"); }

void Write(const char* text) { WriteLine(false, Escaped(text) + "\n"); }

void Write(const std::string& text) { WriteLine(false, PrintableText(text) + "\n"); }

void Divert(void (*sink)(const std::string& line)) { diverted = sink; }

void SetFolder(const std::string& folder) {
  logFolder = folder;
  logPath = InFolder(folder, kLogName);
  verified = false;
}

void WriteValue(const char* text, int32_t value) {
  WriteLine(false, Escaped(text) + " " + std::to_string(value) + "\n");
}

}  // namespace ErrorLog
