// Line breaking and alignment for ID3DXFont::DrawText, as user32's DrawText lays text out:
// lines end at CR, LF or CR LF (not under DT_SINGLELINE, where they draw nothing); DT_WORDBREAK
// breaks a line after the last space that lets it fit the rectangle's width and swallows the
// spaces at the break, and a word wider than the rectangle stays whole on a line of its own;
// DT_EXPANDTABS puts tab stops every `tabWidth` pixels. Each line is placed left, centred
// ((left + right - width) / 2) or right; the block of lines top, centred or at the bottom.
#include "d3dx9/text_layout.h"

#include <algorithm>
#include <climits>

namespace kvrd3dx {
namespace {

bool IsBreak(char32_t c) { return c == U'\n' || c == U'\r'; }

// Saturating sum, so that a hostile run of wide characters cannot overflow.
int64_t Add(int64_t a, int64_t b) {
  const int64_t limit = int64_t{1} << 40;
  return std::clamp<int64_t>(a + b, -limit, limit);
}

int64_t Advance(char32_t c, int64_t pen, DWORD format, const TextMetrics& m) {
  if (c == U'\t' && (format & DT_EXPANDTABS)) {
    const int64_t stop = std::max(m.tabWidth, 1);
    return (pen / stop + 1) * stop - pen;
  }
  if (IsBreak(c)) return 0;
  return m.advance ? m.advance(c) : 0;
}

int64_t Width(const std::vector<char32_t>& text, size_t begin, size_t end, DWORD format, const TextMetrics& m) {
  int64_t pen = 0;
  for (size_t i = begin; i < end; ++i) pen = Add(pen, Advance(text[i], pen, format, m));
  return pen;
}

// Where the line that starts at `begin` ends; `next` is where the line after it starts.
size_t LineEnd(const std::vector<char32_t>& text, size_t begin, int64_t maxWidth, DWORD format,
               const TextMetrics& m, size_t& next) {
  const bool single = (format & DT_SINGLELINE) != 0;
  const bool wrap = (format & DT_WORDBREAK) && !single;
  int64_t pen = 0;
  size_t lastBreak = SIZE_MAX;  // index of the space after the last word that fitted
  for (size_t i = begin; i < text.size(); ++i) {
    const char32_t c = text[i];
    if (!single && IsBreak(c)) {
      next = i + 1;
      if (c == U'\r' && next < text.size() && text[next] == U'\n') ++next;
      return i;
    }
    if (wrap && c == U' ' && (i == begin || text[i - 1] != U' ')) lastBreak = i;
    pen = Add(pen, Advance(c, pen, format, m));
    if (wrap && pen > maxWidth && c != U' ' && lastBreak != SIZE_MAX && lastBreak > begin) {
      next = lastBreak;
      while (next < text.size() && text[next] == U' ') ++next;
      return lastBreak;
    }
  }
  next = text.size();
  return text.size();
}

}  // namespace

std::vector<int64_t> PenAdvances(const std::vector<char32_t>& text, const TextLine& line, DWORD format,
                                 const TextMetrics& metrics) {
  std::vector<int64_t> out;
  out.reserve(line.end - line.begin);
  int64_t pen = 0;
  for (size_t i = line.begin; i < line.end && i < text.size(); ++i) {
    const int64_t a = Advance(text[i], pen, format, metrics);
    out.push_back(a);
    pen = Add(pen, a);
  }
  return out;
}

TextLayout LayOutText(const std::vector<char32_t>& text, const RECT& rect, DWORD format, const TextMetrics& m) {
  TextLayout layout;
  const int64_t left = rect.left, right = rect.right, top = rect.top, bottom = rect.bottom;
  const int64_t lineHeight = std::max(m.lineHeight, 0);

  size_t begin = 0;
  while (begin < text.size()) {
    size_t next = begin;
    const size_t end = LineEnd(text, begin, right - left, format, m, next);
    TextLine line;
    line.begin = begin;
    line.end = end;
    line.width = Width(text, begin, end, format, m);
    layout.lines.push_back(line);
    begin = std::max(next, begin + 1);
    if (next == text.size() && end < text.size() && !(format & DT_SINGLELINE)) {
      // Text that ends with a line break ends there: no empty line after it.
      break;
    }
  }

  const int64_t total = static_cast<int64_t>(layout.lines.size()) * lineHeight;
  int64_t y = top;
  if (format & DT_VCENTER)
    y = top + (bottom - top - total) / 2;
  else if (format & DT_BOTTOM)
    y = bottom - total;

  int64_t minX = INT64_MAX, maxX = INT64_MIN;
  for (TextLine& line : layout.lines) {
    line.y = y;
    y = Add(y, lineHeight);
    if (format & DT_CENTER)
      line.x = (left + right - line.width) / 2;
    else if (format & DT_RIGHT)
      line.x = right - line.width;
    else
      line.x = left;
    minX = std::min(minX, line.x);
    maxX = std::max(maxX, line.x + line.width);
  }
  layout.height = total;

  auto clampLong = [](int64_t v) { return static_cast<LONG>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
  if (layout.lines.empty()) {
    layout.bounds = {rect.left, rect.top, rect.left, rect.top};
    return layout;
  }
  // The rectangle the text covers: the same format drawn into it puts every line where it was.
  const bool leftAligned = !(format & (DT_CENTER | DT_RIGHT));
  const bool topAligned = !(format & (DT_VCENTER | DT_BOTTOM));
  layout.bounds.left = leftAligned ? rect.left : clampLong(minX);
  layout.bounds.right = leftAligned ? clampLong(left + (maxX - left)) : clampLong(maxX);
  layout.bounds.top = topAligned ? rect.top : clampLong(layout.lines.front().y);
  layout.bounds.bottom = clampLong((topAligned ? top : layout.lines.front().y) + total);
  return layout;
}

}  // namespace kvrd3dx
