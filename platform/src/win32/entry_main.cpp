// Process entry of a kvrplatform program: main() calls the program's WinMain, as the Windows
// runtime's start-up code would. Kept in its own library so tests can bring their own main().
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

// Appends one argument so that a program splitting lpCmdLine by Windows' rules gets it back
// whole: an argument holding a space, a tab or a quote (or none at all) is put in quotes, with
// the backslashes before a quote, and before the closing quote, doubled.
void AppendQuoted(std::string& line, const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
    line += argument;
    return;
  }
  line += '"';
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      line.append(backslashes * 2 + 1, '\\');
    } else {
      line.append(backslashes, '\\');
    }
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, '\\');
  line += '"';
}

}  // namespace

int main(int argc, char** argv) {
  // lpCmdLine is what follows the program's name, arguments separated by single spaces.
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    AppendQuoted(commandLine, argv[i]);
  }
  // Started without a STARTUPINFO show state, a Windows program is handed SW_SHOWDEFAULT.
  const int result = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWDEFAULT);
  // The process ends with WinMain's result, as returning would end it. In the browser, WinMain
  // returns through asyncify long after main first gave the page control back, where returning
  // would end nothing: exit ends the program there too.
  std::exit(result);
}
