// kvrview --import: a model of another tool (glTF, OBJ, FBX, Collada, read by assimp) written as
// a PIE model and a DDS page, optionally into a data set and its category's manifest.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "exchange/gltf_export.h"

struct ImportRequest {
  std::string source;    // the file read
  std::string output;    // NAME.pie; with `into`, only its file name counts
  std::string page;      // the page's name, empty: the model's name
  std::string into;      // a data set's folder, empty: write beside `output`
  std::string category;  // with `into`: the category whose manifest lists the model
  double scale = kDefaultExchangeScale;  // metres per viewer unit
};

struct ImportOutcome {
  int code = 0;          // 0 written, 1 refused (nothing written), 2 `into` holds no data set
  std::string message;   // the one line saying why, naming the file and the limit
  std::string summary;   // what was written
};

ImportOutcome ImportModel(const ImportRequest& request);

// The model as a PIE file and its page as DDS bytes, read from a file held in memory (`hint` is
// its extension): what the fuzz target drives. False with `why` when it is refused.
struct ImportedModel {
  std::string pie;
  std::string dds;
  uint64_t points = 0, triangles = 0;
};
bool ImportFromMemory(const void* data, size_t size, const char* hint, const std::string& pageName, double scale,
                      ImportedModel& out, std::string& why);
