// DrawText's layout with made-up metrics (every character 10 pixels wide, tab stops every 40,
// lines 20 high): where each line starts, what it holds, and the rectangle DT_CALCRECT reports.
#include "d3dx9/text_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kvrd3dx::LayOutText;

struct Case {
  const char* name;
  std::u32string text;
  RECT rect;
  DWORD format;
  std::vector<std::u32string> lines;  // the characters each line draws
  std::vector<POINT> starts;          // each line's top left
  RECT bounds;
  int height;
};

TEST(TextLayout, PlacesLinesAsDrawTextDoes) {
  const RECT box = {100, 50, 200, 150};  // 100 x 100
  const Case cases[] = {
      {"left top", U"abc", box, DT_LEFT | DT_TOP, {U"abc"}, {{100, 50}}, {100, 50, 130, 70}, 20},
      {"centred", U"abc", box, DT_CENTER, {U"abc"}, {{135, 50}}, {135, 50, 165, 70}, 20},
      {"odd centring rounds toward zero", U"ab", {0, 0, 35, 10}, DT_CENTER, {U"ab"}, {{7, 0}}, {7, 0, 27, 20}, 20},
      {"right bottom", U"abc", box, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, {U"abc"}, {{170, 130}},
       {170, 130, 200, 150}, 20},
      {"vertically centred", U"ab", box, DT_VCENTER | DT_SINGLELINE, {U"ab"}, {{100, 90}}, {100, 90, 120, 110}, 20},
      {"several lines centred as a block", U"a\nbb", box, DT_VCENTER | DT_CENTER, {U"a", U"bb"},
       {{145, 80}, {140, 100}}, {140, 80, 160, 120}, 40},
      {"CR LF is one break", U"a\r\nb\rc", box, 0, {U"a", U"b", U"c"}, {{100, 50}, {100, 70}, {100, 90}},
       {100, 50, 110, 110}, 60},
      {"a last line break adds no line", U"ab\n", box, 0, {U"ab"}, {{100, 50}}, {100, 50, 120, 70}, 20},
      {"single line keeps breaks in the line", U"a\nb", box, DT_SINGLELINE, {U"a\nb"}, {{100, 50}},
       {100, 50, 120, 70}, 20},
      {"word break at the last space that fits", U"aaaa bbbb cc", box, DT_WORDBREAK, {U"aaaa bbbb", U"cc"},
       {{100, 50}, {100, 70}}, {100, 50, 190, 90}, 40},
      {"spaces at a break are swallowed", U"aaaa    bbbbbbb", box, DT_WORDBREAK, {U"aaaa", U"bbbbbbb"},
       {{100, 50}, {100, 70}}, {100, 50, 170, 90}, 40},
      {"a word wider than the box stays whole", U"aaaaaaaaaaaa b", box, DT_WORDBREAK, {U"aaaaaaaaaaaa", U"b"},
       {{100, 50}, {100, 70}}, {100, 50, 220, 90}, 40},
      {"a line that fits exactly is not broken", U"aaaa bbbbb", box, DT_WORDBREAK, {U"aaaa bbbbb"},
       {{100, 50}}, {100, 50, 200, 70}, 20},
      {"wrapped lines right-aligned", U"aaaa bbbb cc", box, DT_WORDBREAK | DT_RIGHT, {U"aaaa bbbb", U"cc"},
       {{110, 50}, {180, 70}}, {110, 50, 200, 90}, 40},
      {"single line ignores word break", U"aaaa bbbb cc", box, DT_WORDBREAK | DT_SINGLELINE, {U"aaaa bbbb cc"},
       {{100, 50}}, {100, 50, 220, 70}, 20},
      {"tabs reach the next stop", U"a\tb\tc", box, DT_EXPANDTABS, {U"a\tb\tc"}, {{100, 50}}, {100, 50, 190, 70},
       20},
      {"tabs without EXPANDTABS are characters", U"a\tb", box, 0, {U"a\tb"}, {{100, 50}}, {100, 50, 130, 70}, 20},
      {"text taller than the box goes past its bottom", U"a\nb\nc\nd\ne\nf", {0, 0, 50, 50}, DT_BOTTOM,
       {U"a", U"b", U"c", U"d", U"e", U"f"}, {{0, -70}, {0, -50}, {0, -30}, {0, -10}, {0, 10}, {0, 30}},
       {0, -70, 10, 50}, 120},
  };
  kvrd3dx::TextMetrics metrics;
  metrics.lineHeight = 20;
  metrics.tabWidth = 40;
  metrics.advance = [](char32_t) { return 10; };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<char32_t> text(c.text.begin(), c.text.end());
    const kvrd3dx::TextLayout layout = LayOutText(text, c.rect, c.format, metrics);
    ASSERT_EQ(layout.lines.size(), c.lines.size());
    for (size_t i = 0; i < c.lines.size(); ++i) {
      const kvrd3dx::TextLine& line = layout.lines[i];
      EXPECT_EQ(std::u32string(text.begin() + line.begin, text.begin() + line.end), c.lines[i]) << "line " << i;
      EXPECT_EQ(line.x, c.starts[i].x) << "line " << i;
      EXPECT_EQ(line.y, c.starts[i].y) << "line " << i;
    }
    EXPECT_EQ(layout.bounds.left, c.bounds.left);
    EXPECT_EQ(layout.bounds.top, c.bounds.top);
    EXPECT_EQ(layout.bounds.right, c.bounds.right);
    EXPECT_EQ(layout.bounds.bottom, c.bounds.bottom);
    EXPECT_EQ(layout.height, c.height);
  }
}

// A tab's advance depends on where the pen is; drawing must use the advances layout measured.
TEST(TextLayout, TabAdvancesFollowThePen) {
  kvrd3dx::TextMetrics metrics;
  metrics.lineHeight = 20;
  metrics.tabWidth = 40;
  metrics.advance = [](char32_t c) { return c == U'w' ? 35 : 10; };
  const std::u32string s = U"w\tab\tc";
  const std::vector<char32_t> text(s.begin(), s.end());
  const kvrd3dx::TextLayout layout = LayOutText(text, {0, 0, 500, 100}, DT_EXPANDTABS, metrics);
  ASSERT_EQ(layout.lines.size(), 1u);
  EXPECT_EQ(kvrd3dx::PenAdvances(text, layout.lines[0], DT_EXPANDTABS, metrics),
            (std::vector<int64_t>{35, 5, 10, 10, 20, 10}));
  EXPECT_EQ(layout.lines[0].width, 90);
}

}  // namespace
