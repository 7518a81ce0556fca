// Process entry of a kvrplatform program: main() calls the program's WinMain, as the Windows
// runtime's start-up code would. Kept in its own library so tests can bring their own main().
#include <windows.h>

int main(int argc, char** argv) {
  (void)argc;
  (void)argv;
  return WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), 1);
}
