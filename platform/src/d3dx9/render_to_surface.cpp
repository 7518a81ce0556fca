// ID3DXRenderToSurface: BeginScene sets the given surface as render target (with a depth stencil
// of the object's own when it was made with one, else none) and the viewport, and begins the
// device's scene; EndScene ends it and gives back the render target, depth stencil and viewport
// that were set before.
// Supported: surfaces of the object's size and format that are render targets (a level of a
//   render-target texture, or a render-target surface).
// Not supported (D3DERR_INVALIDCALL from BeginScene): other surfaces, which D3DX would draw
//   through a render target of its own and copy; EndScene's MipFilter is accepted and ignored.
#include <d3dx9.h>

#include <atomic>
#include <cstring>

namespace {

const GUID kIidRenderToSurface = {0x6985F346, 0x2C3D, 0x43B3, {0xBE, 0x8B, 0xDA, 0xAE, 0x8A, 0x03, 0xD8, 0x94}};
const GUID kIidUnknownHere = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

class RenderToSurface final : public ID3DXRenderToSurface {
 public:
  RenderToSurface(IDirect3DDevice9* device, const D3DXRTS_DESC& desc) : device_(device), desc_(desc) {
    device_->AddRef();
  }
  ~RenderToSurface() {
    Restore();
    if (depth_) depth_->Release();
    device_->Release();
  }
  bool MakeDepth() {
    return SUCCEEDED(device_->CreateDepthStencilSurface(desc_.Width, desc_.Height, desc_.DepthStencilFormat,
                                                        D3DMULTISAMPLE_NONE, 0, TRUE, &depth_, nullptr));
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (std::memcmp(&riid, &kIidRenderToSurface, sizeof(GUID)) != 0 &&
        std::memcmp(&riid, &kIidUnknownHere, sizeof(GUID)) != 0)
      return E_NOINTERFACE;
    AddRef();
    *ppv = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetDevice(LPDIRECT3DDEVICE9* ppDevice) override {
    if (!ppDevice) return D3DERR_INVALIDCALL;
    *ppDevice = device_;
    device_->AddRef();
    return D3D_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDesc(D3DXRTS_DESC* pDesc) override {
    if (!pDesc) return D3DERR_INVALIDCALL;
    *pDesc = desc_;
    return D3D_OK;
  }

  HRESULT STDMETHODCALLTYPE BeginScene(LPDIRECT3DSURFACE9 pSurface, const D3DVIEWPORT9* pViewport) override {
    if (!pSurface || began_) return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC d;
    if (FAILED(pSurface->GetDesc(&d)) || !(d.Usage & D3DUSAGE_RENDERTARGET) || d.Width != desc_.Width ||
        d.Height != desc_.Height || d.Format != desc_.Format)
      return D3DERR_INVALIDCALL;
    if (FAILED(device_->GetRenderTarget(0, &oldTarget_))) return D3DERR_INVALIDCALL;
    device_->GetDepthStencilSurface(&oldDepth_);  // none set is fine
    device_->GetViewport(&oldViewport_);
    began_ = true;
    HRESULT hr = device_->SetRenderTarget(0, pSurface);
    if (SUCCEEDED(hr)) hr = device_->SetDepthStencilSurface(depth_);
    if (SUCCEEDED(hr) && pViewport) hr = device_->SetViewport(pViewport);
    if (SUCCEEDED(hr)) hr = device_->BeginScene();
    if (FAILED(hr)) Restore();
    return hr;
  }

  HRESULT STDMETHODCALLTYPE EndScene(DWORD) override {
    if (!began_) return D3DERR_INVALIDCALL;
    const HRESULT hr = device_->EndScene();
    Restore();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE OnLostDevice() override { return D3D_OK; }
  HRESULT STDMETHODCALLTYPE OnResetDevice() override { return D3D_OK; }

 private:
  // What BeginScene changed, set back.
  void Restore() {
    if (!began_) return;
    began_ = false;
    device_->SetRenderTarget(0, oldTarget_);
    device_->SetDepthStencilSurface(oldDepth_);
    device_->SetViewport(&oldViewport_);
    oldTarget_->Release();
    if (oldDepth_) oldDepth_->Release();
    oldTarget_ = oldDepth_ = nullptr;
  }

  std::atomic<ULONG> refs_{1};
  IDirect3DDevice9* device_;
  D3DXRTS_DESC desc_;
  IDirect3DSurface9* depth_ = nullptr;
  bool began_ = false;
  IDirect3DSurface9* oldTarget_ = nullptr;
  IDirect3DSurface9* oldDepth_ = nullptr;
  D3DVIEWPORT9 oldViewport_ = {};
};

}  // namespace

extern "C" HRESULT WINAPI D3DXCreateRenderToSurface(LPDIRECT3DDEVICE9 pDevice, UINT Width, UINT Height,
                                                    D3DFORMAT Format, BOOL DepthStencil,
                                                    D3DFORMAT DepthStencilFormat,
                                                    LPD3DXRENDERTOSURFACE* ppRenderToSurface) {
  if (!pDevice || !ppRenderToSurface || Width == 0 || Height == 0) return D3DERR_INVALIDCALL;
  *ppRenderToSurface = nullptr;
  const D3DXRTS_DESC desc = {Width, Height, Format, DepthStencil, DepthStencilFormat};
  RenderToSurface* rts = new RenderToSurface(pDevice, desc);
  if (DepthStencil && !rts->MakeDepth()) {
    rts->Release();
    return D3DERR_INVALIDCALL;
  }
  *ppRenderToSurface = rts;
  return D3D_OK;
}
