// kernel32's code-page conversions (see winnls.h for the contract kept).
// Implemented: MultiByteToWideChar and WideCharToMultiByte for CP_UTF8 and the ANSI and OEM code
//   pages, which are UTF-8 here; sizes, terminating nulls, short buffers, flags and ill-formed
//   input as Windows reports them (GetLastError). For the ANSI pages the flags Windows allows
//   there are taken and ignored, and a default character, when given, stands for ill-formed
//   wchar_t text (lpUsedDefaultChar tells whether it did).
// Not implemented: other code pages (ERROR_INVALID_PARAMETER), composition (MB_COMPOSITE,
//   WC_COMPOSITECHECK do nothing).
#include <windows.h>

#include <cstdint>
#include <cstring>

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

bool IsAnsiPage(UINT page) { return page == CP_ACP || page == CP_OEMCP || page == CP_THREAD_ACP; }

int Fail(DWORD error) {
  SetLastError(error);
  return 0;
}

// Decodes one code point of UTF-8 from [p, end): how many bytes it takes, and false when they are
// ill-formed, in which case `used` is the maximal part of a well-formed sequence that starts
// there (at least one byte), all of which one U+FFFD stands for.
bool DecodeUtf8(const unsigned char* p, const unsigned char* end, uint32_t* cp, int* used) {
  const unsigned char lead = *p;
  if (lead < 0x80) {
    *cp = lead;
    *used = 1;
    return true;
  }
  int extra;
  unsigned char low = 0x80, high = 0xBF;  // the range of the first continuation byte
  if (lead >= 0xC2 && lead <= 0xDF) extra = 1;
  else if (lead == 0xE0) extra = 2, low = 0xA0;
  else if (lead >= 0xE1 && lead <= 0xEF) extra = 2, high = lead == 0xED ? 0x9F : 0xBF;
  else if (lead == 0xF0) extra = 3, low = 0x90;
  else if (lead >= 0xF1 && lead <= 0xF3) extra = 3;
  else if (lead == 0xF4) extra = 3, high = 0x8F;
  else {
    *used = 1;
    return false;
  }
  uint32_t value = lead & (0x3F >> extra);
  for (int i = 1; i <= extra; ++i) {
    if (p + i >= end || p[i] < low || p[i] > high) {
      *used = i;
      return false;
    }
    value = (value << 6) | (p[i] & 0x3F);
    low = 0x80, high = 0xBF;
  }
  *cp = value;
  *used = extra + 1;
  return true;
}

int EncodeUtf8(uint32_t cp, char* out) {
  if (cp < 0x80) {
    out[0] = char(cp);
    return 1;
  }
  if (cp < 0x800) {
    out[0] = char(0xC0 | (cp >> 6));
    out[1] = char(0x80 | (cp & 0x3F));
    return 2;
  }
  if (cp < 0x10000) {
    out[0] = char(0xE0 | (cp >> 12));
    out[1] = char(0x80 | ((cp >> 6) & 0x3F));
    out[2] = char(0x80 | (cp & 0x3F));
    return 3;
  }
  out[0] = char(0xF0 | (cp >> 18));
  out[1] = char(0x80 | ((cp >> 12) & 0x3F));
  out[2] = char(0x80 | ((cp >> 6) & 0x3F));
  out[3] = char(0x80 | (cp & 0x3F));
  return 4;
}

}  // namespace

extern "C" {

int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCCH lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar) {
  if (!lpMultiByteStr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
      (cchWideChar > 0 && !lpWideCharStr))
    return Fail(ERROR_INVALID_PARAMETER);
  if (CodePage == CP_UTF8) {
    if (dwFlags & ~DWORD(MB_ERR_INVALID_CHARS)) return Fail(ERROR_INVALID_FLAGS);
  } else if (IsAnsiPage(CodePage)) {
    if (dwFlags & ~DWORD(MB_PRECOMPOSED | MB_COMPOSITE | MB_USEGLYPHCHARS | MB_ERR_INVALID_CHARS) ||
        (dwFlags & (MB_PRECOMPOSED | MB_COMPOSITE)) == (MB_PRECOMPOSED | MB_COMPOSITE))
      return Fail(ERROR_INVALID_FLAGS);
  } else {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  const size_t length = cbMultiByte == -1 ? std::strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
  const auto* p = reinterpret_cast<const unsigned char*>(lpMultiByteStr);
  const auto* end = p + length;
  int written = 0;
  while (p < end) {
    uint32_t cp = kReplacement;
    int used = 1;
    if (!DecodeUtf8(p, end, &cp, &used)) {
      if (dwFlags & MB_ERR_INVALID_CHARS) return Fail(ERROR_NO_UNICODE_TRANSLATION);
      cp = kReplacement;
    }
    p += used;
    if (cchWideChar > 0) {
      if (written == cchWideChar) return Fail(ERROR_INSUFFICIENT_BUFFER);
      lpWideCharStr[written] = static_cast<wchar_t>(cp);
    }
    if (written == INT32_MAX) return Fail(ERROR_INSUFFICIENT_BUFFER);
    ++written;
  }
  return written;
}

int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWCH lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCCH lpDefaultChar, LPBOOL lpUsedDefaultChar) {
  if (!lpWideCharStr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
      (cbMultiByte > 0 && !lpMultiByteStr))
    return Fail(ERROR_INVALID_PARAMETER);
  const bool ansi = IsAnsiPage(CodePage);
  if (CodePage == CP_UTF8) {
    if (dwFlags & ~DWORD(WC_ERR_INVALID_CHARS)) return Fail(ERROR_INVALID_FLAGS);
    if (lpDefaultChar || lpUsedDefaultChar) return Fail(ERROR_INVALID_PARAMETER);
  } else if (ansi) {
    if (dwFlags & ~DWORD(WC_COMPOSITECHECK | WC_DISCARDNS | WC_SEPCHARS | WC_DEFAULTCHAR | WC_NO_BEST_FIT_CHARS |
                         WC_ERR_INVALID_CHARS))
      return Fail(ERROR_INVALID_FLAGS);
  } else {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  size_t length = 0;
  if (cchWideChar == -1) {
    while (lpWideCharStr[length]) ++length;
    ++length;  // the terminating null is converted too
  } else {
    length = static_cast<size_t>(cchWideChar);
  }
  const char* fallback = ansi && lpDefaultChar ? lpDefaultChar : nullptr;
  bool usedDefault = false;
  int written = 0;
  for (size_t i = 0; i < length; ++i) {
    uint32_t cp = static_cast<uint32_t>(lpWideCharStr[i]);
    // UTF-16 text carries characters past U+FFFF as surrogate pairs: join a pair.
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < length) {
      const uint32_t next = static_cast<uint32_t>(lpWideCharStr[i + 1]);
      if (next >= 0xDC00 && next <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (next - 0xDC00);
        ++i;
      }
    }
    char bytes[4];
    int count;
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
      if (dwFlags & WC_ERR_INVALID_CHARS) return Fail(ERROR_NO_UNICODE_TRANSLATION);
      if (fallback) {
        bytes[0] = *fallback;
        count = 1;
        usedDefault = true;
      } else {
        count = EncodeUtf8(kReplacement, bytes);
      }
    } else {
      count = EncodeUtf8(cp, bytes);
    }
    if (cbMultiByte > 0) {
      if (count > cbMultiByte - written) return Fail(ERROR_INSUFFICIENT_BUFFER);
      std::memcpy(lpMultiByteStr + written, bytes, static_cast<size_t>(count));
    }
    if (count > INT32_MAX - written) return Fail(ERROR_INSUFFICIENT_BUFFER);
    written += count;
  }
  if (lpUsedDefaultChar) *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
  return written;
}

}  // extern "C"
