// Data files: read whole through the layer's file API, then split into words and numbers.
#include "base/data_file.h"

#include <windows.h>

#include <initializer_list>
#include <limits>

#include "base/disk_path.h"
#include "base/error_log.h"
#include "base/problems.h"

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IdentityOf(HANDLE file, FileIdentity& identity, BY_HANDLE_FILE_INFORMATION& info) {
  if (!GetFileInformationByHandle(file, &info)) return false;
  identity.volume = info.dwVolumeSerialNumber;
  identity.index = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  return true;
}

const char kLeadsOutside[] = "it leads outside the data set";

// One line, and one problem, for a file that is not read.
DataFileRead Refuse(const char* path, const char* why) {
  ErrorLog::Write(std::string("Refused ") + path + ": " + why);
  ReportProblem(path, std::string("refused: ") + why);
  return DataFileRead::kRefused;
}

// Where the file of an open handle lies, every link followed: below the data set's folder (below
// then holds its path there), or not.
bool LiesInDataSet(HANDLE file, const std::string& folder, std::string& below) {
  return !folder.empty() && PathBelowFolder(FinalPathOf(file), folder, below);
}

enum class LinkLeads { kToFileInside, kToNoFile, kOutside };

// What a link leads to is looked at before it is opened for real: only a regular file inside the
// data set is opened.
LinkLeads WhereLinkLeads(const char* path, const std::string& folder) {
  HANDLE look = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (look == INVALID_HANDLE_VALUE) return LinkLeads::kToNoFile;
  std::string below;
  const LinkLeads leads = GetFileType(look) != FILE_TYPE_DISK ? LinkLeads::kToNoFile
                          : LiesInDataSet(look, folder, below) ? LinkLeads::kToFileInside
                                                              : LinkLeads::kOutside;
  CloseHandle(look);
  return leads;
}

}  // namespace

bool IsOwnOutputName(const std::string& name) {
  std::string lower(name);
  for (char& c : lower) c = LowerAscii(c);
  if (lower == "kvrerrors.log") return true;
  // kvrview-NNNN.png: four digits or more.
  const std::string head = "kvrview-", tail = ".png";
  if (lower.size() < head.size() + 4 + tail.size() || lower.compare(0, head.size(), head) != 0 ||
      lower.compare(lower.size() - tail.size(), tail.size(), tail) != 0)
    return false;
  for (size_t i = head.size(); i < lower.size() - tail.size(); ++i)
    if (lower[i] < '0' || lower[i] > '9') return false;
  return true;
}

std::string LoadFolderOnDisk() {
  // The data set's folder is asked for once a load (the working folder does not change during
  // one), and at each read outside a load.
  static std::string folder;
  static uint32_t folderLoad = 0;
  if (!LoadInProgress() || folderLoad != LoadNumber() || folder.empty()) {
    folder = DataSetFolderOnDisk();
    folderLoad = LoadInProgress() ? LoadNumber() : 0;
  }
  return folder;
}

void FileReadAhead::Reset() {
  if (handle_) CloseHandle(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
  found_ = Found::kNothing;
  read_ = Read::kLeft;
  tooLarge_ = false;
  identity_ = FileIdentity();
  size_ = 0;
  contents_.clear();
}

bool FilesReadAhead::Claim(const FileIdentity& file) {
  std::lock_guard<std::mutex> hold(mutex_);
  return files_.insert(file).second;
}

void ReadFileAhead(const char* path, const std::string& folder, uint64_t maxBytes, uint64_t aheadBytes,
                   FileReadAhead& ahead, FilesReadAhead* claimed) {
  using Found = FileReadAhead::Found;
  ahead.Reset();
  if (!path || !path[0]) return;
  // The type first, from the name: a pipe, a socket or a device is never opened. A link reports
  // itself here, so what it leads to is looked at without opening it.
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0)
    return;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    const LinkLeads leads = WhereLinkLeads(path, folder);
    if (leads == LinkLeads::kToNoFile) return;
    if (leads == LinkLeads::kOutside) {
      ahead.found_ = Found::kOutside;
      return;
    }
  }

  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  ahead.handle_ = file;  // closed by Reset

  // Where the open file really is, every link followed: inside the data set's folder, and not a
  // file kvrview writes there. Nothing of it has been read yet.
  std::string below;
  if (!LiesInDataSet(file, folder, below)) {
    ahead.found_ = Found::kOutside;
    return;
  }
  if (IsOwnOutputName(below)) {
    ahead.found_ = Found::kOwnOutput;
    return;
  }
  BY_HANDLE_FILE_INFORMATION info = {};
  // A file that turned into something else since its name was looked at is not read.
  if (!IdentityOf(file, ahead.identity_, info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
    return;
  ahead.found_ = Found::kOpened;
  ahead.size_ = (uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  ahead.tooLarge_ = ahead.size_ > maxBytes;
  if (ahead.tooLarge_ || ahead.size_ > aheadBytes || (claimed && !claimed->Claim(ahead.identity_))) return;
  // Read now, whether or not the load will want it: a small file costs little, and what the load
  // refuses is dropped unused.
  ahead.contents_.resize(static_cast<size_t>(ahead.size_));
  DWORD read = 0;
  const bool whole = ahead.size_ == 0 || (ReadFile(file, ahead.contents_.data(), static_cast<DWORD>(ahead.size_),
                                                   &read, nullptr) && read == ahead.size_);
  ahead.read_ = whole ? FileReadAhead::Read::kWhole : FileReadAhead::Read::kFailed;
  if (!whole) ahead.contents_.clear();
  CloseHandle(file);
  ahead.handle_ = nullptr;
}

DataFileRead AcceptFileRead(const char* path, FileReadAhead& ahead, std::vector<char>& contents,
                            FileIdentity* identity, bool oncePerLoad) {
  using Found = FileReadAhead::Found;
  contents.clear();
  switch (ahead.found_) {
    case Found::kNothing: return DataFileRead::kCannotOpen;
    case Found::kOutside: return Refuse(path, kLeadsOutside);
    case Found::kOwnOutput: return Refuse(path, "kvrview writes it");
    case Found::kOpened: break;
  }
  if (identity) *identity = ahead.identity_;
  if (!FirstReadInLoad(ahead.identity_) && oncePerLoad) return DataFileRead::kAlreadyRead;
  if (ahead.tooLarge_) return DataFileRead::kCannotOpen;
  if (!CountBytesRead(ahead.size_, path)) return DataFileRead::kRefused;
  if (ahead.read_ == FileReadAhead::Read::kLeft) {
    ahead.contents_.resize(static_cast<size_t>(ahead.size_));
    DWORD read = 0;
    const bool whole = ahead.size_ == 0 ||
                       (ReadFile(static_cast<HANDLE>(ahead.handle_), ahead.contents_.data(),
                                 static_cast<DWORD>(ahead.size_), &read, nullptr) && read == ahead.size_);
    ahead.read_ = whole ? FileReadAhead::Read::kWhole : FileReadAhead::Read::kFailed;
  }
  if (ahead.read_ != FileReadAhead::Read::kWhole) return DataFileRead::kCannotOpen;
  contents.swap(ahead.contents_);
  return DataFileRead::kRead;
}

DataFileRead ReadDataSetFile(const char* path, std::vector<char>& contents, FileIdentity* identity,
                             uint64_t maxBytes, bool oncePerLoad) {
  FileReadAhead ahead;
  ReadFileAhead(path, path && path[0] ? LoadFolderOnDisk() : std::string(), maxBytes, 0, ahead);
  return AcceptFileRead(path, ahead, contents, identity, oncePerLoad);
}

bool ReadListedFile(const std::string& path, std::vector<char>& contents, const std::string& cannotOpenLine,
                    const char* cannotOpenProblem, bool oncePerLoad) {
  switch (ReadDataSetFile(path.c_str(), contents, nullptr, kMaxDataFileBytes, oncePerLoad)) {
    case DataFileRead::kRead: return true;
    case DataFileRead::kCannotOpen:
      ErrorLog::Write(cannotOpenLine);
      ReportProblem(path, cannotOpenProblem);
      return false;
    case DataFileRead::kRefused: return false;
    case DataFileRead::kAlreadyRead:
      ErrorLog::Write("Already read in this load, not read again: " + path);
      ReportProblem(path, "already read in this load (not read again)");
      return false;
  }
  return false;
}

bool ReadDataFile(const char* path, std::vector<char>& contents, size_t maxBytes) {
  return ReadDataSetFile(path, contents, nullptr, maxBytes) == DataFileRead::kRead;
}

namespace {

// Blank, tab, line feed, carriage return, vertical tab and form feed separate words.
struct BlankTable {
  bool blank[256] = {};
  constexpr BlankTable() {
    for (unsigned char c : {' ', '\t', '\n', '\r', '\v', '\f'}) blank[c] = true;
  }
};
constexpr BlankTable kBlanks;

inline bool IsBlank(char c) { return kBlanks.blank[static_cast<unsigned char>(c)]; }

}  // namespace

bool TokenReader::AtEnd() {
  while (p_ < end_ && IsBlank(*p_)) ++p_;
  return p_ >= end_;
}

bool TokenReader::Next(std::string_view& word) {
  if (AtEnd()) {
    word = std::string_view();
    return false;
  }
  const char* start = p_;
  while (p_ < end_ && !IsBlank(*p_)) ++p_;
  word = std::string_view(start, static_cast<size_t>(p_ - start));
  return true;
}

bool TokenReader::Next(std::string& word) {
  std::string_view view;
  const bool found = Next(view);
  word.assign(view.data(), view.size());
  return found;
}

int32_t WordToInt(std::string_view word) {
  size_t i = 0;
  bool negative = false;
  if (i < word.size() && (word[i] == '+' || word[i] == '-')) negative = word[i++] == '-';
  int64_t value = 0;
  for (; i < word.size() && word[i] >= '0' && word[i] <= '9'; ++i) {
    value = value * 10 + (word[i] - '0');
    if (value > (int64_t{1} << 32)) value = int64_t{1} << 32;  // keep saturating, never overflow
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}
