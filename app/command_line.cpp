// The command line: splitting lpCmdLine, the options, and changing into the data set's folder.
#include "app/command_line.h"

#include <windows.h>

#include <cstdio>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "app/check_command.h"
#include "app/controls.h"
#include "app/data_set_above.h"
#include "app/exchange_commands.h"
#include "app/picture_commands.h"
#include "base/disk_path.h"
#include "base/printable_text.h"
#include "app/thumbnail_command.h"
#include "app/turntable_command.h"

#ifndef KVR_VERSION
#define KVR_VERSION "unknown"
#endif

namespace {

const char kUsageHead[] =
    "Usage: kvrview [FOLDER]\n"
    "   or: kvrview --check [--json] [FOLDER]\n"
    "   or: kvrview --render NAME -o FILE.png [OPTION...] [FOLDER]\n"
    "   or: kvrview --sheet -o FILE.png [--category NAME] [--cell PX] [--columns N] [--background R,G,B] [FOLDER]\n"
    "   or: kvrview --thumbnail FILE.pie -o FILE.png [--size PX] [--background R,G,B]\n"
    "   or: kvrview --turntable NAME -o FILE.gif|FILE.webp|FILE.png [OPTION...] [FOLDER]\n"
    "   or: kvrview --frames N [--show NAME] [FOLDER]\n"
    "   or: kvrview --export NAME -o FILE.glb|FILE.gltf [--scale S] [--time MS] [FOLDER]\n"
    "   or: kvrview --export-all -o DIR [--category NAME] [--scale S] [FOLDER]\n"
    "   or: kvrview --import FILE -o NAME.pie [--page NAME] [--scale S] [--into FOLDER --category NAME]\n"
    "   or: kvrview --help | --version\n"
    "\n"
    "Shows the models of the data set in FOLDER (the current folder when none is given).\n"
    "A file inside a data set (a model, a manifest) opens the data set, showing that model.\n"
        "The log, KVRerrors.log, is written in that folder, or in\n"
    "$XDG_STATE_HOME/kvrview/<its name>/ when it cannot be written or is the system's.\n"
    "\n"
    "Options:\n"
    "  --check              load the data set without a window, list every problem found as\n"
    "                       'path: message' and a summary; exit 0 without problems, 1 with\n"
    "                       some, 2 when the folder holds no start-up manifest. Writes nothing.\n"
    "  --json               with --check: the models and problems as one JSON document\n"
    "  --render NAME        draw the model NAME into a PNG file, without a window\n"
    "  --sheet              draw every model into a contact sheet (PNG), without a window\n"
    "  --thumbnail FILE     draw one model file alone into a PNG file, with the data set found\n"
    "                       in a folder above it (untextured without one); no display is used\n"
    "  --turntable NAME     draw the model NAME turning once round, its animations playing,\n"
    "                       into an animated GIF or WebP, or a PNG of the frames side by side\n"
    "  -o FILE              the picture the command writes (a relative name is taken from\n"
    "                       the folder kvrview is started in)\n"
    "  --size WxH           with --render and --turntable: the picture's size (default\n"
    "                       512x512); with --thumbnail: PX, a square's side (default 256)\n"
    "  --yaw DEG            with --render and --turntable: turn about the vertical axis\n"
    "                       (default 35; --turntable's first picture)\n"
    "  --pitch DEG          with --render and --turntable: look down by this much (default 25)\n"
    "  --background R,G,B   with --render, --sheet, --thumbnail and --turntable: the background\n"
    "                       (default 0,0,0; 34,40,52 for --thumbnail)\n"
    "  --seconds S          with --turntable: the length of one turn (default 3.6)\n"
    "  --time MS            with --render and --export: the animation clock, in milliseconds\n"
    "                       (default 0)\n"
    "  --category NAME      with --sheet and --export-all: only this category (bodies, features, miscellaneous,\n"
    "                       research, effects, propulsions, structures, weapons)\n"
    "  --cell PX            with --sheet: the side of a cell (default 192)\n"
    "  --columns N          with --sheet: cells a row (default: fitting about 16:9)\n"
    "  --frames N           the viewer draws N frames as fast as it can, prints their median\n"
    "                       and 95th percentile times and exits\n"
    "                       (with --turntable: the pictures of one turn, default 36)\n"
    "  --show NAME          with --frames: show this model instead of the first structure\n"
    "  --export NAME        write the model NAME as a glTF 2.0 file (.glb or .gltf), without a\n"
    "                       window: its levels, page and keyframe animation as the viewer shows them\n"
    "  --export-all         write every model (or one --category's) as DIR/NAME.glb\n"
    "  --scale S            with --export, --export-all and --import: metres per viewer unit\n"
    "                       (default 0.1: a PIE unit is a centimetre)\n"
    "  --import FILE        read a glTF (.gltf, .glb), OBJ, FBX or Collada file and write it as a\n"
    "                       PIE model (-o NAME.pie) and its texture as a DDS page beside it\n"
    "  --page NAME          with --import: the page's name (default: the model's)\n"
    "  --into FOLDER        with --import: write the model into the data set FOLDER, in the\n"
    "                       directory of --category, and list it in that category's manifest\n"
    "  --help               print this text and exit\n"
    "  --version            print the version and exit\n"
    "\n"
    "Keys and mouse:\n";

std::string MakeUsage() {
  std::string usage = kUsageHead;
  for (size_t i = 0; i < kControlCount; ++i) {
    std::string input = kControls[i].input;
    input.resize(input.size() < 26 ? 26 : input.size() + 1, ' ');
    usage += "  " + input + kControls[i].action + "\n";
  }
  return usage;
}

bool IsSeparator(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> SplitCommandLine(const char* line) {
  std::vector<std::string> arguments;
  if (!line) return arguments;
  const char* p = line;
  for (;;) {
    while (IsSeparator(*p)) ++p;
    if (!*p) break;
    std::string argument;
    bool quoted = false;
    while (*p && (quoted || !IsSeparator(*p))) {
      if (*p == '\\') {
        size_t backslashes = 0;
        while (*p == '\\') ++backslashes, ++p;
        if (*p == '"') {
          argument.append(backslashes / 2, '\\');
          if (backslashes % 2) {
            argument += '"';
            ++p;
          }
        } else {
          argument.append(backslashes, '\\');
        }
      } else if (*p == '"') {
        if (quoted && p[1] == '"') {
          argument += '"';
          p += 2;
        } else {
          quoted = !quoted;
          ++p;
        }
      } else {
        argument += *p++;
      }
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

namespace {

bool ParseInt(const std::string& text, int64_t low, int64_t high, int64_t& out) {
  if (text.empty() || text.size() > 12) return false;
  size_t i = text[0] == '-' ? 1 : 0;
  if (i == text.size()) return false;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  if (text[0] == '-') value = -value;
  if (value < low || value > high) return false;
  out = value;
  return true;
}

bool ParseDegrees(const std::string& text, float& out) {
  // Whole or decimal degrees, -3600 to 3600.
  if (text.empty() || text.size() > 16) return false;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !(value >= -3600.0 && value <= 3600.0)) return false;
  out = static_cast<float>(value);
  return true;
}

// "WxH", each side 16 to 8192; "PX" alone when square is set (a thumbnail's side).
bool ParseSize(const std::string& text, bool square, int32_t& width, int32_t& height) {
  const size_t x = text.find('x');
  int64_t w = 0, h = 0;
  if (square) {
    if (!ParseInt(text, 16, 8192, w)) return false;
    h = w;
  } else if (x == std::string::npos || !ParseInt(text.substr(0, x), 16, 8192, w) ||
             !ParseInt(text.substr(x + 1), 16, 8192, h)) {
    return false;
  }
  width = static_cast<int32_t>(w);
  height = static_cast<int32_t>(h);
  return true;
}

// Seconds, whole or decimal, 0.1 to 600, as milliseconds.
bool ParseSeconds(const std::string& text, uint32_t& milliseconds) {
  if (text.empty() || text.size() > 16) return false;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !(value >= 0.1 && value <= 600.0)) return false;
  milliseconds = static_cast<uint32_t>(value * 1000.0 + 0.5);
  return true;
}

// A turntable's file, by its extension (any letter case).
bool IsTurntableFile(const std::string& name) {
  for (const char* extension : {".gif", ".webp", ".png"}) {
    const size_t length = std::strlen(extension);
    if (name.size() <= length) continue;
    bool same = true;
    for (size_t i = 0; i < length; ++i)
      same = same && std::tolower(static_cast<unsigned char>(name[name.size() - length + i])) == extension[i];
    if (same) return true;
  }
  return false;
}

bool ParseColour(const std::string& text, uint8_t rgb[3]) {
  size_t start = 0;
  for (int i = 0; i < 3; ++i) {
    const size_t comma = text.find(',', start);
    if ((i < 2) != (comma != std::string::npos)) return false;
    int64_t value = 0;
    if (!ParseInt(text.substr(start, i < 2 ? comma - start : std::string::npos), 0, 255, value)) return false;
    rgb[i] = static_cast<uint8_t>(value);
    start = comma + 1;
  }
  return true;
}

// Metres per viewer unit: a decimal number from 0.0001 to 1000.
bool ParseScale(const std::string& text, double& out) {
  if (text.empty() || text.size() > 16) return false;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !(value >= 0.0001 && value <= 1000.0)) return false;
  out = value;
  return true;
}

// The name's extension, in any letter case.
bool EndsWith(const std::string& name, const char* extension) {
  const size_t n = std::strlen(extension);
  if (name.size() <= n) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = name[name.size() - n + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != extension[i]) return false;
  }
  return true;
}

CommandLine UsageError(const std::string& problem) {
  CommandLine result;
  result.action = CommandLine::Action::kUsageError;
  result.problem = problem;
  return result;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine result;
  for (const std::string& argument : arguments) {
    if (argument == "--help") {
      result.action = CommandLine::Action::kHelp;
      return result;
    }
    if (argument == "--version") {
      result.action = CommandLine::Action::kVersion;
      return result;
    }
  }
  // Which options each command takes; any other is a mistake.
  enum : unsigned {
    kForCheck = 1, kForRender = 2, kForSheet = 4, kForFrames = 8, kForThumbnail = 16, kForTurntable = 32,
    kForExport = 64, kForExportAll = 128, kForImport = 256
  };
  // With --turntable, --frames counts its pictures; without, it is the viewer's timed run.
  bool turntable = false;
  for (const std::string& argument : arguments) turntable = turntable || argument == "--turntable";
  // --thumbnail's --size is a square's side.
  bool thumbnail = false;
  for (const std::string& argument : arguments) thumbnail = thumbnail || argument == "--thumbnail";
  std::vector<unsigned> given;  // for each option given, the commands it belongs to
  unsigned commands = 0;  // the commands named
  std::vector<std::string> folders;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    // The options that take a value read it from the next argument.
    const auto value = [&](std::string& out) {
      if (i + 1 >= arguments.size()) return false;
      out = arguments[++i];
      return true;
    };
    std::string text;
    int64_t number = 0;
    if (argument == "--check") {
      commands |= kForCheck;
      result.action = CommandLine::Action::kCheck;
    } else if (argument == "--json") {
      given.push_back(kForCheck);
      result.json = true;
    } else if (argument == "--render") {
      commands |= kForRender;
      result.action = CommandLine::Action::kRender;
      if (!value(result.modelName) || result.modelName.empty()) return UsageError("--render needs a model name");
    } else if (argument == "--frames" && turntable) {
      given.push_back(kForTurntable);
      if (!value(text) || !ParseInt(text, 1, 1000, number)) return UsageError("--frames needs 1 to 1000");
      result.turnFrames = static_cast<int32_t>(number);
    } else if (argument == "--thumbnail") {
      commands |= kForThumbnail;
      result.action = CommandLine::Action::kThumbnail;
      result.width = result.height = 256;
      result.background[0] = 34, result.background[1] = 40, result.background[2] = 52;
      if (!value(result.modelFile) || result.modelFile.empty()) return UsageError("--thumbnail needs a model file");
    } else if (argument == "--turntable") {
      commands |= kForTurntable;
      result.action = CommandLine::Action::kTurntable;
      if (!value(result.modelName) || result.modelName.empty()) return UsageError("--turntable needs a model name");
    } else if (argument == "--seconds") {
      given.push_back(kForTurntable);
      if (!value(text) || !ParseSeconds(text, result.turnMilliseconds))
        return UsageError("--seconds needs 0.1 to 600");
    } else if (argument == "--frames") {
      commands |= kForFrames;
      result.action = CommandLine::Action::kFrames;
      if (!value(text) || !ParseInt(text, 1, 1000000, number)) return UsageError("--frames needs 1 to 1000000");
      result.frames = static_cast<int32_t>(number);
    } else if (argument == "--show") {
      given.push_back(kForFrames);
      if (!value(result.show) || result.show.empty()) return UsageError("--show needs a model name");
    } else if (argument == "--export") {
      commands |= kForExport;
      result.action = CommandLine::Action::kExport;
      if (!value(result.modelName) || result.modelName.empty()) return UsageError("--export needs a model name");
    } else if (argument == "--export-all") {
      commands |= kForExportAll;
      result.action = CommandLine::Action::kExportAll;
    } else if (argument == "--import") {
      commands |= kForImport;
      result.action = CommandLine::Action::kImport;
      if (!value(result.importFile) || result.importFile.empty()) return UsageError("--import needs a file");
    } else if (argument == "--scale") {
      given.push_back(kForExport | kForExportAll | kForImport);
      if (!value(text) || !ParseScale(text, result.scale))
        return UsageError("--scale needs metres per viewer unit, 0.0001 to 1000");
    } else if (argument == "--page") {
      given.push_back(kForImport);
      if (!value(result.page) || result.page.empty()) return UsageError("--page needs a name");
    } else if (argument == "--into") {
      given.push_back(kForImport);
      if (!value(result.into) || result.into.empty()) return UsageError("--into needs a folder");
    } else if (argument == "--sheet") {
      commands |= kForSheet;
      result.action = CommandLine::Action::kSheet;
    } else if (argument == "-o") {
      given.push_back(kForRender | kForSheet | kForThumbnail | kForTurntable | kForExport | kForExportAll | kForImport);
      if (!value(result.output) || result.output.empty()) return UsageError("-o needs a file name");
    } else if (argument == "--size") {
      given.push_back(kForRender | kForThumbnail | kForTurntable);
      if (!value(text) || !ParseSize(text, thumbnail, result.width, result.height))
        return UsageError(thumbnail ? "--size needs PX, 16 to 8192" : "--size needs WxH, each side 16 to 8192");
    } else if (argument == "--yaw" || argument == "--pitch") {
      given.push_back(kForRender | kForTurntable);
      float& angle = argument == "--yaw" ? result.yaw : result.pitch;
      (argument == "--yaw" ? result.yawGiven : result.pitchGiven) = true;
      if (!value(text) || !ParseDegrees(text, angle)) return UsageError(argument + " needs degrees, -3600 to 3600");
    } else if (argument == "--background") {
      given.push_back(kForRender | kForSheet | kForThumbnail | kForTurntable);
      if (!value(text) || !ParseColour(text, result.background))
        return UsageError("--background needs R,G,B, each 0 to 255");
    } else if (argument == "--time") {
      given.push_back(kForRender | kForExport);
      if (!value(text) || !ParseInt(text, 0, 86400000, number))
        return UsageError("--time needs milliseconds, 0 to 86400000");
      result.time = static_cast<uint32_t>(number);
    } else if (argument == "--category") {
      given.push_back(kForSheet | kForExportAll | kForImport);
      if (!value(result.category) || result.category.empty()) return UsageError("--category needs a name");
    } else if (argument == "--cell") {
      given.push_back(kForSheet);
      if (!value(text) || !ParseInt(text, 32, 1024, number)) return UsageError("--cell needs pixels, 32 to 1024");
      result.cell = static_cast<int32_t>(number);
    } else if (argument == "--columns") {
      given.push_back(kForSheet);
      if (!value(text) || !ParseInt(text, 1, 256, number)) return UsageError("--columns needs 1 to 256");
      result.columns = static_cast<int32_t>(number);
    } else if (argument.size() > 1 && argument[0] == '-') {
      return UsageError("unknown option: " + argument);
    } else {
      folders.push_back(argument);
    }
  }
  if (commands & (commands - 1))
    return UsageError(
        "--check, --render, --sheet, --thumbnail, --turntable, --frames, --export, --export-all and --import go alone");
  // An option of a command that was not named (--json without --check, say) is a mistake.
  for (unsigned belongs : given)
    if (!(belongs & commands)) return UsageError("an option that belongs to another command");
  if ((commands & (kForRender | kForSheet | kForThumbnail)) && result.output.empty())
    return UsageError("-o FILE.png is needed");
  if ((commands & kForTurntable) && !IsTurntableFile(result.output))
    return UsageError("-o FILE.gif, FILE.webp or FILE.png is needed");
  // The thumbnail's data set is the one found above its file.
  if ((commands & kForThumbnail) && !folders.empty()) return UsageError("--thumbnail takes no folder");
  if ((commands & kForExport) && !EndsWith(result.output, ".glb") && !EndsWith(result.output, ".gltf"))
    return UsageError("-o FILE.glb or -o FILE.gltf is needed");
  if ((commands & kForExportAll) && result.output.empty()) return UsageError("-o DIR is needed");
  if (commands & kForImport) {
    if (!EndsWith(result.output, ".pie")) return UsageError("-o NAME.pie is needed");
    if (!folders.empty()) return UsageError("--import reads no data set; --into FOLDER names the one it joins");
    if (result.into.empty() != result.category.empty()) return UsageError("--into and --category go together");
  }
  if (folders.size() > 1) return UsageError("one folder at most");
  if (!folders.empty()) {
    if (folders[0].empty()) return UsageError("the folder's name is empty");
    result.folder = folders[0];
  }
  return result;
}

const char* UsageText() {
  static const std::string usage = MakeUsage();
  return usage.c_str();
}

std::string VersionText() { return std::string("kvrview ") + KVR_VERSION + "\n"; }

namespace {

// Changes into the data set's folder, taken as it was typed (no other letter case, and where '\'
// is an ordinary character no '\' read as a separator): -1 when done, else the exit code after
// saying why not.
int EnterFolder(const std::string& folder) {
  const std::string exact = ExactPath(folder);
  const DWORD attributes = exact.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(exact.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    std::fprintf(stderr, "kvrview: no such folder: %s\n", PrintableText(folder).c_str());
    return 2;
  }
  // A symbolic link to a folder is a folder to change into; anything else that is not one is not.
  if (!SetCurrentDirectoryA(exact.c_str())) {
    std::fprintf(stderr, "kvrview: not a folder: %s\n", PrintableText(folder).c_str());
    return 2;
  }
  return -1;
}

// A file named on the command line is relative to the folder kvrview was started in, not to the
// data set's folder it changes into: it is made absolute before the change.
std::string FromStartFolder(const std::string& path) {
  const std::string full = FullPath(path);
  return full.empty() ? path : full;
}

// The viewer given a file instead of a folder (a file manager opening a model or a manifest):
// the data set above the file, with a model file's model shown first. A file with no data set
// above it is left as given, to be refused as no folder.
void OpenDataSetOfFile(CommandLine& command) {
  if (command.action != CommandLine::Action::kRun || command.folder.empty()) return;
  const std::string path = FromStartFolder(command.folder);
  if (!IsFileOnDisk(path)) return;
  const DataSetAbove place = FindDataSetAbove(path, IsFileOnDisk);
  if (place.root.empty()) return;
  command.folder = place.root;
  const std::string name = place.file.substr(place.file.find_last_of('/') + 1);
  if (EndsWithPie(name)) command.show = name.substr(0, name.size() - 4);
}

}  // namespace

int HandleCommandLine(const char* line, CommandLine* parsed) {
  CommandLine command = ParseCommandLine(SplitCommandLine(line));
  switch (command.action) {
    case CommandLine::Action::kHelp:
      std::fputs(UsageText(), stdout);
      std::fflush(stdout);
      return 0;
    case CommandLine::Action::kVersion:
      std::fputs(VersionText().c_str(), stdout);
      std::fflush(stdout);
      return 0;
    case CommandLine::Action::kUsageError:
      std::fprintf(stderr, "kvrview: %s\n%s", PrintableText(command.problem).c_str(), UsageText());
      return 2;
    default: break;
  }
  command.modelFile = FromStartFolder(command.modelFile);
  command.importFile = FromStartFolder(command.importFile);
  command.into = FromStartFolder(command.into);
  OpenDataSetOfFile(command);
  // A relative -o name is taken from the folder kvrview is started in, not the data set's.
  command.outputPath = ExactPath(command.output);
  command.output = FromStartFolder(command.output);
  // An import reads no data set: it runs from the folder it was started in.
  if (command.action == CommandLine::Action::kImport) return RunImport(command);
  if (parsed) *parsed = command;
  if (!command.folder.empty()) {
    const int code = EnterFolder(command.folder);
    if (code >= 0) return code;
  }
  switch (command.action) {
    case CommandLine::Action::kCheck: return RunCheck(command);
    case CommandLine::Action::kRender: return RunRender(command);
    case CommandLine::Action::kSheet: return RunSheet(command);
    case CommandLine::Action::kThumbnail: return RunThumbnail(command);
    case CommandLine::Action::kTurntable: return RunTurntable(command);
    case CommandLine::Action::kExport: return RunExport(command);
    case CommandLine::Action::kExportAll: return RunExportAll(command);
    default: return -1;
  }
}
