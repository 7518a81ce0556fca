// The facts box: the facts of the shown model, gathered once per model, drawn on a backdrop.
#include "app/facts_box.h"

#include <d3d9.h>

#include <algorithm>
#include <cstdint>

#include "app/controls.h"
#include "app/viewer_state.h"
#include "base/device.h"
#include "base/disk_path.h"
#include "data/model_sources.h"
#include "model/animation_table.h"
#include "model/level_buffers.h"
#include "model/level_walk.h"
#include "model/model_catalogue.h"
#include "model/texture_pages.h"
#include "overlay/bitmap_font.h"
#include "overlay/overlays.h"

namespace {

// Below the frame counter (y -2..14), the model name (y 0) and the manifest note (y 20).
constexpr int32_t kTop = 40;
constexpr int32_t kRightMargin = 10;
// Never over the panels, which take presses left of x 150.
constexpr int32_t kLeftmost = 160;
// Never down into the slider strip, which starts at y 753.
constexpr int32_t kLowest = 748;
constexpr int32_t kPadding = 8;
constexpr int32_t kColumnGap = 14;
constexpr int32_t kFallbackRowHeight = 18;
constexpr int32_t kHelpGap = 12;

void CountLevels(ModelFacts& facts, const PieModel& record) {
  size_t pointBlock = static_cast<size_t>(std::max(record.pointStart, 0));
  size_t polygonBlock = static_cast<size_t>(std::max(record.polygonStart, 0));
  // A count that lies is stopped by the stores: every level takes at least two of their values.
  for (int32_t level = 0; level < record.levelCount; ++level) {
    size_t pointLength = 0, polygonLength = 0;
    int64_t polygons = 0;
    if (!levelwalk::WalkLevel(record, pointBlock, polygonBlock, pointLength, polygonLength, nullptr,
                              [&polygons](const levelwalk::PolygonView&) { ++polygons; })) {
      facts.blocksWhole = false;
      break;
    }
    facts.points += PointStore[pointBlock];
    facts.polygons += polygons;
    pointBlock += pointLength;
    polygonBlock += polygonLength;
  }
}

// The triangles as DrawLevelBuffer draws them: the entry's count when it has a buffer.
void CountTriangles(ModelFacts& facts, int32_t model, int32_t levels) {
  const int32_t first = FirstLevelBufferOf(model);
  if (first < 0) return;
  int64_t sum = 0;
  for (int64_t level = 0; level < levels; ++level) {
    const size_t position = static_cast<size_t>(first + level);
    if (position >= LevelBufferTable.size() || LevelBufferTable[position].model != model) break;
    const LevelBuffer& entry = LevelBufferTable[position];
    if (entry.buffer && entry.triangleCount > 0) sum += entry.triangleCount;
    facts.trianglesBefore.push_back(sum);
  }
}

void DescribePage(ModelFacts& facts, int32_t page) {
  if (page < 0 || static_cast<size_t>(page) >= TexturePageTable.size()) return;
  const TexturePage& entry = TexturePageTable[page];
  facts.pageName = entry.PageName;
  D3DSURFACE_DESC desc = {};
  if (entry.texture && SUCCEEDED(entry.texture->GetLevelDesc(0, &desc))) {
    facts.pageLoaded = true;
    facts.pageWidth = desc.Width;
    facts.pageHeight = desc.Height;
  }
}

void DescribeKeyframes(ModelFacts& facts, int32_t animation) {
  facts.animation = animation;
  if (animation < 0) return;
  if (static_cast<size_t>(animation) >= Animations.size() ||
      static_cast<size_t>(animation) >= AnimationCounters.size()) {
    facts.keyframes = KeyframeKind::Missing;
    return;
  }
  const Animation& a = Animations[animation];
  facts.keyframes = IsFramesAnimation(animation) ? KeyframeKind::Frames : KeyframeKind::Transform;
  facts.keyframeCount = a.frameCount;
  facts.keyframeRate = a.frameRate;
}

std::string Count(int64_t n) { return std::to_string(n); }

std::string TrianglesValue(const ModelFacts& facts, LevelRange drawn) {
  const std::string value = Count(TrianglesDrawn(facts, drawn));
  const std::string levels = std::to_string(facts.levels);
  if (facts.levels <= 0) return value + " (no levels)";
  if (drawn.end <= drawn.first) return value + " (no level this frame)";
  switch (facts.keyframes) {
    case KeyframeKind::None: return value + " (level 0 of " + levels + ")";
    case KeyframeKind::Frames:
      return value + " (level " + std::to_string(drawn.first) + " of " + levels + ", this frame)";
    case KeyframeKind::Transform:
    case KeyframeKind::Missing: break;
  }
  return value + (facts.levels == 1 ? " (its 1 level)" : " (all " + levels + " levels)");
}

std::string PageValue(const ModelFacts& facts) {
  if (facts.pageName.empty()) return "none";
  if (!facts.pageLoaded) return facts.pageName + ", not loaded";
  return facts.pageName + ", " + std::to_string(facts.pageWidth) + " x " + std::to_string(facts.pageHeight);
}

std::string KeyframesValue(const ModelFacts& facts) {
  const std::string timing = std::to_string(facts.keyframeCount) + " frames at " +
                             std::to_string(facts.keyframeRate) + " frames/s";
  switch (facts.keyframes) {
    case KeyframeKind::None: return "none";
    case KeyframeKind::Frames: return "frames, " + timing;
    case KeyframeKind::Transform: return "transform, " + timing;
    case KeyframeKind::Missing: return "number " + std::to_string(facts.animation) + ", not loaded";
  }
  return "none";
}

std::string FileValue(const ModelFacts& facts) {
  if (!facts.onDisk.empty()) return facts.onDisk;
  if (facts.loadedFrom.empty()) return "unknown";
  return facts.loadedFrom + " (not on disk now)";
}

// Names come from the data set and the disk: bytes the font has no glyph for (controls, a line
// break in a linked file's name, UTF-8) show as '?' instead of vanishing or breaking the line.
std::string Printable(std::string text) {
  for (char& c : text)
    if (c < 32 || c > 126) c = '?';
  return text;
}

// The text, cut at the front behind "..." when it is wider than the pixels allowed: the end of a
// path (the file's name) says the most.
std::string FitWidth(const std::string& text, int32_t pixels) {
  if (ScreenTextWidth(text.c_str()) <= pixels) return text;
  // Widths only grow with the part kept: search for the longest tail that fits.
  size_t keepLow = 0, keepHigh = text.size();
  while (keepLow < keepHigh) {
    const size_t keep = (keepLow + keepHigh + 1) / 2;
    if (ScreenTextWidth(("..." + text.substr(text.size() - keep)).c_str()) <= pixels)
      keepLow = keep;
    else
      keepHigh = keep - 1;
  }
  return "..." + text.substr(text.size() - keepLow);
}

// What the cached facts were gathered from; any difference means gathering them again.
struct FactsSource {
  int32_t model = -1;
  uint32_t generation = 0;
  PieModel record;  // its `frame` is left out of the comparison: the strip steps it
  std::string loadedFrom;
  size_t levelBuffers = 0, pages = 0, animations = 0;
  IDirect3DTexture9* pageTexture = nullptr;
};

IDirect3DTexture9* PageTexture(int32_t page) {
  if (page < 0 || static_cast<size_t>(page) >= TexturePageTable.size()) return nullptr;
  return TexturePageTable[page].texture;
}

FactsSource SourceOf(int32_t model) {
  FactsSource source;
  if (model < 0 || static_cast<size_t>(model) >= ModelCatalogue.size()) return source;
  source.model = model;
  source.generation = ModelCatalogueGeneration;
  source.record = ModelCatalogue[model];
  source.loadedFrom = ModelSourcePath(model);
  source.levelBuffers = LevelBufferTable.size();
  source.pages = TexturePageTable.size();
  source.animations = Animations.size();
  source.pageTexture = PageTexture(source.record.texturePage);
  return source;
}

// Compares in place, so that a frame copies nothing while the model stays the same.
bool StillTheSource(const FactsSource& held, int32_t model) {
  if (model < 0 || static_cast<size_t>(model) >= ModelCatalogue.size()) return held.model == -1;
  const PieModel& a = held.record;
  const PieModel& b = ModelCatalogue[model];
  return held.model == model && held.generation == ModelCatalogueGeneration && a.name == b.name &&
         a.texturePage == b.texturePage && a.levelCount == b.levelCount &&
         a.pointStart == b.pointStart && a.polygonStart == b.polygonStart &&
         a.animation == b.animation && a.animated == b.animated && a.frameCount == b.frameCount &&
         a.teamColors == b.teamColors && held.loadedFrom == ModelSourcePath(model) &&
         held.levelBuffers == LevelBufferTable.size() && held.pages == TexturePageTable.size() &&
         held.animations == Animations.size() && held.pageTexture == PageTexture(b.texturePage);
}

// The box as last laid out: its facts, lines and column widths, kept from frame to frame.
struct FactsBoxCache {
  bool filled = false;
  FactsSource source;
  ModelFacts facts;
  LevelRange drawn;
  std::vector<FactLine> lines;
  int32_t labelWidth = 0, valueWidth = 0, rowHeight = kFallbackRowHeight;
  int32_t screenWidth = 0;
  // The lines that fit the box as three texts of one line each ('\n' between them), so that the
  // box costs three text draws whatever its length: the headings, the labels and the values.
  size_t joinedLines = SIZE_MAX;
  std::string headings, labels, values;
};
FactsBoxCache cache;

void Measure(FactsBoxCache& c, int32_t screenWidth) {
  c.rowHeight = ScreenLineHeight() > 0 ? ScreenLineHeight() : kFallbackRowHeight;
  c.joinedLines = SIZE_MAX;
  c.labelWidth = 0;
  for (const FactLine& line : c.lines)
    if (!line.label.empty()) c.labelWidth = std::max(c.labelWidth, ScreenTextWidth(line.label.c_str()));
  const int32_t room = screenWidth - kRightMargin - kLeftmost - 2 * kPadding - kColumnGap - c.labelWidth;
  c.valueWidth = 0;
  for (FactLine& line : c.lines) {
    line.value = Printable(std::move(line.value));
    if (line.label.empty()) {
      line.value = FitWidth(line.value, room + kColumnGap + c.labelWidth);
      continue;
    }
    line.value = FitWidth(line.value, room);
    c.valueWidth = std::max(c.valueWidth, ScreenTextWidth(line.value.c_str()));
  }
  // A heading wider than both columns widens the value column.
  for (const FactLine& line : c.lines) {
    if (!line.label.empty()) continue;
    const int32_t over = ScreenTextWidth(line.value.c_str()) - c.labelWidth - kColumnGap;
    c.valueWidth = std::max(c.valueWidth, over);
  }
}

}  // namespace

ModelFacts GatherModelFacts(int32_t model) {
  ModelFacts facts;
  if (model < 0 || static_cast<size_t>(model) >= ModelCatalogue.size()) return facts;
  const PieModel& record = ModelCatalogue[model];
  facts.model = model;
  facts.name = record.name;
  facts.levels = record.levelCount;
  CountLevels(facts, record);
  CountTriangles(facts, model, record.levelCount);
  DescribePage(facts, record.texturePage);
  facts.stripAnimated = record.animated != 0;
  facts.stripFrames = record.animated ? record.frameCount : 0;
  DescribeKeyframes(facts, record.animation);
  facts.teamColoured = record.teamColors != 0;
  facts.loadedFrom = ModelSourcePath(model);
  facts.onDisk = PathFoundOnDisk(facts.loadedFrom.c_str());
  return facts;
}

int64_t TrianglesDrawn(const ModelFacts& facts, LevelRange drawn) {
  // Levels past the ones with table entries draw nothing.
  const int64_t known = static_cast<int64_t>(facts.trianglesBefore.size()) - 1;
  const int64_t first = std::clamp<int64_t>(drawn.first, 0, known);
  const int64_t end = std::clamp<int64_t>(drawn.end, first, known);
  return facts.trianglesBefore[static_cast<size_t>(end)] - facts.trianglesBefore[static_cast<size_t>(first)];
}

std::vector<FactLine> FactLines(const ModelFacts& facts, LevelRange drawn) {
  if (facts.model < 0) return {{"", "No model is shown"}};
  const char* cut = facts.blocksWhole ? "" : " (blocks cut short)";
  return {
      {"", "Model facts (I hides them)"},
      {"levels", Count(facts.levels)},
      {"points", Count(facts.points) + cut},
      {"polygons", Count(facts.polygons) + cut},
      {"triangles drawn", TrianglesValue(facts, drawn)},
      {"texture page", PageValue(facts)},
      {"strip frames", facts.stripAnimated ? Count(facts.stripFrames) : "none"},
      {"keyframes", KeyframesValue(facts)},
      {"team colours", facts.teamColoured ? "yes" : "no"},
      {"file on disk", FileValue(facts)},
  };
}

FactsBoxPlace PlaceFactsBox(int32_t screenWidth, int32_t screenHeight, int32_t labelWidth,
                            int32_t valueWidth, int32_t lineCount, int32_t rowHeight, bool belowHelp) {
  FactsBoxPlace place;
  place.right = screenWidth - kRightMargin;
  const int32_t width = 2 * kPadding + labelWidth + kColumnGap + valueWidth;
  place.left = std::max(place.right - width, kLeftmost);
  const int32_t height = 2 * kPadding + rowHeight * lineCount;
  const int32_t lowest = std::min(kLowest, screenHeight);
  place.top = kTop;
  if (belowHelp && HelpListBottom() + kHelpGap + height <= lowest) place.top = HelpListBottom() + kHelpGap;
  place.bottom = std::min(place.top + height, std::max(lowest, place.top));
  return place;
}

void DrawFactsBox() {
  FactsBoxCache& c = cache;
  D3DVIEWPORT9 viewport = {};
  if (!g_pd3dDevice || FAILED(g_pd3dDevice->GetViewport(&viewport))) return;
  const int32_t screenWidth = static_cast<int32_t>(viewport.Width);
  const int32_t screenHeight = static_cast<int32_t>(viewport.Height);

  const int32_t model = viewerState.displayedModel;
  const bool fresh = !c.filled || !StillTheSource(c.source, model);
  if (fresh) {
    c.source = SourceOf(model);
    c.facts = GatherModelFacts(c.source.model);
    c.filled = true;
  }
  const LevelRange drawn = c.source.model >= 0 ? LevelsDrawnNow(model) : LevelRange{};
  // A frames animation moves to another level on its beat: only that line changes then.
  if (fresh || drawn.first != c.drawn.first || drawn.end != c.drawn.end || screenWidth != c.screenWidth) {
    c.drawn = drawn;
    c.screenWidth = screenWidth;
    c.lines = FactLines(c.facts, drawn);
    Measure(c, screenWidth);
  }

  const int32_t lineCount = static_cast<int32_t>(c.lines.size());
  const FactsBoxPlace place = PlaceFactsBox(screenWidth, screenHeight, c.labelWidth, c.valueWidth,
                                            lineCount, c.rowHeight, viewerState.showHelp);
  // A screen too low for the whole box shows the lines that fit.
  const size_t fitting = static_cast<size_t>(
      std::clamp((place.bottom - place.top - 2 * kPadding) / c.rowHeight, 0, lineCount));
  if (fitting != c.joinedLines) {
    c.joinedLines = fitting;
    c.headings.clear();
    c.labels.clear();
    c.values.clear();
    for (size_t i = 0; i < fitting; ++i) {
      const FactLine& line = c.lines[i];
      c.headings += (line.label.empty() ? line.value : std::string()) + '\n';
      c.labels += line.label + '\n';
      c.values += (line.label.empty() ? std::string() : line.value) + '\n';
    }
  }

  DrawBackdrop(place.left, place.top, place.right, place.bottom);
  const int32_t x = place.left + kPadding, y = place.top + kPadding;
  DrawTextYellow(x, y, c.headings.c_str());
  DrawTextRgb(x, y, c.labels.c_str(), 255, 220, 120);
  DrawTextRgb(x + c.labelWidth + kColumnGap, y, c.values.c_str(), 255, 255, 255);
}
