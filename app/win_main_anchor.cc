// kvrview's executable: WinMain lives in the program library (app/main_loop.cpp), which the
// link pulls in whole; on Linux the platform layer's main() calls it.
