// Direct3D 9 state blocks: recorded with BeginStateBlock/EndStateBlock, captured and applied.
// Implemented: the states a recording set (render, texture-stage and sampler states, transforms,
//   material, viewport, FVF, stream 0, indices, textures, pixel shader none, lights given to SetLight and
//   LightEnable, each on its own); Capture re-reads them from the device, Apply sets them again.
#include "d3d9/d3d9_internal.h"

namespace kvrd3d {

StateBlock::StateBlock(Device* device) : device_(device) {}

StateBlock::~StateBlock() {
  if (handedOut_) device_->Release();
}

void StateBlock::HandOut() {
  // While it is being recorded the block belongs to the device; once handed to the program it
  // keeps the device alive like any other resource.
  handedOut_ = true;
  device_->AddRef();
}

HRESULT StateBlock::QueryInterface(REFIID riid, void** ppv) {
  return QueryFor(this, riid, ppv, {&kIidStateBlock9});
}

ULONG StateBlock::AddRef() { return ++refs_; }

ULONG StateBlock::Release() {
  ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT StateBlock::GetDevice(IDirect3DDevice9** ppDevice) {
  if (!ppDevice) return D3DERR_INVALIDCALL;
  *ppDevice = device_;
  device_->AddRef();
  return D3D_OK;
}

HRESULT StateBlock::Capture() {
  const StateValues& now = device_->state();
  for (DWORD i = 0; i < kRenderStateCount; ++i)
    if (mask.renderStates[i]) values.renderStates[i] = now.renderStates[i];
  for (DWORD s = 0; s < kStageCount; ++s)
    for (DWORD t = 0; t < kStageStateCount; ++t)
      if (mask.stageStates[s * kStageStateCount + t]) values.stageStates[s][t] = now.stageStates[s][t];
  for (DWORD s = 0; s < kAllSamplerCount; ++s)
    for (DWORD t = 0; t < kSamplerStateCount; ++t)
      if (mask.samplerStates[s * kSamplerStateCount + t])
        values.samplerStates[s][t] = now.samplerStates[s][t];
  for (DWORD i = 0; i < kTransformCount; ++i)
    if (mask.transforms[i]) values.transforms[i] = now.transforms[i];
  for (DWORD i = 0; i < kAllSamplerCount; ++i)
    if (mask.textures[i]) values.textures[i] = now.textures[i];
  for (DWORD i = 0; i < kStreamCount; ++i)
    if (mask.streams[i]) values.streams[i] = now.streams[i];
  if (mask.indices) values.indices = now.indices;
  if (mask.material) values.material = now.material;
  if (mask.viewport) values.viewport = now.viewport;
  if (mask.fvf) values.fvf = now.fvf;
  // A light the device does not hold (any more) keeps what was recorded.
  for (DWORD i : mask.lights) {
    auto it = now.lights.find(i);
    if (it != now.lights.end()) values.lights[i].light = it->second.light;
  }
  for (DWORD i : mask.lightEnables) {
    auto it = now.lights.find(i);
    if (it != now.lights.end()) values.lights[i].enabled = it->second.enabled;
  }
  return D3D_OK;
}

HRESULT StateBlock::Apply() {
  Device* d = device_;
  for (DWORD i = 0; i < kRenderStateCount; ++i)
    if (mask.renderStates[i]) d->SetRenderState(static_cast<D3DRENDERSTATETYPE>(i), values.renderStates[i]);
  for (DWORD s = 0; s < kStageCount; ++s)
    for (DWORD t = 0; t < kStageStateCount; ++t)
      if (mask.stageStates[s * kStageStateCount + t])
        d->SetTextureStageState(s, static_cast<D3DTEXTURESTAGESTATETYPE>(t), values.stageStates[s][t]);
  for (DWORD s = 0; s < kAllSamplerCount; ++s) {
    DWORD sampler = s < kSamplerCount ? s : 257 + (s - kSamplerCount);
    for (DWORD t = 0; t < kSamplerStateCount; ++t)
      if (mask.samplerStates[s * kSamplerStateCount + t])
        d->SetSamplerState(sampler, static_cast<D3DSAMPLERSTATETYPE>(t), values.samplerStates[s][t]);
    if (mask.textures[s]) d->SetTexture(sampler, values.textures[s].get());
  }
  for (DWORD i = 0; i < kTransformCount; ++i)
    if (mask.transforms[i]) d->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(i), &values.transforms[i]);
  for (DWORD i = 0; i < kStreamCount; ++i)
    if (mask.streams[i])
      d->SetStreamSource(i, values.streams[i].buffer.get(), values.streams[i].offset,
                         values.streams[i].stride);
  if (mask.indices) d->SetIndices(values.indices.get());
  if (mask.material) d->SetMaterial(&values.material);
  if (mask.viewport) d->SetViewport(&values.viewport);
  if (mask.fvf) d->SetFVF(values.fvf);
  if (mask.pixelShader) d->SetPixelShader(nullptr);
  // Lights are set before they are enabled, so an enabled light gets the recorded values.
  for (DWORD i : mask.lights) d->SetLight(i, &values.lights[i].light);
  for (DWORD i : mask.lightEnables) d->LightEnable(i, values.lights[i].enabled ? TRUE : FALSE);
  return D3D_OK;
}

}  // namespace kvrd3d
