// The cursor, the colour bars, the axes and the backdrop, and the release of what they hold at the
// stop.
#pragma once
#include <d3d9.h>

#include <cstdint>

extern IDirect3DVertexBuffer9* m_pCursorVB;
extern IDirect3DTexture9* cursorTexture;
extern IDirect3DVertexBuffer9* m_pColorBarsVB;
extern IDirect3DVertexBuffer9* m_pAxisVB;

// The pointer position last written into m_pCursorVB; INT32_MIN until the first write, a value no
// pointer can have, so the first frame draws the cursor wherever the pointer rests.
extern int32_t lastCursorX;
extern int32_t lastCursorY;

HRESULT CreateCursor();
// Also creates m_pColorBarsVB, through CreateColorBarsBuffer.
void CreateAxes();
void CreateColorBarsBuffer();
// Rewrites only the 14 vertices of its channel (0 red, 1 green, 2 blue); value 0..255.
void SetColorBar(int32_t value, int32_t channel);
void DrawAxes();
void DrawColorBars();
void DrawCursor();
// A dark, opaque box with a grey rim over the pixels [left, right) x [top, bottom), drawn over
// everything before it whatever its depth; the states it changes are set back afterwards.
void DrawBackdrop(int32_t left, int32_t top, int32_t right, int32_t bottom);

// Each releases only what is present and leaves none behind, so it may run more than once.
void ReleaseCursor();
void ReleaseLineBuffers();
void ReleaseBackdrop();
// The screen font, the cursor, the line buffers and the backdrop; the data set releases its own.
void ReleaseDeviceResources();
