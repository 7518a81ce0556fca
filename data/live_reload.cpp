// Live reload: change notifications on the data set's folders, file stamps, and the reloads.
//
// A change notification only says that something in a folder changed, not what, so each signal
// is followed by a look at the stamps (size and last write time) of the files watched in that
// folder. Editors save in several steps (write a new file, rename it over the old one, touch it
// again), so a folder is looked at only after it has been quiet for kQuietMilliseconds, and at
// the latest kLongestWaitMilliseconds after its first signal: a reload then lands well within
// half a second of the write. A file caught half written fails to parse, keeps the last good
// model, and is read again on the write that completes it.
#include "data/live_reload.h"

#include <windows.h>

#include <unordered_map>
#include <vector>

#include "base/data_file.h"
#include "base/data_path.h"
#include "base/error_log.h"
#include "data/animations.h"
#include "data/model_reload.h"
#include "data/model_sources.h"
#include "model/model_catalogue.h"
#include "model/texture_pages.h"

namespace {

constexpr uint32_t kQuietMilliseconds = 60;
constexpr uint32_t kLongestWaitMilliseconds = 250;
// One file is read again at most once in this long, however often it changes: a file that changes
// all the time (a log some data set names as its animation) costs a few reads a second.
constexpr uint32_t kReadAgainGapMilliseconds = 300;
// The looking and reading of one poll stops after this long and goes on at the next frame's poll,
// so that a folder of thousands of watched files never holds a frame up.
constexpr uint32_t kPollWorkMilliseconds = 4;
// Folders watched at most; a data set spread over more is watched in its first ones.
constexpr size_t kMaxWatchedFolders = 64;

enum class FileKind { Model, Page, Animation };

struct FileStamp {
  bool exists = false;
  uint64_t size = 0;
  uint64_t lastWrite = 0;
  bool operator==(const FileStamp& o) const {
    return exists == o.exists && size == o.size && lastWrite == o.lastWrite;
  }
};

struct WatchedFile {
  std::string path;
  FileKind kind;
  int32_t number;  // the first model, the page or the animation read from it
  FileStamp stamp;
  bool readAgain = false;  // once it has been, lastRead says when
  uint32_t lastRead = 0;
};

struct WatchedFolder {
  std::string path;
  HANDLE change = INVALID_HANDLE_VALUE;
  std::vector<size_t> files;  // in watchedFiles
  bool pending = false;
  uint32_t firstSignal = 0, lastSignal = 0;
  size_t next = 0;           // the file of `files` the look goes on with, when a poll stopped it
  bool waiting = false;      // a changed file waits for its gap: nothing is looked at before retryAt
  uint32_t retryAt = 0;
};

std::vector<WatchedFile> watchedFiles;
std::vector<WatchedFolder> watchedFolders;
std::unordered_map<int32_t, std::string> modelFaults, pageFaults, animationFaults;

FileStamp StampOf(const std::string& path) {
  FileStamp stamp;
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return stamp;
  stamp.exists = true;
  stamp.size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  stamp.lastWrite = (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
  return stamp;
}

// The folder part of a data path ("" for the data set's own folder), and a key that is the same
// for every spelling of it.
std::string FolderOf(const std::string& path) {
  const size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::string FolderKey(const std::string& folder) {
  std::string key;
  for (char c : folder) {
    if (c == '/') c = '\\';
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == '\\' && !key.empty() && key.back() == '\\') continue;
    key += c;
  }
  while (!key.empty() && key.back() == '\\') key.pop_back();
  return key;
}

// True when a data path names, in the data set's own folder, a file kvrview writes there (its log,
// its pictures), however it is spelt: those are never watched, or the log would feed itself.
bool NamesOwnOutput(const std::string& path) {
  std::vector<std::string_view> parts;
  return DataPathParts(path, parts) && parts.size() == 1 && IsOwnOutputName(std::string(parts[0]));
}

void Watch(const std::string& path, FileKind kind, int32_t number,
           std::unordered_map<std::string, size_t>& folderByKey,
           std::unordered_map<std::string, bool>& seenPaths) {
  // A path the load refused is never opened, so never watched either.
  if (path.empty() || DataPathRefusal(path) || NamesOwnOutput(path) || !seenPaths.emplace(FolderKey(path), true).second)
    return;
  const std::string folder = FolderOf(path);
  const std::string key = FolderKey(folder);
  auto found = folderByKey.find(key);
  if (found == folderByKey.end()) {
    if (watchedFolders.size() >= kMaxWatchedFolders) return;
    WatchedFolder watched;
    watched.path = folder;
    watched.change = FindFirstChangeNotificationA(
        folder.empty() ? "." : folder.c_str(), FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
    if (watched.change == INVALID_HANDLE_VALUE) {
      ErrorLog::Write("Changes are not watched in " + (folder.empty() ? std::string(".") : folder));
    }
    found = folderByKey.emplace(key, watchedFolders.size()).first;
    watchedFolders.push_back(std::move(watched));
  }
  WatchedFile file{path, kind, number, StampOf(path)};
  watchedFolders[found->second].files.push_back(watchedFiles.size());
  watchedFiles.push_back(std::move(file));
}

// Reads one changed file again, and every model that uses what it holds.
void Reload(const WatchedFile& file) {
  std::string reason;
  switch (file.kind) {
    case FileKind::Model: {
      // The same file may stand in several categories: it is read once, and each entry is put
      // in place from what it holds.
      std::vector<char> contents;
      const bool read = ReadModelFileAgain(file.path, contents, reason);
      for (size_t m = 0; m < ModelSourcePaths.size(); ++m) {
        if (ModelSourcePaths[m] != file.path) continue;
        const int32_t model = static_cast<int32_t>(m);
        std::string why = reason;
        if (read && ReloadModelFromBytes(model, contents, why)) {
          modelFaults.erase(model);
        } else {
          modelFaults[model] = why;
        }
      }
      break;
    }
    case FileKind::Page:
      if (ReloadTexturePage(file.number)) {
        pageFaults.erase(file.number);
      } else {
        pageFaults[file.number] = "Texture page failed to load: " + file.path;
      }
      break;
    case FileKind::Animation:
      if (ReloadAnimation(file.number, reason)) {
        animationFaults.erase(file.number);
      } else {
        animationFaults[file.number] = reason;
      }
      break;
  }
}

// Pages a model asks for when it is read again may be new: they are watched from then on.
void WatchNewPages(size_t pagesBefore) {
  if (TexturePageTable.size() <= pagesBefore) return;
  std::unordered_map<std::string, size_t> folderByKey;
  for (size_t i = 0; i < watchedFolders.size(); ++i) folderByKey.emplace(FolderKey(watchedFolders[i].path), i);
  std::unordered_map<std::string, bool> seenPaths;
  for (const WatchedFile& file : watchedFiles) seenPaths.emplace(FolderKey(file.path), true);
  for (size_t page = pagesBefore; page < TexturePageTable.size(); ++page) {
    const int32_t number = static_cast<int32_t>(page);
    Watch(TexturePagePath(number), FileKind::Page, number, folderByKey, seenPaths);
  }
}

}  // namespace

void StartWatchingDataSet() {
  StopWatchingDataSet();
  std::unordered_map<std::string, size_t> folderByKey;
  std::unordered_map<std::string, bool> seenPaths;
  for (size_t m = 0; m < ModelSourcePaths.size(); ++m)
    Watch(ModelSourcePaths[m], FileKind::Model, static_cast<int32_t>(m), folderByKey, seenPaths);
  for (size_t page = 0; page < TexturePageTable.size(); ++page) {
    const int32_t number = static_cast<int32_t>(page);
    Watch(TexturePagePath(number), FileKind::Page, number, folderByKey, seenPaths);
  }
  for (size_t a = 0; a < AnimationSourcePaths.size(); ++a)
    Watch(AnimationSourcePaths[a], FileKind::Animation, static_cast<int32_t>(a), folderByKey, seenPaths);
}

void StopWatchingDataSet() {
  for (WatchedFolder& folder : watchedFolders) {
    if (folder.change != INVALID_HANDLE_VALUE) FindCloseChangeNotification(folder.change);
  }
  std::vector<WatchedFolder>().swap(watchedFolders);
  std::vector<WatchedFile>().swap(watchedFiles);
  modelFaults.clear();
  pageFaults.clear();
  animationFaults.clear();
}

bool PollDataSetChanges(uint32_t now) {
  bool reloaded = false;
  const DWORD workStarted = timeGetTime();
  size_t looked = 0;
  for (size_t f = 0; f < watchedFolders.size(); ++f) {
    WatchedFolder& folder = watchedFolders[f];
    if (folder.change == INVALID_HANDLE_VALUE) continue;
    if (WaitForSingleObject(folder.change, 0) == WAIT_OBJECT_0) {
      FindNextChangeNotification(folder.change);
      if (!folder.pending) folder.firstSignal = now;
      folder.pending = true;
      folder.lastSignal = now;
    }
    if (!folder.pending) continue;
    // Unsigned differences stay right across the clock's wrap.
    if (folder.next == 0 && now - folder.lastSignal < kQuietMilliseconds &&
        now - folder.firstSignal < kLongestWaitMilliseconds)
      continue;
    if (folder.waiting && static_cast<int32_t>(now - folder.retryAt) < 0) continue;
    folder.waiting = false;
    const size_t pagesBefore = TexturePageTable.size();
    bool stopped = false;
    for (; folder.next < folder.files.size(); ++folder.next) {
      if (looked++ > 0 && timeGetTime() - workStarted >= kPollWorkMilliseconds) {
        stopped = true;
        break;
      }
      WatchedFile& file = watchedFiles[folder.files[folder.next]];
      const FileStamp stamp = StampOf(file.path);
      if (stamp == file.stamp) continue;
      if (file.readAgain && now - file.lastRead < kReadAgainGapMilliseconds) {
        // Too soon: its stamp stays old, so the look after the gap finds it changed still.
        const uint32_t at = file.lastRead + kReadAgainGapMilliseconds;
        if (!folder.waiting || static_cast<int32_t>(at - folder.retryAt) < 0) folder.retryAt = at;
        folder.waiting = true;
        continue;
      }
      file.stamp = stamp;
      file.readAgain = true;
      file.lastRead = now;
      Reload(file);
      ++ModelCatalogueGeneration;
      reloaded = true;
    }
    if (!stopped) {
      folder.next = 0;
      folder.pending = folder.waiting;
    }
    // New pages may add folders: `folder` is not used after this.
    WatchNewPages(pagesBefore);
    if (stopped) return reloaded;
  }
  return reloaded;
}

const std::string& ReloadFaultOf(int32_t model) {
  static const std::string none;
  if (model < 0 || static_cast<size_t>(model) >= ModelCatalogue.size()) return none;
  const auto own = modelFaults.find(model);
  if (own != modelFaults.end()) return own->second;
  const auto page = pageFaults.find(ModelCatalogue[model].texturePage);
  if (page != pageFaults.end()) return page->second;
  const auto animation = animationFaults.find(ModelCatalogue[model].animation);
  if (animation != animationFaults.end()) return animation->second;
  return none;
}
