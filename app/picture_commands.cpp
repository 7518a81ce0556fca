// kvrview --render and --sheet: the data set loaded as the viewer loads it, each model drawn with
// the frame's states and DrawModel into the back buffer of a hidden window's device, framed to its
// bounds (picture_drawing), and the pixels saved through D3DX. Nothing is written but the -o file.
#include "app/picture_commands.h"

#include <d3dx9.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/command_options.h"
#include "app/command_messages.h"
#include "app/frame.h"
#include "app/headless.h"
#include "app/picture_drawing.h"
#include "app/sheet_layout.h"
#include "base/device.h"
#include "base/printable_text.h"
#include "data/animation_clock.h"
#include "model/model_catalogue.h"
#include "overlay/bitmap_font.h"

namespace {

// No side of a contact sheet is longer, whatever the device allows: 256 MiB of pixels.
constexpr int32_t kLongestSheetSide = 8192;

}  // namespace

int RunRender(const CommandLine& command) {
  HeadlessSession session(command.width, command.height);
  if (!session.started()) return 1;
  D3DSURFACE_DESC desc = {};
  if (!BackBufferIs(command.width, command.height, desc)) return 1;
  int32_t model = -1;
  if (const int code = LoadNamedModel(command, model)) return code;
  SetModelToTime(model, command.time);
  const D3DVIEWPORT9 whole = {0, 0, desc.Width, desc.Height, 0.0f, 1.0f};
  DrawModelPicture(model, whole, command.yaw, command.pitch, Background(command));
  if (!SaveBackBuffer(command.outputPath)) return CouldNotWrite(command.output);
  return 0;
}

namespace {

// The models of the sheet, in catalogue order.
std::vector<int32_t> SheetModels(bool oneCategory, ModelCategory category) {
  std::vector<int32_t> models;
  for (size_t i = 0; i < ModelCatalogue.size(); ++i) {
    if (!oneCategory || ModelCatalogue[i].category == category) models.push_back(static_cast<int32_t>(i));
  }
  return models;
}

// Yellow names on a dark background, black ones on a light one.
void DrawLabel(const std::string& text, int32_t x, int32_t y, const uint8_t background[3]) {
  const int32_t light = 299 * background[0] + 587 * background[1] + 114 * background[2];
  if (light < 140 * 1000) {
    DrawTextYellow(x, y, text.c_str());
  } else {
    DrawTextRgb(x, y, text.c_str(), 0, 0, 0);
  }
}

// 32-bit pixels of a locked surface, row by row.
void CopyRows(const D3DLOCKED_RECT& from, const D3DLOCKED_RECT& to, int32_t width, int32_t height) {
  for (int32_t y = 0; y < height; ++y) {
    std::memcpy(static_cast<uint8_t*>(to.pBits) + static_cast<size_t>(y) * static_cast<size_t>(to.Pitch),
                static_cast<const uint8_t*>(from.pBits) + static_cast<size_t>(y) * static_cast<size_t>(from.Pitch),
                static_cast<size_t>(width) * 4);
  }
}

// The sheet: a system-memory surface the cells are copied into one by one, as they are drawn into
// the back buffer, and that is saved whole at the end.
class Sheet {
 public:
  bool Create(const SheetLayout& layout, const D3DSURFACE_DESC& back, D3DCOLOR background) {
    // Both surfaces are read and written as 32-bit pixels.
    if (back.Format != D3DFMT_X8R8G8B8 && back.Format != D3DFMT_A8R8G8B8) return false;
    IDirect3DDevice9* d = g_pd3dDevice;
    if (FAILED(d->CreateOffscreenPlainSurface(back.Width, back.Height, back.Format, D3DPOOL_SYSTEMMEM,
                                              cell_.out(), nullptr)) ||
        FAILED(d->CreateOffscreenPlainSurface(static_cast<UINT>(layout.width), static_cast<UINT>(layout.height),
                                              D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, sheet_.out(), nullptr)))
      return false;
    D3DLOCKED_RECT locked = {};
    if (FAILED(sheet_->LockRect(&locked, nullptr, 0))) return false;
    for (int32_t y = 0; y < layout.height; ++y) {
      uint32_t* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) +
                                                  static_cast<size_t>(y) * static_cast<size_t>(locked.Pitch));
      for (int32_t x = 0; x < layout.width; ++x) row[x] = background;
    }
    sheet_->UnlockRect();
    return true;
  }

  // The back buffer, width x height of it, into the sheet with its top-left at (x, y).
  bool Place(int32_t x, int32_t y, int32_t width, int32_t height) {
    Held<IDirect3DSurface9> back;
    if (FAILED(g_pd3dDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, back.out())) || !back.get() ||
        FAILED(g_pd3dDevice->GetRenderTargetData(back.get(), cell_.get())))
      return false;
    D3DLOCKED_RECT from = {}, to = {};
    const RECT area = {x, y, x + width, y + height};
    if (FAILED(cell_->LockRect(&from, nullptr, D3DLOCK_READONLY))) return false;
    const bool locked = SUCCEEDED(sheet_->LockRect(&to, &area, 0));
    if (locked) {
      CopyRows(from, to, width, height);
      sheet_->UnlockRect();
    }
    cell_->UnlockRect();
    return locked;
  }

  bool Save(const std::string& path) {
    return SUCCEEDED(D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_PNG, sheet_.get(), nullptr, nullptr));
  }

 private:
  Held<IDirect3DSurface9> cell_;   // one cell read back from the device
  Held<IDirect3DSurface9> sheet_;  // the whole sheet
};

}  // namespace

int RunSheet(const CommandLine& command) {
  bool oneCategory = !command.category.empty();
  ModelCategory category = 0;
  if (oneCategory) {
    category = ModelCategoryByName(command.category);
    if (category < 0) {
      SayNoSuchCategory(command.category);
      return 2;
    }
  }

  const int32_t cell = command.cell;
  const int32_t cellHeight = cell + kSheetLabelHeight;
  HeadlessSession session(cell, cellHeight);
  if (!session.started()) return 1;
  D3DSURFACE_DESC back = {};
  if (!BackBufferIs(cell, cellHeight, back)) return 1;
  if (!LoadDataSetQuietly()) return 2;

  const std::vector<int32_t> models = SheetModels(oneCategory, category);
  if (models.empty()) {
    std::fprintf(stderr, oneCategory ? "kvrview: no model of the category %s in this data set\n"
                                     : "kvrview: no model in this data set%s\n",
                 oneCategory ? command.category.c_str() : "");
    return 1;
  }
  D3DCAPS9 caps = {};
  int32_t longest = kLongestSheetSide;
  if (SUCCEEDED(g_pd3dDevice->GetDeviceCaps(&caps))) {
    if (caps.MaxTextureWidth > 0 && static_cast<int64_t>(caps.MaxTextureWidth) < longest)
      longest = static_cast<int32_t>(caps.MaxTextureWidth);
    if (caps.MaxTextureHeight > 0 && static_cast<int64_t>(caps.MaxTextureHeight) < longest)
      longest = static_cast<int32_t>(caps.MaxTextureHeight);
  }
  const SheetLayout layout = PlanSheet(static_cast<int64_t>(models.size()), cell, command.columns, longest);
  if (layout.shown < static_cast<int64_t>(models.size())) {
    std::fprintf(stderr,
                 "kvrview: the sheet holds the first %lld of %llu models (no side longer than %d pixels); "
                 "--category or a smaller --cell shows the rest\n",
                 static_cast<long long>(layout.shown), static_cast<unsigned long long>(models.size()), longest);
  }

  Sheet sheet;
  if (!sheet.Create(layout, back, Background(command))) {
    std::fputs("kvrview: no room for the sheet's picture\n", stderr);
    return 1;
  }
  const D3DVIEWPORT9 whole = {0, 0, back.Width, back.Height, 0.0f, 1.0f};
  const D3DVIEWPORT9 picture = {0, 0, static_cast<DWORD>(cell), static_cast<DWORD>(cell), 0.0f, 1.0f};
  const int32_t lineHeight = ScreenLineHeight();
  const int32_t labelTop = cell + (kSheetLabelHeight > lineHeight ? (kSheetLabelHeight - lineHeight) / 2 : 0);
  IDirect3DDevice9* d = g_pd3dDevice;
  for (int64_t i = 0; i < layout.shown; ++i) {
    const int32_t model = models[static_cast<size_t>(i)];
    SetModelToTime(model, 0);
    d->SetViewport(&whole);
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, Background(command), 1.0f, 0);
    DrawModelPicture(model, picture, command.yaw, command.pitch, Background(command));
    d->SetViewport(&whole);
    if (SUCCEEDED(d->BeginScene())) {
      const std::string label = FitLabel(ModelCatalogue[model].name, cell - 2 * kSheetLabelMargin, ScreenTextWidth);
      DrawLabel(label, kSheetLabelMargin, labelTop, command.background);
      d->EndScene();
    }
    const int32_t column = static_cast<int32_t>(i % layout.columns);
    const int32_t row = static_cast<int32_t>(i / layout.columns);
    if (!sheet.Place(column * cell, row * cellHeight, cell, cellHeight)) {
      std::fputs("kvrview: a cell of the sheet could not be read back\n", stderr);
      return 1;
    }
  }
  if (!sheet.Save(command.outputPath)) return CouldNotWrite(command.output);
  return 0;
}
