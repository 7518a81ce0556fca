// State shared between the files of the browser (HTML5) backend.
#pragma once
#include <windows.h>

namespace kvrweb {

// The page's canvas: every window of the program draws on it and takes its input from it.
constexpr const char kCanvas[] = "#canvas";

// Listens to the page's keyboard, mouse and wheel events from now on (html5_events.cpp); the
// first window's creation calls it.
void StartInputEvents();

// The program has just given the browser a turn (a frame shown, a wait): the message loop need
// not yield again for a while (html5_events.cpp).
void NoteYield();

// Where the pointer last was over the canvas, in the canvas's pixels (html5_input.cpp).
void SetPointer(int x, int y);

// The virtual-key code of a KeyboardEvent, by its `key` for letters (they follow the layout,
// as on Windows) and its `code` for every other key (by position); 0 when Windows has none.
// Modifiers give their left or right code (VK_LSHIFT...).
int VirtualKeyOf(const char* key, const char* code);

}  // namespace kvrweb
