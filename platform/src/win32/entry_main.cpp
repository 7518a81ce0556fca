// Process entry of a kvrplatform program: main() calls the program's WinMain, or its wWinMain
// with the command line as wchar_t, as the Windows runtime's start-up code would (there the
// linker is told which one; here whichever the program defines is called). Kept in its own
// library so tests can bring their own main().
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "win32/wide_text.h"

// Both entries are weak references: the program defines one of them, and the other stays null.
extern "C" int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) __attribute__((weak));
extern "C" int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) __attribute__((weak));

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
  int result;
  if (WinMain) {
    result = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWDEFAULT);
  } else if (wWinMain) {
    std::wstring wideLine = KvrWideFromUtf8(commandLine);
    result = wWinMain(GetModuleHandleA(nullptr), nullptr, wideLine.data(), SW_SHOWDEFAULT);
  } else {
    std::fprintf(stderr, "kvrplatform: the program defines neither WinMain nor wWinMain\n");
    result = 1;
  }
  // The process ends with the entry's result, as returning would end it. In the browser, WinMain
  // returns through asyncify long after main first gave the page control back, where returning
  // would end nothing: exit ends the program there too.
  std::exit(result);
}
