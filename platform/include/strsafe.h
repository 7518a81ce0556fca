// Bounded string functions (the SDK's strsafe.h): every one takes the destination's size, never
// writes past it, and always leaves it terminated. Too small a destination is not an error that
// passes silently: the result is cut to fit and STRSAFE_E_INSUFFICIENT_BUFFER returned. A size of
// 0 or above STRSAFE_MAX_CCH returns STRSAFE_E_INVALID_PARAMETER (a destination of 0 characters
// can't even hold the terminator, so it is left untouched).
// Cch functions count characters, Cb functions bytes; A forms take char, W forms wchar_t (the
// W printf reads %s and %c as wide and %S, %hs as narrow, as on Windows).
#pragma once
#include <stdarg.h>
#include <stddef.h>

#include "windef.h"
#include "winerror.h"

#define STRSAFE_MAX_CCH 2147483647
#define STRSAFE_E_INSUFFICIENT_BUFFER ((HRESULT)0x8007007AL)
#define STRSAFE_E_INVALID_PARAMETER ((HRESULT)0x80070057L)
#define STRSAFE_E_END_OF_FILE ((HRESULT)0x80070026L)

typedef char* STRSAFE_LPSTR;
typedef const char* STRSAFE_LPCSTR;
typedef wchar_t* STRSAFE_LPWSTR;
typedef const wchar_t* STRSAFE_LPCWSTR;

#ifdef __cplusplus
extern "C" {
#endif

HRESULT WINAPI StringCchCopyA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPCSTR pszSrc);
HRESULT WINAPI StringCchCopyW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPCWSTR pszSrc);
HRESULT WINAPI StringCchCopyNA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPCSTR pszSrc, size_t cchToCopy);
HRESULT WINAPI StringCchCopyNW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPCWSTR pszSrc, size_t cchToCopy);
HRESULT WINAPI StringCchCatA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPCSTR pszSrc);
HRESULT WINAPI StringCchCatW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPCWSTR pszSrc);
HRESULT WINAPI StringCchVPrintfA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPCSTR pszFormat, va_list argList);
HRESULT WINAPI StringCchVPrintfW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPCWSTR pszFormat, va_list argList);
HRESULT StringCchPrintfA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPCSTR pszFormat, ...);
HRESULT StringCchPrintfW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPCWSTR pszFormat, ...);
HRESULT WINAPI StringCchLengthA(STRSAFE_LPCSTR psz, size_t cchMax, size_t* pcchLength);
HRESULT WINAPI StringCchLengthW(STRSAFE_LPCWSTR psz, size_t cchMax, size_t* pcchLength);

HRESULT WINAPI StringCbCopyA(STRSAFE_LPSTR pszDest, size_t cbDest, STRSAFE_LPCSTR pszSrc);
HRESULT WINAPI StringCbCopyW(STRSAFE_LPWSTR pszDest, size_t cbDest, STRSAFE_LPCWSTR pszSrc);
HRESULT WINAPI StringCbCatA(STRSAFE_LPSTR pszDest, size_t cbDest, STRSAFE_LPCSTR pszSrc);
HRESULT WINAPI StringCbCatW(STRSAFE_LPWSTR pszDest, size_t cbDest, STRSAFE_LPCWSTR pszSrc);
HRESULT WINAPI StringCbVPrintfA(STRSAFE_LPSTR pszDest, size_t cbDest, STRSAFE_LPCSTR pszFormat, va_list argList);
HRESULT WINAPI StringCbVPrintfW(STRSAFE_LPWSTR pszDest, size_t cbDest, STRSAFE_LPCWSTR pszFormat, va_list argList);
HRESULT StringCbPrintfA(STRSAFE_LPSTR pszDest, size_t cbDest, STRSAFE_LPCSTR pszFormat, ...);
HRESULT StringCbPrintfW(STRSAFE_LPWSTR pszDest, size_t cbDest, STRSAFE_LPCWSTR pszFormat, ...);
HRESULT WINAPI StringCbLengthA(STRSAFE_LPCSTR psz, size_t cbMax, size_t* pcbLength);
HRESULT WINAPI StringCbLengthW(STRSAFE_LPCWSTR psz, size_t cbMax, size_t* pcbLength);

#ifdef __cplusplus
}
#endif

#ifdef UNICODE
#define StringCchCopy StringCchCopyW
#define StringCchCopyN StringCchCopyNW
#define StringCchCat StringCchCatW
#define StringCchVPrintf StringCchVPrintfW
#define StringCchPrintf StringCchPrintfW
#define StringCchLength StringCchLengthW
#define StringCbCopy StringCbCopyW
#define StringCbCat StringCbCatW
#define StringCbVPrintf StringCbVPrintfW
#define StringCbPrintf StringCbPrintfW
#define StringCbLength StringCbLengthW
#else
#define StringCchCopy StringCchCopyA
#define StringCchCopyN StringCchCopyNA
#define StringCchCat StringCchCatA
#define StringCchVPrintf StringCchVPrintfA
#define StringCchPrintf StringCchPrintfA
#define StringCchLength StringCchLengthA
#define StringCbCopy StringCbCopyA
#define StringCbCat StringCbCatA
#define StringCbVPrintf StringCbVPrintfA
#define StringCbPrintf StringCbPrintfA
#define StringCbLength StringCbLengthA
#endif
