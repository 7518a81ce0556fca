// The command line: the viewer on a folder, and the headless commands --check, --render, --sheet.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Splits a command line (WinMain's lpCmdLine: what follows the program's name) into arguments as
// Windows programs do: spaces and tabs separate them; double quotes group, so a quoted argument
// may hold spaces; inside quotes "" is one quote; 2n backslashes before a quote are n backslashes
// and the quote groups, 2n+1 are n backslashes and a literal quote; other backslashes are kept.
std::vector<std::string> SplitCommandLine(const char* line);

struct CommandLine {
  enum class Action { kRun, kHelp, kVersion, kUsageError, kCheck, kRender, kSheet };
  Action action = Action::kRun;
  std::string folder;  // the data set's folder, empty for the working directory
  std::string problem;  // for kUsageError: what was wrong, one line
  // --check
  bool json = false;
  // --render NAME and --sheet: the picture written
  std::string modelName;
  std::string output;       // -o FILE.png
  int32_t width = 512, height = 512;  // --size WxH
  float yaw = 35.0f, pitch = 25.0f;   // --yaw, --pitch, in degrees: a three-quarter view
  bool yawGiven = false, pitchGiven = false;
  uint8_t background[3] = {0, 0, 0};  // --background R,G,B
  uint32_t time = 0;                  // --time MS: the animation clock
  // --sheet
  std::string category;     // --category NAME, empty for every model
  int32_t cell = 192;       // --cell PX
  int32_t columns = 0;      // --columns N, 0: fitting about 16:9
};
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The text of --help: every option, every key and mouse action, ending with a newline.
const char* UsageText();
// "kvrview <version>\n".
std::string VersionText();

// What WinMain does with its command line before anything else: prints help, version or a usage
// error, changes into the data set's folder, and runs a headless command there. Returns -1 when
// the viewer should start, else the exit code (0 after --help and --version, 2 after a mistake,
// the command's own code after a headless command).
int HandleCommandLine(const char* line);
