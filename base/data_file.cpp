// Data files: read whole through the layer's file API, then split into words and numbers.
#include "base/data_file.h"

#include <windows.h>

#include <initializer_list>
#include <limits>

bool ReadDataFile(const char* path, std::vector<char>& contents, size_t maxBytes) {
  contents.clear();
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return false;
  }
  DWORD high = 0;
  DWORD low = GetFileSize(file, &high);
  uint64_t size = (static_cast<uint64_t>(high) << 32) | low;
  bool ok = !(low == INVALID_FILE_SIZE && high == 0) && size <= maxBytes;
  if (ok) {
    contents.resize(static_cast<size_t>(size));
    DWORD read = 0;
    ok = size == 0 || (ReadFile(file, contents.data(), static_cast<DWORD>(size), &read, nullptr) &&
                       read == size);
  }
  CloseHandle(file);
  if (!ok) contents.clear();
  return ok;
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
