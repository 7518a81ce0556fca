// Character and string types, TEXT(), and the small helper macros of the SDK's winnt.h.
// WCHAR is the compiler's wchar_t: 16 bits on Windows, 32 bits here. Programs that use the
// names (WCHAR, LPWSTR, L"...") rather than a width build unchanged; W functions of the layer
// take wchar_t strings and convert them to UTF-8 inside.
#pragma once
#include <stddef.h>
#include <wchar.h>

typedef wchar_t WCHAR;
typedef WCHAR* PWCHAR;
typedef WCHAR* LPWCH;
typedef WCHAR* PWSTR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* PCWSTR;
typedef const WCHAR* LPCWSTR;
typedef char* PSTR;
typedef const char* PCSTR;
typedef const char* LPCCH;
typedef const WCHAR* LPCWCH;

// The generic character type and TEXT(): wide under UNICODE, narrow otherwise.
#ifdef UNICODE
typedef WCHAR TCHAR;
typedef WCHAR TBYTE;
#define __TEXT(quote) L##quote
#else
typedef char TCHAR;
typedef unsigned char TBYTE;
#define __TEXT(quote) quote
#endif
#define TEXT(quote) __TEXT(quote)
typedef TCHAR* PTCHAR;
typedef TCHAR* LPTSTR;
typedef TCHAR* PTSTR;
typedef const TCHAR* LPCTSTR;
typedef const TCHAR* PCTSTR;

// Elements in an array (never a pointer: the template refuses one).
#ifdef __cplusplus
template <typename T, size_t N>
char (*KvrArraySizeHelper(T (&)[N]))[N];
#define ARRAYSIZE(A) (sizeof(*KvrArraySizeHelper(A)))
#else
#define ARRAYSIZE(A) (sizeof(A) / sizeof((A)[0]))
#endif

#define UNREFERENCED_PARAMETER(P) ((void)(P))
#define DBG_UNREFERENCED_PARAMETER(P) ((void)(P))
#define DBG_UNREFERENCED_LOCAL_VARIABLE(V) ((void)(V))
