// kvrview --check: the data set loaded by the viewer's own loaders on a hidden device, with every
// problem they meet collected instead of logged, then reported as text or as one JSON document.
#include "app/check_command.h"

#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "app/command_options.h"
#include "app/command_messages.h"
#include "app/headless.h"
#include "base/printable_text.h"
#include "base/problems.h"
#include "data/animations.h"
#include "data/load_sequence.h"
#include "data/model_sources.h"
#include "model/animation_table.h"
#include "model/level_buffers.h"
#include "model/model_catalogue.h"
#include "model/texture_pages.h"

namespace {

// Standard error is a terminal: the load's progress is shown there, one line redrawn in place.
bool progressShown = false;
size_t progressWidth = 0;

void ShowProgress(const char* category, size_t done, size_t listed) {
  // Every model would flood a slow terminal; every 64th and the last are enough to follow.
  if (done % 64 != 0 && done + 1 != listed) return;
  char line[160];
  const int length = std::snprintf(line, sizeof(line), "%s: %zu of %zu models", category, done + 1, listed);
  if (length <= 0) return;
  const size_t width = static_cast<size_t>(length) < sizeof(line) ? static_cast<size_t>(length) : sizeof(line) - 1;
  std::fprintf(stderr, "\r%s%*s", line, progressWidth > width ? static_cast<int>(progressWidth - width) : 0, "");
  progressWidth = width;
}

void ClearProgress() {
  if (progressWidth) std::fprintf(stderr, "\r%*s\r", static_cast<int>(progressWidth), "");
  progressWidth = 0;
}

bool StandardErrorIsTerminal() {
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  return error != INVALID_HANDLE_VALUE && error != nullptr && GetFileType(error) == FILE_TYPE_CHAR;
}

// A JSON string of any bytes. The data set's words need not be UTF-8: a well-formed UTF-8
// character is written as it is, except the control characters (C1 ones included), which are
// written \u00XX, as are '"' and '\' escaped; each byte that is not part of one is written as the
// character of its number, \u0080 to \u00ff (its Latin-1 reading). The result is always valid.
std::string Json(const std::string& text) {
  std::string out = "\"";
  const auto escape = [&out](unsigned code) {
    char escaped[8];
    std::snprintf(escaped, sizeof(escaped), "\\u%04x", code);
    out += escaped;
  };
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const size_t length = Utf8CharacterLength(text, i);
    if (length == 0) {
      escape(c);
      ++i;
      continue;
    }
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (IsControlCharacter(text, i, length)) {
      escape(length == 1 ? c : static_cast<unsigned char>(text[i + 1]));
    } else {
      out.append(text, i, length);
    }
    i += length;
  }
  return out + "\"";
}

struct Summary {
  size_t models = 0, categories = 0, pages = 0, animations = 0, problems = 0;
};

void PrintText(const std::vector<Problem>& problems, const Summary& s) {
  for (const Problem& p : problems)
    std::printf("%s: %s\n", PrintableText(p.path).c_str(), PrintableText(p.message).c_str());
  if (s.problems > problems.size())
    std::printf("%zu more problems past the ceiling of the problems kept\n", s.problems - problems.size());
  std::printf("%zu models in %zu categories, %zu pages, %zu animations: %zu problems\n", s.models,
              s.categories, s.pages, s.animations, s.problems);
}

void PrintJson(const std::vector<Problem>& problems, const Summary& s,
               const std::vector<uint64_t>& triangles) {
  std::string out = "{\n  \"models\": [";
  for (size_t m = 0; m < ModelCatalogue.size(); ++m) {
    const PieModel& model = ModelCatalogue[m];
    const int32_t page = model.texturePage;
    const bool hasPage = page >= 0 && static_cast<size_t>(page) < TexturePageTable.size();
    const int32_t animation = model.animation;
    const bool hasAnimation = animation >= 0 && static_cast<size_t>(animation) < Animations.size();
    out += m ? ",\n    {" : "\n    {";
    out += "\"name\": " + Json(model.name);
    out += ", \"category\": " + Json(ModelCategoryName(model.category));
    out += ", \"path\": " + Json(ModelSourcePath(static_cast<int32_t>(m)));
    out += ", \"levels\": " + std::to_string(model.levelCount);
    out += ", \"triangles\": " + std::to_string(triangles[m]);
    out += ", \"page\": " + (hasPage ? Json(TexturePageTable[page].PageName) : std::string("null"));
    out += ", \"pageLoaded\": " + std::string(hasPage && TexturePageTable[page].texture ? "true" : "false");
    out += ", \"animation\": " + (hasAnimation ? Json(AnimationSourcePaths.size() > static_cast<size_t>(animation)
                                                          ? AnimationSourcePaths[animation]
                                                          : Animations[animation].name)
                                               : std::string("null"));
    out += "}";
  }
  out += ModelCatalogue.empty() ? "],\n  \"problems\": [" : "\n  ],\n  \"problems\": [";
  for (size_t i = 0; i < problems.size(); ++i) {
    out += i ? ",\n    {" : "\n    {";
    out += "\"path\": " + Json(problems[i].path) + ", \"message\": " + Json(problems[i].message) + "}";
  }
  out += problems.empty() ? "],\n" : "\n  ],\n";
  out += "  \"summary\": {\"models\": " + std::to_string(s.models) + ", \"categories\": " +
         std::to_string(s.categories) + ", \"pages\": " + std::to_string(s.pages) +
         ", \"animations\": " + std::to_string(s.animations) + ", \"problems\": " +
         std::to_string(s.problems) + "}\n}\n";
  std::fputs(out.c_str(), stdout);
}

}  // namespace

int RunCheck(const CommandLine& command) {
  if (!StartHeadless(64, 64)) return 2;
  std::vector<Problem> problems;
  CollectProblems(&problems);
  progressShown = StandardErrorIsTerminal();
  if (progressShown) ModelLoadProgress = ShowProgress;
  const bool manifestRead = ReadStartUpManifest(nullptr);
  ModelLoadProgress = nullptr;
  CollectProblems(nullptr);
  if (progressShown) ClearProgress();
  if (!manifestRead) {
    std::fprintf(stderr, "kvrview: no start-up manifest %s in this folder\n", kStartUpManifest);
    StopHeadless();
    return 2;
  }

  std::vector<uint64_t> triangles(ModelCatalogue.size(), 0);
  for (const LevelBuffer& entry : LevelBufferTable) {
    if (entry.model >= 0 && static_cast<size_t>(entry.model) < triangles.size() && entry.triangleCount > 0)
      triangles[entry.model] += static_cast<uint64_t>(entry.triangleCount);
  }
  Summary summary;
  summary.models = ModelCatalogue.size();
  std::set<int32_t> categories;
  for (const PieModel& model : ModelCatalogue) categories.insert(model.category);
  summary.categories = categories.size();
  for (const TexturePage& page : TexturePageTable) summary.pages += page.texture ? 1 : 0;
  summary.animations = Animations.size();
  summary.problems = problems.size() + ProblemsNotKept();

  if (command.json) {
    PrintJson(problems, summary, triangles);
  } else {
    PrintText(problems, summary);
  }
  std::fflush(stdout);
  StopHeadless();
  return summary.problems == 0 ? 0 : 1;
}
