#include "model/model_geometry.h"
#include "model/texture_pages.h"
#include "overlay/bitmap_font.h"
#include "overlay/overlays.h"

// Every device resource the program created, each released once. The page textures and level
// buffers are released through their tables, which also empty the scratch slots (NewTexture,
// m_pPieVB) that share a resource with the table's last entry, so nothing is released twice.
void ReleaseDeviceResources() {
  DestroyScreenFont();
  ReleaseCursor();
  ReleaseAllPageTextures();
  ReleaseLineBuffers();
  ReleaseAllLevelBuffers();
}
