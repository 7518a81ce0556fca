// ID3DXMatrixStack (see d3dx9math.h for what each method multiplies on which side).
// Implemented: every method; null arguments give D3DERR_INVALIDCALL; popping the last matrix
//   leaves it and succeeds. D3DXCreateMatrixStack takes no flags (any value is accepted, as
//   the SDK defines none).
#include <d3dx9.h>

#include <atomic>
#include <new>
#include <vector>

#include "d3d9/d3d9_internal.h"

namespace {

const GUID kIidMatrixStack = {0xC7885BA7, 0xF990, 0x4FE7, {0x92, 0x2D, 0x85, 0x15, 0xE4, 0x77, 0xDD, 0x85}};

class MatrixStack final : public ID3DXMatrixStack {
 public:
  MatrixStack() : stack_(1) { D3DXMatrixIdentity(&stack_.back()); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    return kvrd3d::QueryFor(this, riid, ppv, {&kIidMatrixStack});
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE Pop() override {
    if (stack_.size() > 1) stack_.pop_back();
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE Push() override {
    try {
      stack_.push_back(stack_.back());
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE LoadIdentity() override {
    D3DXMatrixIdentity(&stack_.back());
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE LoadMatrix(const D3DXMATRIX* m) override {
    if (!m) return D3DERR_INVALIDCALL;
    stack_.back() = *m;
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE MultMatrix(const D3DXMATRIX* m) override { return Apply(m, false); }
  HRESULT STDMETHODCALLTYPE MultMatrixLocal(const D3DXMATRIX* m) override { return Apply(m, true); }
  HRESULT STDMETHODCALLTYPE RotateAxis(const D3DXVECTOR3* v, FLOAT angle) override { return Rotate(v, angle, false); }
  HRESULT STDMETHODCALLTYPE RotateAxisLocal(const D3DXVECTOR3* v, FLOAT angle) override {
    return Rotate(v, angle, true);
  }
  HRESULT STDMETHODCALLTYPE RotateYawPitchRoll(FLOAT yaw, FLOAT pitch, FLOAT roll) override {
    return Apply(D3DXMatrixRotationYawPitchRoll(&scratch_, yaw, pitch, roll), false);
  }
  HRESULT STDMETHODCALLTYPE RotateYawPitchRollLocal(FLOAT yaw, FLOAT pitch, FLOAT roll) override {
    return Apply(D3DXMatrixRotationYawPitchRoll(&scratch_, yaw, pitch, roll), true);
  }
  HRESULT STDMETHODCALLTYPE Scale(FLOAT x, FLOAT y, FLOAT z) override {
    return Apply(D3DXMatrixScaling(&scratch_, x, y, z), false);
  }
  HRESULT STDMETHODCALLTYPE ScaleLocal(FLOAT x, FLOAT y, FLOAT z) override {
    return Apply(D3DXMatrixScaling(&scratch_, x, y, z), true);
  }
  HRESULT STDMETHODCALLTYPE Translate(FLOAT x, FLOAT y, FLOAT z) override {
    return Apply(D3DXMatrixTranslation(&scratch_, x, y, z), false);
  }
  HRESULT STDMETHODCALLTYPE TranslateLocal(FLOAT x, FLOAT y, FLOAT z) override {
    return Apply(D3DXMatrixTranslation(&scratch_, x, y, z), true);
  }
  D3DXMATRIX* STDMETHODCALLTYPE GetTop() override { return &stack_.back(); }

 private:
  // top = top * m, or with `local` m * top.
  HRESULT Apply(const D3DXMATRIX* m, bool local) {
    if (!m) return D3DERR_INVALIDCALL;
    D3DXMatrixMultiply(&stack_.back(), local ? m : &stack_.back(), local ? &stack_.back() : m);
    return D3D_OK;
  }
  HRESULT Rotate(const D3DXVECTOR3* v, FLOAT angle, bool local) {
    if (!v) return D3DERR_INVALIDCALL;
    return Apply(D3DXMatrixRotationAxis(&scratch_, v, angle), local);
  }

  D3DXMATRIX scratch_;  // the matrix a method multiplies by
  std::atomic<ULONG> refs_{1};
  std::vector<D3DXMATRIX> stack_;
};

}  // namespace

extern "C" HRESULT WINAPI D3DXCreateMatrixStack(DWORD Flags, LPD3DXMATRIXSTACK* ppStack) {
  (void)Flags;
  if (!ppStack) return D3DERR_INVALIDCALL;
  *ppStack = new (std::nothrow) MatrixStack();
  return *ppStack ? D3D_OK : E_OUTOFMEMORY;
}
