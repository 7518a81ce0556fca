// The one Direct3D 9 object and device, the scene set-up that loads the data set, and the camera.
#pragma once
#include <d3d9.h>

extern IDirect3D9* g_pD3D;
extern IDirect3DDevice9* g_pd3dDevice;

// The eye always looks at the world origin with +Y up.
struct Camera {
  float eyeX, eyeY, eyeZ;
  float targetHeight;  // eye y eases towards this height
  float angle1;        // radians; kept and wrapped, drawn with by nothing
  float angle2;        // radians; likewise
  bool viewChanged;    // the camera key chain took a key in this tick
};
extern Camera camera;

HRESULT InitD3D(HWND hWnd);
void SetupScene();
void ShutdownGraphics();
void ResetCamera();
void ApplyView();
