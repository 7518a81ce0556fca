// Conversions between the W functions' wchar_t text and UTF-8.
// Implemented: UTF-32 wchar_t (and UTF-16 surrogate pairs within it) to UTF-8 and back, with
//   U+FFFD for anything that is not a character or not well-formed UTF-8.
// Not implemented: code pages; normalisation (text is kept as written).
#include "win32/wide_text.h"

#include <cstdint>

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::string KvrUtf8FromWide(const wchar_t* text) {
  std::string out;
  if (!text) return out;
  for (const wchar_t* p = text; *p; ++p) {
    uint32_t cp = static_cast<uint32_t>(*p);
    // Text made for a 16-bit wchar_t may carry surrogate pairs: join them.
    if (cp >= 0xD800 && cp <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<uint32_t>(p[1]) - 0xDC00);
      ++p;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

std::wstring KvrWideFromUtf8(const std::string& text) {
  std::wstring out;
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    const unsigned char lead = *p;
    int extra;
    uint32_t cp, least;
    if (lead < 0x80) { out += wchar_t(lead); ++p; continue; }
    if (lead >= 0xC2 && lead <= 0xDF) { extra = 1; cp = lead & 0x1F; least = 0x80; }
    else if (lead >= 0xE0 && lead <= 0xEF) { extra = 2; cp = lead & 0x0F; least = 0x800; }
    else if (lead >= 0xF0 && lead <= 0xF4) { extra = 3; cp = lead & 0x07; least = 0x10000; }
    else { out += wchar_t(kReplacement); ++p; continue; }
    if (end - p <= extra) { out += wchar_t(kReplacement); ++p; continue; }
    bool ok = true;
    for (int i = 1; i <= extra; ++i) {
      if ((p[i] & 0xC0) != 0x80) { ok = false; break; }
      cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (!ok || cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out += wchar_t(kReplacement);
      ++p;
      continue;
    }
    out += wchar_t(cp);
    p += extra + 1;
  }
  return out;
}
