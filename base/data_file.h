// Data files of the data set: read whole into memory, then taken apart word by word.
//
// Every data file (manifests, PIE, ANIM3D) is a sequence of words separated by white space. A
// word is read whole, however long: cutting it into pieces would shift every word after it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Reads the file at a data-set path (backslashes and any letter case, as written on Windows).
// False when it cannot be opened or read, is not a regular file (a pipe or a device is never read,
// and never waited for), or is larger than maxBytes.
bool ReadDataFile(const char* path, std::vector<char>& contents, size_t maxBytes = 64u << 20);

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
