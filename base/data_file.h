// Data files of the data set: read whole into memory, then taken apart word by word.
//
// Every data file (manifests, PIE, ANIM3D) is a sequence of words separated by white space. A
// word is read whole, however long: cutting it into pieces would shift every word after it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "base/ceilings.h"
#include "base/load_bounds.h"

enum class DataFileRead {
  kRead,         // contents hold the whole file
  kCannotOpen,   // missing, unreadable, not a regular file or larger than maxBytes: the caller says so
  kRefused,      // it leads outside the data set, kvrview writes it, or the load's ceiling is
                 // reached: one log line (and problem) already says so
  kAlreadyRead,  // this load read it before, under this name or another: nothing is read
};

// Reads the file at a data-set path (backslashes and any letter case, as written on Windows),
// relative to the data set's folder (the working folder), and only a file that lies inside it once
// every link is followed. Its type is known before it is opened: a pipe, a socket or a device is
// never opened, never waited for and never read. A file that lies outside the folder, or is
// kvrview's own log or one of its pictures, is refused without one of its bytes being read. In a
// load, a file read before (by its identity on disk) is not read again. identity, when given,
// receives the file's identity whenever it was opened (kRead and kAlreadyRead).
// A manifest (at most nine, by the start-up manifest's pairs) may be read again: oncePerLoad false.
DataFileRead ReadDataSetFile(const char* path, std::vector<char>& contents, FileIdentity* identity = nullptr,
                             uint64_t maxBytes = kMaxDataFileBytes, bool oncePerLoad = true);
// The files read ahead so far, by identity, shared by the threads reading ahead: a file listed
// many times is read ahead once, the other times left to its turn (when the load finds it read).
class FilesReadAhead {
 public:
  // True the first time the file is claimed.
  bool Claim(const FileIdentity& file);

 private:
  std::mutex mutex_;
  std::unordered_set<FileIdentity, FileIdentityHash> files_;
};
// ReadDataSetFile in two steps, for a load that reads ahead on worker threads. The first looks at
// the file and reads it when it holds at most aheadBytes, touching no log and no table of the
// load; the second applies the load's rules on the main thread, in the load's order (the file met
// before, the bytes' ceiling, the log's lines), and reads what the first left. Together they do
// exactly what ReadDataSetFile does.
class FileReadAhead {
 public:
  FileReadAhead() = default;
  ~FileReadAhead() { Reset(); }
  FileReadAhead(const FileReadAhead&) = delete;
  FileReadAhead& operator=(const FileReadAhead&) = delete;
  // Closes what is open and forgets what was found.
  void Reset();
  // Whether contents hold the whole file already.
  bool HasBytes() const { return found_ == Found::kOpened && read_ == Read::kWhole; }
  const std::vector<char>& Contents() const { return contents_; }

 private:
  friend void ReadFileAhead(const char*, const std::string&, uint64_t, uint64_t, FileReadAhead&, FilesReadAhead*);
  friend DataFileRead AcceptFileRead(const char*, FileReadAhead&, std::vector<char>&, FileIdentity*, bool);
  enum class Found { kNothing, kOutside, kOwnOutput, kOpened };
  enum class Read { kLeft, kWhole, kFailed };
  Found found_ = Found::kNothing;
  Read read_ = Read::kLeft;
  bool tooLarge_ = false;
  FileIdentity identity_;
  uint64_t size_ = 0;
  void* handle_ = nullptr;  // open while the bytes are left to read
  std::vector<char> contents_;
};
// folderOnDisk is LoadFolderOnDisk(), asked on the main thread; claimed, when given, decides
// whether the bytes are read ahead.
void ReadFileAhead(const char* path, const std::string& folderOnDisk, uint64_t maxBytes, uint64_t aheadBytes,
                   FileReadAhead& ahead, FilesReadAhead* claimed = nullptr);
DataFileRead AcceptFileRead(const char* path, FileReadAhead& ahead, std::vector<char>& contents,
                            FileIdentity* identity = nullptr, bool oncePerLoad = true);
// The data set's folder as a final path, as this load's reads compare their files with it.
std::string LoadFolderOnDisk();

// The same for a file a load meets: true when it was read. Otherwise the log has its line: the
// caller's own (cannotOpenLine, and cannotOpenProblem for --check) for a file that cannot be
// opened, "Already read" for one this load read before, the refusal's for a refused one.
bool ReadListedFile(const std::string& path, std::vector<char>& contents, const std::string& cannotOpenLine,
                    const char* cannotOpenProblem, bool oncePerLoad = true);
// The same, true only when the file was read.
bool ReadDataFile(const char* path, std::vector<char>& contents, size_t maxBytes = kMaxDataFileBytes);

// True for the names of the files kvrview writes into the data set's folder (KVRerrors.log,
// kvrview-0001.png, ...), whatever their letter case: never read as data, never watched.
bool IsOwnOutputName(const std::string& nameInFolder);

class TokenReader {
 public:
  TokenReader(const char* begin, const char* end) : p_(begin), end_(end) {}
  explicit TokenReader(const std::vector<char>& contents)
      : p_(contents.data()), end_(contents.data() + contents.size()) {}

  // The next word; false at the end of the input. The view points into the input and lives as
  // long as it does.
  bool Next(std::string_view& word);
  bool Next(std::string& word);
  bool AtEnd();

 private:
  const char* p_;
  const char* end_;
};

// The value of a word's leading decimal number (optional sign, then digits); 0 when it has none.
// Values beyond 32 bits saturate instead of overflowing.
int32_t WordToInt(std::string_view word);
