// strsafe.h's bounded string functions, narrow (char) and wide (wchar_t).
// Implemented: StringCch/StringCb Copy, CopyN (Cch only), Cat, Printf, VPrintf and Length.
// The printf forms read a format as the SDK does: %S and %C take the other width's string and
//   character, %hs/%hc narrow, %ls/%lc/%ws wide, and in the W forms plain %s/%c are wide; size
//   prefixes I64, I32 and I are understood.
// Not implemented: the Ex forms and their flags, StringCchGets.
#include <strsafe.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

template <typename C>
size_t BoundedLength(const C* s, size_t limit) {
  size_t n = 0;
  while (n < limit && s[n]) ++n;
  return n;
}

template <typename C>
bool ValidSize(C* dest, size_t cch) {
  if (!dest || cch == 0) return false;
  if (cch > STRSAFE_MAX_CCH) {
    dest[0] = 0;  // the size is a lie, but the first character is there whatever it is
    return false;
  }
  return true;
}

// Writes src[0..count) at dest + at, cut to what the cch characters leave room for; always
// terminates.
template <typename C>
HRESULT Put(C* dest, size_t cch, size_t at, const C* src, size_t count) {
  const size_t room = cch - 1 - at;
  const size_t n = count < room ? count : room;
  for (size_t i = 0; i < n; ++i) dest[at + i] = src[i];
  dest[at + n] = 0;
  return n < count ? STRSAFE_E_INSUFFICIENT_BUFFER : S_OK;
}

template <typename C>
HRESULT Copy(C* dest, size_t cch, const C* src, size_t limit) {
  if (!ValidSize(dest, cch)) return STRSAFE_E_INVALID_PARAMETER;
  if (!src) {
    dest[0] = 0;
    return S_OK;
  }
  // Reading stops one past what fits: enough to know whether the source was cut.
  const size_t readLimit = limit < cch ? limit : cch;
  return Put(dest, cch, 0, src, BoundedLength(src, readLimit));
}

template <typename C>
HRESULT Cat(C* dest, size_t cch, const C* src) {
  if (!ValidSize(dest, cch)) return STRSAFE_E_INVALID_PARAMETER;
  const size_t have = BoundedLength(dest, cch);
  if (have == cch) return STRSAFE_E_INVALID_PARAMETER;  // the destination is not terminated
  if (!src) return S_OK;
  return Put(dest, cch, have, src, BoundedLength(src, cch - have));
}

template <typename C>
HRESULT Length(const C* s, size_t cchMax, size_t* out) {
  if (out) *out = 0;
  if (!s || cchMax == 0 || cchMax > STRSAFE_MAX_CCH) return STRSAFE_E_INVALID_PARAMETER;
  const size_t n = BoundedLength(s, cchMax);
  if (n == cchMax) return STRSAFE_E_INVALID_PARAMETER;
  if (out) *out = n;
  return S_OK;
}

// The SDK's reading of a printf format rewritten for the C library's. `wide` says whether the
// format belongs to a W function, where a plain %s is a wide string.
template <typename C>
std::basic_string<C> TranslateFormat(const C* format, bool wide) {
  std::basic_string<C> out;
  for (const C* p = format; *p; ++p) {
    out += *p;
    if (*p != '%') continue;
    if (p[1] == '%') {
      out += *++p;
      continue;
    }
    // Flags, width and precision pass as they are.
    while (p[1] == '-' || p[1] == '+' || p[1] == ' ' || p[1] == '#' || p[1] == '.' || p[1] == '*' ||
           (p[1] >= '0' && p[1] <= '9'))
      out += *++p;
    // Size prefixes.
    char size = 0;  // 0 none, 'h' narrow, 'l' wide
    if (p[1] == 'I' && p[2] == '6' && p[3] == '4') {
      out += C('l'), out += C('l');
      p += 3;
    } else if (p[1] == 'I' && p[2] == '3' && p[3] == '2') {
      p += 3;
    } else if (p[1] == 'I') {
      out += C('z');
      ++p;
    } else if (p[1] == 'h' && (p[2] == 's' || p[2] == 'c' || p[2] == 'S' || p[2] == 'C')) {
      size = 'h';
      ++p;
    } else if ((p[1] == 'l' || p[1] == 'w') && (p[2] == 's' || p[2] == 'c' || p[2] == 'S' || p[2] == 'C')) {
      size = 'l';
      ++p;
    }
    const C conversion = p[1];
    if (!conversion) break;
    ++p;
    const bool isString = conversion == 's' || conversion == 'S';
    const bool isChar = conversion == 'c' || conversion == 'C';
    if (!isString && !isChar) {
      out += conversion;
      continue;
    }
    bool wideArgument;
    if (size) wideArgument = size == 'l';
    else if (conversion == 's' || conversion == 'c') wideArgument = wide;
    else wideArgument = !wide;  // %S and %C: the other width
    if (wideArgument) out += C('l');
    out += isString ? C('s') : C('c');
  }
  return out;
}

HRESULT FormatNarrow(char* dest, size_t cch, const char* format, va_list args) {
  if (!ValidSize(dest, cch)) return STRSAFE_E_INVALID_PARAMETER;
  if (!format) {
    dest[0] = 0;
    return STRSAFE_E_INVALID_PARAMETER;
  }
  const std::string translated = TranslateFormat(format, false);
  const int n = std::vsnprintf(dest, cch, translated.c_str(), args);
  if (n < 0) {
    dest[0] = 0;
    return STRSAFE_E_INVALID_PARAMETER;
  }
  return size_t(n) >= cch ? STRSAFE_E_INSUFFICIENT_BUFFER : S_OK;
}

HRESULT FormatWide(wchar_t* dest, size_t cch, const wchar_t* format, va_list args) {
  if (!ValidSize(dest, cch)) return STRSAFE_E_INVALID_PARAMETER;
  if (!format) {
    dest[0] = 0;
    return STRSAFE_E_INVALID_PARAMETER;
  }
  const std::wstring translated = TranslateFormat(format, true);
  // vswprintf says neither how long the whole text would be nor what it left in a buffer that
  // was too small, so the text is made whole in a buffer of its own, then cut to fit.
  constexpr size_t kLongestText = size_t(1) << 22;
  for (size_t size = 256; size <= kLongestText; size *= 2) {
    std::vector<wchar_t> buffer(size);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vswprintf(buffer.data(), size, translated.c_str(), copy);
    va_end(copy);
    if (n >= 0) return Put(dest, cch, 0, buffer.data(), size_t(n));
  }
  dest[0] = 0;
  return STRSAFE_E_INVALID_PARAMETER;  // a character with no encoding, or text beyond reason
}

}  // namespace

extern "C" {

HRESULT WINAPI StringCchCopyA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPCSTR pszSrc) {
  return Copy(pszDest, cchDest, pszSrc, STRSAFE_MAX_CCH);
}
HRESULT WINAPI StringCchCopyW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPCWSTR pszSrc) {
  return Copy(pszDest, cchDest, pszSrc, STRSAFE_MAX_CCH);
}
HRESULT WINAPI StringCchCopyNA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPCSTR pszSrc, size_t cchToCopy) {
  if (cchToCopy > STRSAFE_MAX_CCH) {
    if (ValidSize(pszDest, cchDest)) pszDest[0] = 0;
    return STRSAFE_E_INVALID_PARAMETER;
  }
  return Copy(pszDest, cchDest, pszSrc, cchToCopy);
}
HRESULT WINAPI StringCchCopyNW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPCWSTR pszSrc, size_t cchToCopy) {
  if (cchToCopy > STRSAFE_MAX_CCH) {
    if (ValidSize(pszDest, cchDest)) pszDest[0] = 0;
    return STRSAFE_E_INVALID_PARAMETER;
  }
  return Copy(pszDest, cchDest, pszSrc, cchToCopy);
}
HRESULT WINAPI StringCchCatA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPCSTR pszSrc) {
  return Cat(pszDest, cchDest, pszSrc);
}
HRESULT WINAPI StringCchCatW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPCWSTR pszSrc) {
  return Cat(pszDest, cchDest, pszSrc);
}
HRESULT WINAPI StringCchVPrintfA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPCSTR pszFormat, va_list argList) {
  return FormatNarrow(pszDest, cchDest, pszFormat, argList);
}
HRESULT WINAPI StringCchVPrintfW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPCWSTR pszFormat,
                                 va_list argList) {
  return FormatWide(pszDest, cchDest, pszFormat, argList);
}
HRESULT StringCchPrintfA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPCSTR pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  const HRESULT hr = FormatNarrow(pszDest, cchDest, pszFormat, args);
  va_end(args);
  return hr;
}
HRESULT StringCchPrintfW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPCWSTR pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  const HRESULT hr = FormatWide(pszDest, cchDest, pszFormat, args);
  va_end(args);
  return hr;
}
HRESULT WINAPI StringCchLengthA(STRSAFE_LPCSTR psz, size_t cchMax, size_t* pcchLength) {
  return Length(psz, cchMax, pcchLength);
}
HRESULT WINAPI StringCchLengthW(STRSAFE_LPCWSTR psz, size_t cchMax, size_t* pcchLength) {
  return Length(psz, cchMax, pcchLength);
}

HRESULT WINAPI StringCbCopyA(STRSAFE_LPSTR pszDest, size_t cbDest, STRSAFE_LPCSTR pszSrc) {
  return Copy(pszDest, cbDest, pszSrc, STRSAFE_MAX_CCH);
}
HRESULT WINAPI StringCbCopyW(STRSAFE_LPWSTR pszDest, size_t cbDest, STRSAFE_LPCWSTR pszSrc) {
  return Copy(pszDest, cbDest / sizeof(wchar_t), pszSrc, STRSAFE_MAX_CCH);
}
HRESULT WINAPI StringCbCatA(STRSAFE_LPSTR pszDest, size_t cbDest, STRSAFE_LPCSTR pszSrc) {
  return Cat(pszDest, cbDest, pszSrc);
}
HRESULT WINAPI StringCbCatW(STRSAFE_LPWSTR pszDest, size_t cbDest, STRSAFE_LPCWSTR pszSrc) {
  return Cat(pszDest, cbDest / sizeof(wchar_t), pszSrc);
}
HRESULT WINAPI StringCbVPrintfA(STRSAFE_LPSTR pszDest, size_t cbDest, STRSAFE_LPCSTR pszFormat, va_list argList) {
  return FormatNarrow(pszDest, cbDest, pszFormat, argList);
}
HRESULT WINAPI StringCbVPrintfW(STRSAFE_LPWSTR pszDest, size_t cbDest, STRSAFE_LPCWSTR pszFormat,
                                va_list argList) {
  return FormatWide(pszDest, cbDest / sizeof(wchar_t), pszFormat, argList);
}
HRESULT StringCbPrintfA(STRSAFE_LPSTR pszDest, size_t cbDest, STRSAFE_LPCSTR pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  const HRESULT hr = FormatNarrow(pszDest, cbDest, pszFormat, args);
  va_end(args);
  return hr;
}
HRESULT StringCbPrintfW(STRSAFE_LPWSTR pszDest, size_t cbDest, STRSAFE_LPCWSTR pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  const HRESULT hr = FormatWide(pszDest, cbDest / sizeof(wchar_t), pszFormat, args);
  va_end(args);
  return hr;
}
HRESULT WINAPI StringCbLengthA(STRSAFE_LPCSTR psz, size_t cbMax, size_t* pcbLength) {
  return Length(psz, cbMax, pcbLength);
}
HRESULT WINAPI StringCbLengthW(STRSAFE_LPCWSTR psz, size_t cbMax, size_t* pcbLength) {
  const HRESULT hr = Length(psz, cbMax / sizeof(wchar_t), pcbLength);
  if (pcbLength) *pcbLength *= sizeof(wchar_t);
  return hr;
}

}  // extern "C"
