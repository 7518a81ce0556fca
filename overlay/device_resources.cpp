// The release of every device resource the overlays hold, at the stop.
#include "overlay/bitmap_font.h"
#include "overlay/overlays.h"

void ReleaseDeviceResources() {
  DestroyScreenFont();
  ReleaseCursor();
  ReleaseLineBuffers();
  ReleaseBackdrop();
}
