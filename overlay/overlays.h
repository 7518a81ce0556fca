// The cursor, the colour bars and the axes, and the release of every device resource at the stop.
#pragma once
#include <d3d9.h>

#include <cstdint>

extern IDirect3DVertexBuffer9* m_pCursorVB;
extern IDirect3DTexture9* cursorTexture;
extern IDirect3DVertexBuffer9* m_pColorBarsVB;
extern IDirect3DVertexBuffer9* m_pAxisVB;

HRESULT CreateCursor();
void CreateAxes();
void SetColorBar(int32_t value, int32_t channel);
void DrawAxes();
void DrawColorBars();
void DrawCursor();
void ReleaseDeviceResources();
