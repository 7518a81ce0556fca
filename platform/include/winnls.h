// Code-page conversions between wchar_t text and bytes. The ANSI code page is UTF-8 here (the
// A functions of the layer take UTF-8), as on a Windows whose system locale uses UTF-8: CP_ACP,
// CP_OEMCP, CP_THREAD_ACP and CP_UTF8 convert alike. wchar_t holds one code point per unit
// (UTF-32); UTF-16 surrogate pairs given to WideCharToMultiByte are joined.
#pragma once
#include "windef.h"

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_MACCP 2
#define CP_THREAD_ACP 3
#define CP_SYMBOL 42
#define CP_UTF7 65000
#define CP_UTF8 65001

#define MB_PRECOMPOSED 0x00000001
#define MB_COMPOSITE 0x00000002
#define MB_USEGLYPHCHARS 0x00000004
#define MB_ERR_INVALID_CHARS 0x00000008

#define WC_COMPOSITECHECK 0x00000200
#define WC_DISCARDNS 0x00000010
#define WC_SEPCHARS 0x00000020
#define WC_DEFAULTCHAR 0x00000040
#define WC_ERR_INVALID_CHARS 0x00000080
#define WC_NO_BEST_FIT_CHARS 0x00000400

#ifdef __cplusplus
extern "C" {
#endif

// The Windows contract: cbMultiByte / cchWideChar -1 converts up to and with the terminating
// null; a destination size of 0 asks for the size needed; a destination too small gives 0 and
// ERROR_INSUFFICIENT_BUFFER. Ill-formed input becomes U+FFFD (one per maximal ill-formed part,
// as Unicode recommends), or, with MB_ERR_INVALID_CHARS / WC_ERR_INVALID_CHARS, fails with
// ERROR_NO_UNICODE_TRANSLATION. Other flags give ERROR_INVALID_FLAGS, other code pages and a
// default character (which UTF-8 never needs) ERROR_INVALID_PARAMETER.
int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCCH lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar);
int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWCH lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCCH lpDefaultChar, LPBOOL lpUsedDefaultChar);

#ifdef __cplusplus
}
#endif
