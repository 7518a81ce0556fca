// The PIE parser: the words of one file in, a model record and its level blocks out.
#include "model/pie_parser.h"

#include <string_view>

#include "base/data_file.h"

namespace {

struct KindOfFlag {
  std::string_view flag;  // compared as views: lengths first, most words differ from most flags there
  int32_t kind;
};
const KindOfFlag kKinds[] = {
    {"200", 2},     {"a00", 20},    {"2200", 22},   {"2a00", 30},   {"4200", 42},
    {"4a00", 50},   {"6200", 62},   {"6a00", 70},   {"10200", 102}, {"10a00", 110},
    {"14200", 142}, {"14a00", 150}, {"16a00", 170},
};

// The words of the one file being parsed, and the record and blocks they fill.
struct PieInput {
  TokenReader words;
  PieParse& out;

  // The next word, a view into the input; false at the end of the input.
  bool ReadToken(std::string_view& word) { return words.Next(word); }

  bool ReadInt(int32_t& value) {
    std::string_view word;
    if (!ReadToken(word)) return false;
    value = WordToInt(word);
    return true;
  }

  // Reads `count` integers and appends them to the block. Nothing is reserved from the count: a
  // block grows only by what the file really holds, so a count that lies cannot make us allocate.
  bool AppendInts(std::vector<int32_t>& block, int64_t count) {
    for (int64_t i = 0; i < count; ++i) {
      int32_t value = 0;
      if (!ReadInt(value)) return false;
      block.push_back(value);
    }
    return true;
  }
};

bool IsAllDigits(std::string_view word) {
  if (word.empty()) return false;
  for (char c : word) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// page-3.pcx and page-3.bmp both name page-3.dds: the last four characters give way to ".dds".
// A word shorter than that is kept whole.
std::string WithDdsExtension(std::string_view word) {
  if (word.size() < 4) return std::string(word) + ".dds";
  return std::string(word.substr(0, word.size() - 4)) + ".dds";
}

// Reads from after "PIE" to the level count.
PieResult ParsePieHeader(PieInput& in) {
  std::string_view word;
  do {
    if (!in.ReadToken(word)) return PieResult::EndedEarly;
  } while (word != "TEXTURE");

  std::string_view textureType, firstName, next;
  if (!in.ReadToken(textureType) || !in.ReadToken(firstName) || !in.ReadToken(next))
    return PieResult::EndedEarly;

  // The page width follows the file name. A word of digits only right after the first name word
  // is that width, whatever its value (pages need not be 256 wide to load; their coordinates are
  // still texels over 256). Otherwise it is the name's second word, and the width is the next
  // word of digits only: reading stops there, never running on into the levels.
  std::string pageName;
  if (IsAllDigits(next)) {
    pageName = WithDdsExtension(firstName);
  } else {
    pageName = std::string(firstName) + " " + WithDdsExtension(next);
    do {
      if (!in.ReadToken(word)) return PieResult::EndedEarly;
    } while (!IsAllDigits(word));
  }

  // Page height, the keyword before the level count, and the level count.
  std::string_view height, keyword, levels;
  if (!in.ReadToken(height) || !in.ReadToken(keyword) || !in.ReadToken(levels))
    return PieResult::EndedEarly;
  const int32_t levelCount = WordToInt(levels);
  if (levelCount < 0) return PieResult::BadCount;

  PieModel& model = in.out.model;
  model.levelCount = levelCount;
  model.pointStart = model.polygonStart = model.connectorStart = 0;
  model.animated = 0;
  model.frameCount = 1;
  model.frame = 0;
  in.out.pageName = pageName;
  in.out.headerWhole = true;
  return PieResult::Ok;
}

PieResult ParsePoints(PieInput& in) {
  int32_t count = 0;
  if (!in.ReadInt(count)) return PieResult::EndedEarly;
  if (count < 0) return PieResult::BadCount;
  in.out.points.push_back(count);
  return in.AppendInts(in.out.points, int64_t{3} * count) ? PieResult::Ok : PieResult::EndedEarly;
}

PieResult ParsePolygons(PieInput& in) {
  std::vector<int32_t>& block = in.out.polygons;
  int32_t count = 0;
  if (!in.ReadInt(count)) return PieResult::EndedEarly;
  if (count < 0) return PieResult::BadCount;
  block.push_back(count);

  bool levelAnimated = false;
  int32_t levelFrameCount = 1;
  std::string_view flag;
  for (int32_t i = 0; i < count; ++i) {
    if (!in.ReadToken(flag)) return PieResult::EndedEarly;
    const int32_t kind = PolygonKindOf(flag);
    int32_t corners = 0;
    if (!in.ReadInt(corners)) return PieResult::EndedEarly;
    if (corners < 0) return PieResult::BadCount;
    block.push_back(kind);
    block.push_back(corners);
    if (corners >= 3) in.out.triangleBound += uint64_t(corners - 2) * (IsTwoSidedKind(kind) ? 2 : 1);
    if (!in.AppendInts(block, corners)) return PieResult::EndedEarly;
    if (IsAnimatedKind(kind)) {
      const size_t at = block.size();
      // frame count, rate, frame width, frame height
      if (!in.AppendInts(block, 4)) return PieResult::EndedEarly;
      levelAnimated = true;
      levelFrameCount = block[at];
    }
    if (!in.AppendInts(block, int64_t{2} * corners)) return PieResult::EndedEarly;
  }
  if (levelAnimated) {
    in.out.model.animated = 1;
    in.out.model.frameCount = levelFrameCount;
  }
  return PieResult::Ok;
}

// The word after a level's polygons is either its connector block ("CONNECTORS", or "BSP" and
// words up to "CONNECTORS") or the next level's level keyword, which is then consumed here:
// words are never pushed back. keywordTaken tells the next level which case it was.
PieResult ParseConnectors(PieInput& in, bool& keywordTaken) {
  PieModel& model = in.out.model;
  keywordTaken = false;
  std::string_view word;
  if (!in.ReadToken(word)) {
    model.connectorStart = -1;
    return PieResult::Ok;
  }
  if (word == "BSP") {
    bool found = false;
    while (in.ReadToken(word)) {
      if (word == "CONNECTORS") {
        found = true;
        break;
      }
    }
    if (!found) {
      model.connectorStart = -1;
      return PieResult::Ok;
    }
  }
  if (word != "CONNECTORS") {
    model.connectorStart = -1;
    keywordTaken = true;
    return PieResult::Ok;
  }
  int32_t count = 0;
  if (!in.ReadInt(count)) return PieResult::EndedEarly;
  if (count < 0) return PieResult::BadCount;
  in.out.connectors.push_back(count);
  return in.AppendInts(in.out.connectors, int64_t{3} * count) ? PieResult::Ok : PieResult::EndedEarly;
}

PieResult ParsePieLevels(PieInput& in) {
  bool keywordTaken = false;
  std::string_view word;
  for (int32_t level = 0; level < in.out.model.levelCount; ++level) {
    // Level keyword (unless the connector step took it), level number, points keyword.
    for (int i = keywordTaken ? 1 : 0; i < 3; ++i) {
      if (!in.ReadToken(word)) return PieResult::EndedEarly;
    }
    PieResult result = ParsePoints(in);
    if (result != PieResult::Ok) return result;
    if (!in.ReadToken(word)) return PieResult::EndedEarly;  // polygons keyword
    result = ParsePolygons(in);
    if (result != PieResult::Ok) return result;
    result = ParseConnectors(in, keywordTaken);
    if (result != PieResult::Ok) return result;
  }
  return PieResult::Ok;
}

}  // namespace

int32_t PolygonKindOf(std::string_view flagWord) {
  for (const KindOfFlag& k : kKinds) {
    if (flagWord == k.flag) return k.kind;
  }
  return 0;
}

bool IsAnimatedKind(int32_t kind) { return (kind >= 41 && kind <= 79) || (kind >= 142 && kind <= 170); }

bool IsTwoSidedKind(int32_t kind) { return kind == 22 || kind == 30 || kind == 62 || kind == 70; }

PieResult ParsePie(const char* begin, const char* end, PieParse& out) {
  out = PieParse();
  PieInput in{TokenReader(begin, end), out};
  std::string_view word;
  // A file that does not start with "PIE" is not a model.
  if (!in.ReadToken(word) || word != "PIE") return PieResult::NotPie;
  const PieResult result = ParsePieHeader(in);
  if (result != PieResult::Ok) return result;
  return ParsePieLevels(in);
}
