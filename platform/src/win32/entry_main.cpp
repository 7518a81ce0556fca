// Process entry of a kvrplatform program: main() calls the program's WinMain, as the Windows
// runtime's start-up code would. Kept in its own library so tests can bring their own main().
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
  // lpCmdLine is what follows the program's name, arguments separated by single spaces.
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    commandLine += argv[i];
  }
  // Started without a STARTUPINFO show state, a Windows program is handed SW_SHOWDEFAULT.
  return WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWDEFAULT);
}
