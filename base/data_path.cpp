// Paths from data files: the check that keeps every file the data set names inside its folder.
#include "base/data_path.h"

#include <string>

#include "base/error_log.h"
#include "base/problems.h"

bool DataPathParts(std::string_view path, std::vector<std::string_view>& parts) {
  parts.clear();
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find_first_of("/\\", start);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view part = path.substr(start, end - start);
    if (part == "..") {
      if (parts.empty()) return false;
      parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  return true;
}

const char* DataPathRefusal(std::string_view path) {
  if (path.find('\0') != std::string_view::npos) return "the name holds a NUL byte";
  if (!path.empty() && (path[0] == '/' || path[0] == '\\')) return "the path is absolute";
  // A drive ("C:x"), or a stream or device name on Windows ("file:stream", "COM1:").
  if (path.find(':') != std::string_view::npos) return "the path names a drive";
  std::vector<std::string_view> parts;
  if (!DataPathParts(path, parts)) return "the path climbs out of the data set";
  return nullptr;
}

bool DataPathAllowed(std::string_view path) {
  const char* why = DataPathRefusal(path);
  if (!why) return true;
  ErrorLog::Write("Refused " + std::string(path) + ": " + why);
  ReportProblem(path, std::string("refused: ") + why);
  return false;
}
