// Where each line of a DrawText call goes: line breaks, word wrapping, tab stops, alignment in the
// rectangle and the rectangle DT_CALCRECT reports. Knows nothing of fonts beyond an advance per
// character and a line height, so it can be tried with made-up metrics.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace kvrd3dx {

// One line: the characters text[begin, end) drawn from (x, y), the top left of its cell.
// Characters that draw nothing (line breaks, the spaces a wrap swallows) are outside the range.
struct TextLine {
  size_t begin = 0;
  size_t end = 0;
  int64_t x = 0;
  int64_t y = 0;
  int64_t width = 0;
};

struct TextMetrics {
  int lineHeight = 0;
  int tabWidth = 0;                                // distance between tab stops (DT_EXPANDTABS)
  std::function<int(char32_t)> advance;            // pen advance of one character, in pixels
};

struct TextLayout {
  std::vector<TextLine> lines;
  RECT bounds = {0, 0, 0, 0};  // what DT_CALCRECT writes back
  int64_t height = 0;          // what DrawText returns
};

// Lays `text` out in `rect` with the DT_ flags of `format`. The pen advance of a tab under
// DT_EXPANDTABS is to the next stop, measured from the line's start; PenAdvances gives each
// character's advance on a laid-out line so that drawing and layout agree.
TextLayout LayOutText(const std::vector<char32_t>& text, const RECT& rect, DWORD format, const TextMetrics& metrics);

// The advance of each character of text[line.begin, line.end), tabs expanded when asked.
std::vector<int64_t> PenAdvances(const std::vector<char32_t>& text, const TextLine& line, DWORD format,
                                 const TextMetrics& metrics);

}  // namespace kvrd3dx
