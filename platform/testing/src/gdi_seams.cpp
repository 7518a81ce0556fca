// Test seams of the GDI backend: what fontconfig and FreeType made of a font.
#include <kvrplatform_testing.h>

#include "gdi/font_face.h"
#include "gdi/gdi_internal.h"

namespace kvrtest {

FontDescription DescribeFont(HFONT font) {
  FontDescription d;
  const kvrgdi::FontObject* object = kvrgdi::FontFromHandle(font);
  if (!object || !object->face) return d;
  const kvrgdi::FontFace& f = *object->face;
  d.file = f.file;
  d.family = f.face->family_name ? f.face->family_name : "";
  d.style = f.face->style_name ? f.face->style_name : "";
  d.pixelsPerEm = f.pixelsPerEm;
  d.ascent = f.ascent;
  d.descent = f.descent;
  d.syntheticBold = f.syntheticBold;
  d.syntheticItalic = f.syntheticItalic;
  return d;
}

}  // namespace kvrtest
