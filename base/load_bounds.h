// One load of the data set, bounded: each file on disk is read at most once however it is listed,
// the bytes read have a ceiling, and the user can end a load that takes too long.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// A file's identity on disk: its volume and its index there (a device and an inode), the same
// whatever name, spelling or link it is reached by.
struct FileIdentity {
  uint64_t volume = 0;
  uint64_t index = 0;
  bool operator==(const FileIdentity& o) const { return volume == o.volume && index == o.index; }
};
struct FileIdentityHash {
  size_t operator()(const FileIdentity& f) const { return static_cast<size_t>(f.index * 0x9E3779B97F4A7C15ull ^ f.volume); }
};

// A load starts with nothing read and nothing counted; after it ends (live reload, the tests)
// nothing is counted and every file may be read.
void BeginLoad();
void EndLoad();
bool LoadInProgress();
// A number of its own for each load, so that tables of one load are not taken for another's.
uint32_t LoadNumber();

// True the first time a file is met in this load, and always outside a load.
bool FirstReadInLoad(const FileIdentity& file);
// Counts bytes about to be read: false once they would pass the load's ceiling, the first such
// refusal with a log line naming the file.
bool CountBytesRead(uint64_t bytes, const std::string& path);

// Called by the loaders between files: runs the program's hook (which keeps the window answering)
// and is false once the load was given up (Escape); the loaders then stop.
bool LoadGoesOn();
// The hook; null when nobody waits on the load. It returns false to give the load up.
extern bool (*KeepLoading)();
