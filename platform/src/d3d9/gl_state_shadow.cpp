// The GL state shadow of gl_state_shadow.h: each call compares what a draw needs with what GL
// was last told and changes only what differs; textures are uploaded (as RGBA8) when their
// levels changed; render targets and depth stencils get storage only. Not implemented: anisotropy,
// streams other than 0.
#include "d3d9/gl_state_shadow.h"

#include <algorithm>

#include <cmath>
#include <cstring>
#include <vector>

#include "d3d9/shader_interface.h"

namespace kvrd3d {

namespace {

GLenum BlendFactor(DWORD f, bool source) {
  switch (f) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_ONE: return GL_ONE;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT: return GL_SRC_ALPHA_SATURATE;
    // BOTH*: the source factor given, the destination its inverse.
    case D3DBLEND_BOTHSRCALPHA: return source ? GL_SRC_ALPHA : GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_BOTHINVSRCALPHA: return source ? GL_ONE_MINUS_SRC_ALPHA : GL_SRC_ALPHA;
    case D3DBLEND_BLENDFACTOR: return GL_CONSTANT_COLOR;
    case D3DBLEND_INVBLENDFACTOR: return GL_ONE_MINUS_CONSTANT_COLOR;
    default: return source ? GL_ONE : GL_ZERO;
  }
}

GLenum BlendOp(DWORD op) {
  switch (op) {
    case D3DBLENDOP_SUBTRACT: return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT: return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN: return GL_MIN;
    case D3DBLENDOP_MAX: return GL_MAX;
    default: return GL_FUNC_ADD;
  }
}

GLenum CompareFunc(DWORD f) {
  switch (f) {
    case D3DCMP_NEVER: return GL_NEVER;
    case D3DCMP_LESS: return GL_LESS;
    case D3DCMP_EQUAL: return GL_EQUAL;
    case D3DCMP_LESSEQUAL: return GL_LEQUAL;
    case D3DCMP_GREATER: return GL_GREATER;
    case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
    default: return GL_ALWAYS;
  }
}

GLenum StencilOp(DWORD op) {
  switch (op) {
    case D3DSTENCILOP_ZERO: return GL_ZERO;
    case D3DSTENCILOP_REPLACE: return GL_REPLACE;
    case D3DSTENCILOP_INCRSAT: return GL_INCR;
    case D3DSTENCILOP_DECRSAT: return GL_DECR;
    case D3DSTENCILOP_INVERT: return GL_INVERT;
    case D3DSTENCILOP_INCR: return GL_INCR_WRAP;
    case D3DSTENCILOP_DECR: return GL_DECR_WRAP;
    default: return GL_KEEP;
  }
}

GLenum AddressMode(DWORD a) {
  switch (a) {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER: return kGlClampToBorder;
    case D3DTADDRESS_MIRRORONCE: return GlMirrorClampToEdge();
    default: return GL_REPEAT;
  }
}

float AsFloat(DWORD d) {
  float f;
  std::memcpy(&f, &d, 4);
  return f;
}

}  // namespace

void GlShadow::SetScissorTest(bool on) {
  if (scissor == (on ? 1 : 0)) return;
  on ? glEnable(GL_SCISSOR_TEST) : glDisable(GL_SCISSOR_TEST);
  scissor = on ? 1 : 0;
}

void GlShadow::SetColorMask(int mask) {
  if (mask == colorMask) return;
  glColorMask(mask & 1, (mask >> 1) & 1, (mask >> 2) & 1, (mask >> 3) & 1);
  colorMask = mask;
}

void GlShadow::SetDepthMask(bool on) {
  if (depthMask == (on ? 1 : 0)) return;
  glDepthMask(on ? GL_TRUE : GL_FALSE);
  depthMask = on ? 1 : 0;
}

void ApplyBlend(GlShadow& shadow, const DWORD* rs) {
  const bool separate = rs[D3DRS_SEPARATEALPHABLENDENABLE] != 0;
  GLenum src = BlendFactor(rs[D3DRS_SRCBLEND], true), dst = BlendFactor(rs[D3DRS_DESTBLEND], false);
  // BOTH* source factors decide the destination factor as well.
  if (rs[D3DRS_SRCBLEND] == D3DBLEND_BOTHSRCALPHA) dst = GL_ONE_MINUS_SRC_ALPHA;
  if (rs[D3DRS_SRCBLEND] == D3DBLEND_BOTHINVSRCALPHA) dst = GL_SRC_ALPHA;
  const GLenum srcA = separate ? BlendFactor(rs[D3DRS_SRCBLENDALPHA], true) : src;
  const GLenum dstA = separate ? BlendFactor(rs[D3DRS_DESTBLENDALPHA], false) : dst;
  const GLenum op = BlendOp(rs[D3DRS_BLENDOP]);
  const GLenum opA = separate ? BlendOp(rs[D3DRS_BLENDOPALPHA]) : op;
  // Blending that writes the source unchanged (one, zero, add) is left off: the same pixels, but
  // a software rasteriser then need not read the target back for every fragment.
  const bool replaces = src == GL_ONE && dst == GL_ZERO && srcA == GL_ONE && dstA == GL_ZERO &&
                        op == GL_FUNC_ADD && opA == GL_FUNC_ADD;
  const int blend = rs[D3DRS_ALPHABLENDENABLE] && !replaces ? 1 : 0;
  if (blend != shadow.blend) {
    blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
    shadow.blend = blend;
  }
  if (!blend) return;
  if (src != shadow.srcRgb || dst != shadow.dstRgb || srcA != shadow.srcAlpha || dstA != shadow.dstAlpha) {
    glBlendFuncSeparate(src, dst, srcA, dstA);
    shadow.srcRgb = src;
    shadow.dstRgb = dst;
    shadow.srcAlpha = srcA;
    shadow.dstAlpha = dstA;
  }
  if (op != shadow.opRgb || opA != shadow.opAlpha) {
    glBlendEquationSeparate(op, opA);
    shadow.opRgb = op;
    shadow.opAlpha = opA;
  }
  const DWORD bf = rs[D3DRS_BLENDFACTOR];
  if (bf != shadow.blendColor) {
    glBlendColor(((bf >> 16) & 0xFF) / 255.0f, ((bf >> 8) & 0xFF) / 255.0f, (bf & 0xFF) / 255.0f,
                 ((bf >> 24) & 0xFF) / 255.0f);
    shadow.blendColor = bf;
  }
}

void ApplyDepth(GlShadow& shadow, const DWORD* rs, bool hasDepth) {
  const int depthTest = hasDepth && rs[D3DRS_ZENABLE] != D3DZB_FALSE ? 1 : 0;
  if (depthTest != shadow.depthTest) {
    depthTest ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
    shadow.depthTest = depthTest;
  }
  if (!depthTest) return;
  const GLenum f = CompareFunc(rs[D3DRS_ZFUNC]);
  if (f != shadow.depthFunc) {
    glDepthFunc(f);
    shadow.depthFunc = f;
  }
  shadow.SetDepthMask(rs[D3DRS_ZWRITEENABLE] != 0);
}

void ApplyRaster(GlShadow& shadow, const DWORD* rs, bool alphaTarget, bool pretransformed) {
  // The target holds Direct3D's rows top first, so a triangle that runs clockwise on Direct3D's
  // screen runs counter-clockwise in GL's window coordinates (front, with GL_CCW).
  const DWORD cullMode = rs[D3DRS_CULLMODE];
  const int cull = cullMode == D3DCULL_CW || cullMode == D3DCULL_CCW ? 1 : 0;
  if (cull != shadow.cull) {
    cull ? glEnable(GL_CULL_FACE) : glDisable(GL_CULL_FACE);
    shadow.cull = cull;
  }
  if (cull) {
    const GLenum face = cullMode == D3DCULL_CCW ? GL_BACK : GL_FRONT;
    if (face != shadow.cullFace) {
      glCullFace(face);
      shadow.cullFace = face;
    }
  }
  shadow.SetColorMask(static_cast<int>(rs[D3DRS_COLORWRITEENABLE] & (alphaTarget ? 0xF : 0x7)));
  const GLenum fill = rs[D3DRS_FILLMODE] == D3DFILL_POINT       ? kGlPoint
                      : rs[D3DRS_FILLMODE] == D3DFILL_WIREFRAME ? kGlLine
                                                                : kGlFill;
  if (fill != shadow.polygonMode) {
    GlPolygonMode(fill);
    shadow.polygonMode = fill;
  }
  // Pre-transformed vertices are not clipped by depth: their z is clamped instead.
  const int clamp = pretransformed ? 1 : 0;
  if (clamp != shadow.depthClamp) {
    GlDepthClamp(clamp != 0);
    shadow.depthClamp = clamp;
  }
}

void ApplyStencil(GlShadow& shadow, const DWORD* rs, bool hasStencil) {
  const int test = hasStencil && rs[D3DRS_STENCILENABLE] ? 1 : 0;
  if (test != shadow.stencilTest) {
    test ? glEnable(GL_STENCIL_TEST) : glDisable(GL_STENCIL_TEST);
    shadow.stencilTest = test;
  }
  if (!test) return;
  // The reference is clamped to the buffer's eight bits as Direct3D does; masks keep eight.
  const DWORD ref = rs[D3DRS_STENCILREF] > 0xFF ? 0xFF : rs[D3DRS_STENCILREF];
  GlShadow::StencilFace front;
  front.func = CompareFunc(rs[D3DRS_STENCILFUNC]);
  front.fail = StencilOp(rs[D3DRS_STENCILFAIL]);
  front.zfail = StencilOp(rs[D3DRS_STENCILZFAIL]);
  front.pass = StencilOp(rs[D3DRS_STENCILPASS]);
  front.ref = static_cast<GLint>(ref);
  front.mask = rs[D3DRS_STENCILMASK] & 0xFF;
  front.writeMask = rs[D3DRS_STENCILWRITEMASK] & 0xFF;
  GlShadow::StencilFace back = front;
  if (rs[D3DRS_TWOSIDEDSTENCILMODE]) {
    back.func = CompareFunc(rs[D3DRS_CCW_STENCILFUNC]);
    back.fail = StencilOp(rs[D3DRS_CCW_STENCILFAIL]);
    back.zfail = StencilOp(rs[D3DRS_CCW_STENCILZFAIL]);
    back.pass = StencilOp(rs[D3DRS_CCW_STENCILPASS]);
  }
  auto apply = [](GLenum face, const GlShadow::StencilFace& want, GlShadow::StencilFace& have) {
    if (want == have) return;
    if (want.func != have.func || want.ref != have.ref || want.mask != have.mask)
      glStencilFuncSeparate(face, want.func, want.ref, want.mask);
    if (want.fail != have.fail || want.zfail != have.zfail || want.pass != have.pass)
      glStencilOpSeparate(face, want.fail, want.zfail, want.pass);
    if (want.writeMask != have.writeMask) glStencilMaskSeparate(face, want.writeMask);
    have = want;
  };
  apply(GL_FRONT, front, shadow.stencilFront);
  apply(GL_BACK, back, shadow.stencilBack);
}

void StoreGpuTexture(GlShadow& shadow, Texture* t) {
  if (t->glTexture) return;
  glGenTextures(1, &t->glTexture);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, t->glTexture);
  shadow.textures[0] = t->glTexture;
  GLenum internal = GL_RGBA8, format = GL_RGBA, type = GL_UNSIGNED_BYTE;
  int depth = 0, stencil = 0;
  if (DepthStencilBits(t->format(), &depth, &stencil)) {
    internal = stencil ? GL_DEPTH24_STENCIL8 : depth == 16 ? GL_DEPTH_COMPONENT16 : GL_DEPTH_COMPONENT24;
    format = stencil ? GL_DEPTH_STENCIL : GL_DEPTH_COMPONENT;
    type = stencil ? GL_UNSIGNED_INT_24_8 : depth == 16 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT;
  }
  // A target without alpha reads as opaque wherever it is sampled. Where GL cannot swizzle, its
  // levels start opaque black and stay opaque: draws and clears into it leave alpha at 1.
  const bool opaqueLevels = t->format() == D3DFMT_X8R8G8B8 && !GlSwizzleAlphaToOne();
  std::vector<uint8_t> opaque;
  const UINT levels = static_cast<UINT>(t->levels().size());
  for (UINT i = 0; i < levels; ++i) {
    const Texture::Level& l = t->levels()[i];
    if (opaqueLevels && opaque.empty()) {
      opaque.assign(static_cast<size_t>(l.width) * l.height * 4, 0);
      for (size_t a = 3; a < opaque.size(); a += 4) opaque[a] = 0xFF;
    }
    glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i), static_cast<GLint>(internal), l.width, l.height, 0, format,
                 type, opaqueLevels ? opaque.data() : nullptr);
  }
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels - 1));
  t->dirty = false;
}

void BindStageTexture(GlShadow& shadow, GLuint so, GLuint unit, Texture* t, const DWORD* ss, bool samplerDirty) {
  const UINT levels = static_cast<UINT>(t->levels().size());
  if (t->GpuOnly()) StoreGpuTexture(shadow, t);
  bool bound = false;
  auto bind = [&]() {
    if (bound) return;
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, t->glTexture);
    shadow.textures[unit] = t->glTexture;
    bound = true;
  };
  if (!t->glTexture) {
    glGenTextures(1, &t->glTexture);
    bind();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels - 1));
    t->dirty = true;
  }
  if (shadow.textures[unit] != t->glTexture) bind();
  if (t->dirty) {
    bind();
    // Each level is kept in its Direct3D format; GL gets RGBA8.
    std::vector<uint8_t> rgba;
    for (UINT i = 0; i < levels; ++i) {
      const Texture::Level& l = t->levels()[i];
      rgba.resize(static_cast<size_t>(l.width) * l.height * 4);
      for (UINT y = 0; y < l.height; ++y)
        ConvertRowToRgba8(t->format(), l.bytes.data() + static_cast<size_t>(y) * l.pitch,
                          rgba.data() + static_cast<size_t>(y) * l.width * 4, l.width);
      glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i), GL_RGBA8, l.width, l.height, 0, GL_RGBA,
                   GL_UNSIGNED_BYTE, rgba.data());
    }
    t->dirty = false;
  }
  // D3DSAMP_MAXMIPLEVEL names the most detailed level that may be used.
  int base = static_cast<int>(ss[D3DSAMP_MAXMIPLEVEL]);
  if (base > static_cast<int>(levels) - 1) base = static_cast<int>(levels) - 1;
  if (base != t->glBaseLevel) {
    bind();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, base);
    t->glBaseLevel = base;
  }
  if (!samplerDirty) return;

  GlShadow::Sampler& sh = shadow.samplers[unit];
  auto linear = [](DWORD f) { return f != D3DTEXF_NONE && f != D3DTEXF_POINT; };
  const GLint mag = linear(ss[D3DSAMP_MAGFILTER]) ? GL_LINEAR : GL_NEAREST;
  const bool minLinear = linear(ss[D3DSAMP_MINFILTER]);
  GLint min;
  const DWORD mip = levels > 1 ? ss[D3DSAMP_MIPFILTER] : static_cast<DWORD>(D3DTEXF_NONE);
  if (mip == D3DTEXF_NONE) min = minLinear ? GL_LINEAR : GL_NEAREST;
  else if (mip == D3DTEXF_POINT) min = minLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
  else min = minLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
  if (mag != sh.magFilter) glSamplerParameteri(so, GL_TEXTURE_MAG_FILTER, sh.magFilter = mag);
  if (min != sh.minFilter) glSamplerParameteri(so, GL_TEXTURE_MIN_FILTER, sh.minFilter = min);
  // D3DSAMP_MAXANISOTROPY counts only while a filter is anisotropic.
  const bool anisotropic = ss[D3DSAMP_MINFILTER] == D3DTEXF_ANISOTROPIC || ss[D3DSAMP_MAGFILTER] == D3DTEXF_ANISOTROPIC;
  const float anisotropy = anisotropic ? static_cast<float>(std::clamp<DWORD>(ss[D3DSAMP_MAXANISOTROPY], 1, 16)) : 1.0f;
  if (anisotropy != sh.maxAnisotropy) GlSamplerMaxAnisotropy(so, sh.maxAnisotropy = anisotropy);
  const GLint ws = static_cast<GLint>(AddressMode(ss[D3DSAMP_ADDRESSU]));
  const GLint wt = static_cast<GLint>(AddressMode(ss[D3DSAMP_ADDRESSV]));
  if (ws != sh.wrapS) glSamplerParameteri(so, GL_TEXTURE_WRAP_S, sh.wrapS = ws);
  if (wt != sh.wrapT) glSamplerParameteri(so, GL_TEXTURE_WRAP_T, sh.wrapT = wt);
  const DWORD border = ss[D3DSAMP_BORDERCOLOR];
  if (border != sh.border) {
    const float c[4] = {((border >> 16) & 0xFF) / 255.0f, ((border >> 8) & 0xFF) / 255.0f,
                        (border & 0xFF) / 255.0f, ((border >> 24) & 0xFF) / 255.0f};
    GlSamplerBorderColor(so, c);
    sh.border = border;
  }
  const float bias = AsFloat(ss[D3DSAMP_MIPMAPLODBIAS]);
  if (bias != sh.lodBias && std::isfinite(bias)) {
    GlSamplerLodBias(so, bias);
    sh.lodBias = bias;
  }
}

namespace {

// Gives a buffer's GL object storage of the whole size once, then sends what was written since.
void Upload(BufferBytes& b, GLenum target) {
  if (!b.glStored) {
    glBufferData(target, static_cast<GLsizeiptr>(b.bytes().size()), b.bytes().data(), GL_DYNAMIC_DRAW);
    b.glStored = true;
    b.dirtyBegin = b.dirtyEnd = 0;
  } else if (b.dirtyBegin < b.dirtyEnd) {
    // Only what was written since the last draw: a beat that rewrites a few texture coordinates
    // of a large model uploads those, not the model.
    glBufferSubData(target, static_cast<GLintptr>(b.dirtyBegin),
                    static_cast<GLsizeiptr>(b.dirtyEnd - b.dirtyBegin), b.bytes().data() + b.dirtyBegin);
    b.dirtyBegin = b.dirtyEnd = 0;
  }
}

// Makes the buffer's GL object when it has none and binds it unless `bound` says it is; true
// when it was bound now.
bool BindBuffer(BufferBytes& b, GLenum target, GLuint& bound) {
  if (!b.glBuffer) {
    glGenBuffers(1, &b.glBuffer);
    b.glStored = false;
  }
  if (bound == b.glBuffer) return false;
  glBindBuffer(target, b.glBuffer);
  bound = b.glBuffer;
  return true;
}

}  // namespace

void BindIndices(GlShadow& shadow, IndexBuffer* ib) {
  BindBuffer(*ib, GL_ELEMENT_ARRAY_BUFFER, shadow.elementBuffer);
  Upload(*ib, GL_ELEMENT_ARRAY_BUFFER);
}

void BindVertexInput(GlShadow& shadow, const StateValues& s, const FvfLayout& layout, bool inputDirty,
                     UINT vertexShift) {
  const StateValues::Stream& stream = s.streams[0];
  VertexBuffer* vb = stream.buffer.get();
  if (BindBuffer(*vb, GL_ARRAY_BUFFER, shadow.arrayBuffer)) {
    shadow.fvf = ~0u;  // attribute pointers name the buffer bound when they were set
    inputDirty = true;
  }
  Upload(*vb, GL_ARRAY_BUFFER);
  const UINT offset = stream.offset + vertexShift;
  if (offset != shadow.streamOffset) inputDirty = true;
  if (!inputDirty ||
      (shadow.fvf == s.fvf && shadow.streamOffset == offset && shadow.stride == stream.stride))
    return;
  shadow.fvf = s.fvf;
  shadow.streamOffset = offset;
  shadow.stride = stream.stride;
  const GLsizei stride = static_cast<GLsizei>(stream.stride);
  auto at = [&](int element) {
    return reinterpret_cast<const void*>(static_cast<uintptr_t>(offset) + element);
  };
  unsigned enabled = 0;
  auto array = [&](GLuint location, GLint size, GLenum type, GLboolean normalized, int offset) {
    glEnableVertexAttribArray(location);
    glVertexAttribPointer(location, size, type, normalized, stride, at(offset));
    enabled |= 1u << location;
  };
  array(kAttribPosition, static_cast<GLint>(layout.positionFloats), GL_FLOAT, GL_FALSE, 0);
  // D3DCOLOR is B, G, R, A in memory: GL_BGRA reads it as RGBA (see gl_api.h for OpenGL ES).
  if (layout.diffuse >= 0) array(kAttribDiffuse, kGlColorSize, GL_UNSIGNED_BYTE, GL_TRUE, layout.diffuse);
  if (layout.specular >= 0) array(kAttribSpecular, kGlColorSize, GL_UNSIGNED_BYTE, GL_TRUE, layout.specular);
  if (layout.normal >= 0) array(kAttribNormal, 3, GL_FLOAT, GL_FALSE, layout.normal);
  for (UINT set = 0; set < layout.texSets && set < 8; ++set)
    array(kAttribTexSet0 + set, static_cast<GLint>(layout.texFloats[set]), GL_FLOAT, GL_FALSE,
          layout.texOffset[set]);
  // What the format lacks reads a constant: opaque white for the diffuse colour, (0, 0, 0, 1)
  // for the others.
  for (GLuint location = 0; location < kAttribTexSet0 + 8; ++location) {
    const unsigned bit = 1u << location;
    if ((enabled & bit) || !(shadow.enabledArrays & bit)) continue;
    glDisableVertexAttribArray(location);
  }
  if (!(enabled & (1u << kAttribDiffuse))) glVertexAttrib4f(kAttribDiffuse, 1.0f, 1.0f, 1.0f, 1.0f);
  if (!(enabled & (1u << kAttribSpecular))) glVertexAttrib4f(kAttribSpecular, 0.0f, 0.0f, 0.0f, 1.0f);
  if (!(enabled & (1u << kAttribNormal))) glVertexAttrib4f(kAttribNormal, 0.0f, 0.0f, 0.0f, 1.0f);
  shadow.enabledArrays = enabled;
}

}  // namespace kvrd3d
