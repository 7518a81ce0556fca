#include "model/pie_parser.h"

#include <string_view>

#include "data/animations.h"
#include "data/data_file.h"
#include "data/model_catalogue.h"
#include "model/texture_pages.h"

std::vector<int32_t> PointStore;
std::vector<int32_t> PolygonStore;
std::vector<int32_t> ConnectorStore;

namespace {

TokenReader* pieInput = nullptr;

struct KindOfFlag {
  std::string_view flag;  // lengths compared first: most words differ from most flags in length
  int32_t kind;
};
const KindOfFlag kKinds[] = {
    {"200", 2},     {"a00", 20},    {"2200", 22},   {"2a00", 30},   {"4200", 42},
    {"4a00", 50},   {"6200", 62},   {"6a00", 70},   {"10200", 102}, {"10a00", 110},
    {"14200", 142}, {"14a00", 150}, {"16a00", 170},
};

bool ReadInt(int32_t& value) {
  std::string word;
  if (!ReadToken(word)) return false;
  value = WordToInt(word);
  return true;
}

// Reads `count` integers and appends them to the store. Nothing is reserved from the count: the
// store grows only by what the file really holds, so a count that lies cannot make us allocate.
bool AppendInts(std::vector<int32_t>& store, int64_t count) {
  for (int64_t i = 0; i < count; ++i) {
    int32_t value = 0;
    if (!ReadInt(value)) return false;
    store.push_back(value);
  }
  return true;
}

bool IsAllDigits(const std::string& word) {
  if (word.empty()) return false;
  for (char c : word) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// page-3.pcx and page-3.bmp both name page-3.dds: the last four characters give way to ".dds".
// A word shorter than that is kept whole.
std::string WithDdsExtension(const std::string& word) {
  if (word.size() < 4) return word + ".dds";
  return word.substr(0, word.size() - 4) + ".dds";
}

PieResult ParsePoints() {
  int32_t count = 0;
  if (!ReadInt(count)) return PieResult::EndedEarly;
  if (count < 0) return PieResult::BadCount;
  PointStore.push_back(count);
  return AppendInts(PointStore, int64_t{3} * count) ? PieResult::Ok : PieResult::EndedEarly;
}

PieResult ParsePolygons(PieModel& model) {
  int32_t count = 0;
  if (!ReadInt(count)) return PieResult::EndedEarly;
  if (count < 0) return PieResult::BadCount;
  PolygonStore.push_back(count);

  bool levelAnimated = false;
  int32_t levelFrameCount = 1;
  for (int32_t i = 0; i < count; ++i) {
    std::string flag;
    if (!ReadToken(flag)) return PieResult::EndedEarly;
    int32_t kind = PolygonKindOf(flag);
    int32_t corners = 0;
    if (!ReadInt(corners)) return PieResult::EndedEarly;
    if (corners < 0) return PieResult::BadCount;
    PolygonStore.push_back(kind);
    PolygonStore.push_back(corners);
    if (!AppendInts(PolygonStore, corners)) return PieResult::EndedEarly;
    if (IsAnimatedKind(kind)) {
      size_t at = PolygonStore.size();
      // frame count, rate, frame width, frame height
      if (!AppendInts(PolygonStore, 4)) return PieResult::EndedEarly;
      levelAnimated = true;
      levelFrameCount = PolygonStore[at];
    }
    if (!AppendInts(PolygonStore, int64_t{2} * corners)) return PieResult::EndedEarly;
  }
  if (levelAnimated) {
    model.animated = 1;
    model.frameCount = levelFrameCount;
  }
  return PieResult::Ok;
}

// The word after a level's polygons is either its connector block ("CONNECTORS", or "BSP" and
// words up to "CONNECTORS") or the next level's level keyword, which is then consumed here:
// words are never pushed back. keywordTaken tells the next level which case it was.
PieResult ParseConnectors(PieModel& model, bool& keywordTaken) {
  keywordTaken = false;
  std::string word;
  if (!ReadToken(word)) {
    model.connectorStart = -1;
    return PieResult::Ok;
  }
  if (word == "BSP") {
    bool found = false;
    while (ReadToken(word)) {
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
  if (!ReadInt(count)) return PieResult::EndedEarly;
  if (count < 0) return PieResult::BadCount;
  ConnectorStore.push_back(count);
  return AppendInts(ConnectorStore, int64_t{3} * count) ? PieResult::Ok : PieResult::EndedEarly;
}

}  // namespace

int32_t PolygonKindOf(const std::string& flagWord) {
  for (const KindOfFlag& k : kKinds) {
    if (flagWord == k.flag) return k.kind;
  }
  return 0;
}

bool IsAnimatedKind(int32_t kind) { return (kind >= 41 && kind <= 79) || (kind >= 142 && kind <= 170); }

bool IsTwoSidedKind(int32_t kind) { return kind == 22 || kind == 30 || kind == 62 || kind == 70; }

void SetPieInput(TokenReader* input) { pieInput = input; }

bool ReadToken(std::string& word) {
  if (!pieInput) {
    word.clear();
    return false;
  }
  return pieInput->Next(word);
}

PieResult ParsePieHeader(PieModel& model) {
  std::string word;
  do {
    if (!ReadToken(word)) return PieResult::EndedEarly;
  } while (word != "TEXTURE");

  std::string textureType, firstName, next;
  if (!ReadToken(textureType) || !ReadToken(firstName) || !ReadToken(next))
    return PieResult::EndedEarly;

  // The page width follows the file name. A word of digits only right after the first name word
  // is that width, whatever its value (pages need not be 256 wide to load; their coordinates are
  // still texels over 256). Otherwise it is the name's second word, and the width is the next
  // word of digits only: reading stops there, never running on into the levels.
  std::string pageName;
  if (IsAllDigits(next)) {
    pageName = WithDdsExtension(firstName);
  } else {
    pageName = firstName + " " + WithDdsExtension(next);
    do {
      if (!ReadToken(word)) return PieResult::EndedEarly;
    } while (!IsAllDigits(word));
  }

  // Page height, the keyword before the level count, and the level count.
  std::string height, keyword, levels;
  if (!ReadToken(height) || !ReadToken(keyword) || !ReadToken(levels)) return PieResult::EndedEarly;
  int32_t levelCount = WordToInt(levels);
  if (levelCount < 0) return PieResult::BadCount;

  // The page is asked for only once the header is known to be whole, so a file cut inside its
  // header has no effect on the page table.
  model.texturePage = LoadTexturePage(pageName.c_str());
  model.pointStart = static_cast<int32_t>(PointStore.size());
  model.polygonStart = static_cast<int32_t>(PolygonStore.size());
  model.connectorStart = static_cast<int32_t>(ConnectorStore.size());
  model.levelCount = levelCount;

  // The manifest name carries ".pie".
  model.name.resize(model.name.size() >= 4 ? model.name.size() - 4 : 0);
  model.animation = FindAnimation(model.name.c_str());
  model.animated = 0;
  model.frameCount = 1;
  model.frame = 0;
  model.teamColors = TeamColorsFlag ? 1 : 0;
  return PieResult::Ok;
}

PieResult ParsePieLevels(int32_t levelCount) {
  if (ModelCatalogue.empty()) return PieResult::BadCount;
  PieModel& model = ModelCatalogue.back();
  bool keywordTaken = false;
  std::string word;
  for (int32_t level = 0; level < levelCount; ++level) {
    // Level keyword (unless the connector step took it), level number, points keyword.
    for (int i = keywordTaken ? 1 : 0; i < 3; ++i) {
      if (!ReadToken(word)) return PieResult::EndedEarly;
    }
    PieResult result = ParsePoints();
    if (result != PieResult::Ok) return result;
    if (!ReadToken(word)) return PieResult::EndedEarly;  // polygons keyword
    result = ParsePolygons(model);
    if (result != PieResult::Ok) return result;
    result = ParseConnectors(model, keywordTaken);
    if (result != PieResult::Ok) return result;
  }
  return PieResult::Ok;
}

int32_t LevelCountOf(int32_t model) {
  if (model < 0 || static_cast<size_t>(model) >= ModelCatalogue.size()) return 0;
  return ModelCatalogue[model].levelCount;
}

int32_t TexturePageOf(int32_t model) {
  if (model < 0 || static_cast<size_t>(model) >= ModelCatalogue.size()) return -1;
  return ModelCatalogue[model].texturePage;
}

int32_t AnimationOf(int32_t model) {
  if (model < 0 || static_cast<size_t>(model) >= ModelCatalogue.size()) return -1;
  return ModelCatalogue[model].animation;
}
