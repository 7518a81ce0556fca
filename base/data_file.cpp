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
bool LiesInDataSet(HANDLE file, std::string& below) {
  // The data set's folder is asked for once a load (the working folder does not change during
  // one), and at each read outside a load.
  static std::string folder;
  static uint32_t folderLoad = 0;
  if (!LoadInProgress() || folderLoad != LoadNumber() || folder.empty()) {
    folder = DataSetFolderOnDisk();
    folderLoad = LoadInProgress() ? LoadNumber() : 0;
  }
  return !folder.empty() && PathBelowFolder(FinalPathOf(file), folder, below);
}

enum class LinkLeads { kToFileInside, kToNoFile, kOutside };

// What a link leads to is looked at before it is opened for real: only a regular file inside the
// data set is opened.
LinkLeads WhereLinkLeads(const char* path) {
  HANDLE look = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (look == INVALID_HANDLE_VALUE) return LinkLeads::kToNoFile;
  std::string below;
  const LinkLeads leads = GetFileType(look) != FILE_TYPE_DISK ? LinkLeads::kToNoFile
                          : LiesInDataSet(look, below)        ? LinkLeads::kToFileInside
                                                              : LinkLeads::kOutside;
  CloseHandle(look);
  return leads;
}

class HeldHandle {
 public:
  explicit HeldHandle(HANDLE h) : h_(h) {}
  ~HeldHandle() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  HeldHandle(const HeldHandle&) = delete;
  HeldHandle& operator=(const HeldHandle&) = delete;
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

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

DataFileRead ReadDataSetFile(const char* path, std::vector<char>& contents, FileIdentity* identity,
                             uint64_t maxBytes, bool oncePerLoad) {
  contents.clear();
  if (!path || !path[0]) return DataFileRead::kCannotOpen;
  // The type first, from the name: a pipe, a socket or a device is never opened. A link reports
  // itself here, so what it leads to is looked at without opening it.
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0)
    return DataFileRead::kCannotOpen;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    const LinkLeads leads = WhereLinkLeads(path);
    if (leads == LinkLeads::kToNoFile) return DataFileRead::kCannotOpen;
    if (leads == LinkLeads::kOutside) return Refuse(path, kLeadsOutside);
  }

  HeldHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return DataFileRead::kCannotOpen;

  // Where the open file really is, every link followed: inside the data set's folder, and not a
  // file kvrview writes there. Nothing of it has been read yet.
  std::string below;
  if (!LiesInDataSet(file.get(), below)) return Refuse(path, kLeadsOutside);
  if (IsOwnOutputName(below)) return Refuse(path, "kvrview writes it");

  FileIdentity id;
  BY_HANDLE_FILE_INFORMATION info = {};
  // A file that turned into something else since its name was looked at is not read.
  if (!IdentityOf(file.get(), id, info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
    return DataFileRead::kCannotOpen;
  if (identity) *identity = id;
  if (!FirstReadInLoad(id) && oncePerLoad) return DataFileRead::kAlreadyRead;

  const uint64_t size = (uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  if (size > maxBytes) return DataFileRead::kCannotOpen;
  if (!CountBytesRead(size, path)) return DataFileRead::kRefused;
  contents.resize(static_cast<size_t>(size));
  DWORD read = 0;
  if (size != 0 && !(ReadFile(file.get(), contents.data(), static_cast<DWORD>(size), &read, nullptr) && read == size)) {
    contents.clear();
    return DataFileRead::kCannotOpen;
  }
  return DataFileRead::kRead;
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
