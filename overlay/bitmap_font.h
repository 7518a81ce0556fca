// The bitmap font that draws all screen text, and the one screen font the program uses.
#pragma once
#include <d3d9.h>

#include <cstdint>

// Free functions on the one screen font (12-point bold "Arial").
void CreateScreenFont();
void DrawTextYellow(int32_t x, int32_t y, const char* text);
void DrawTextRgb(int32_t x, int32_t y, const char* text, uint8_t red, uint8_t green, uint8_t blue);
void DrawNumberYellow(int32_t x, int32_t y, int32_t value);
void DestroyScreenFont();
