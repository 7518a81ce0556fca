// Generic-text names of the C runtime (the SDK's tchar.h): wide under _UNICODE, narrow otherwise.
// Only what small programs reach for: _T, _TCHAR, _tWinMain and the plain string functions. The
// printf family is left out: glibc's wide printf reads %s as a narrow string, the SDK's as a wide
// one (strsafe.h's StringCchPrintfW takes the SDK's reading).
#pragma once
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#ifdef _UNICODE
typedef wchar_t _TCHAR;
typedef wchar_t _TSCHAR;
typedef wchar_t _TUCHAR;
#define __T(x) L##x
#define _tWinMain wWinMain
#define _tcslen wcslen
#define _tcscpy wcscpy
#define _tcscat wcscat
#define _tcscmp wcscmp
#define _tcsncmp wcsncmp
#define _tcschr wcschr
#define _tcsrchr wcsrchr
#define _tcsstr wcsstr
#define _tcstol wcstol
#define _tcstod wcstod
#else
typedef char _TCHAR;
typedef signed char _TSCHAR;
typedef unsigned char _TUCHAR;
#define __T(x) x
#define _tWinMain WinMain
#define _tcslen strlen
#define _tcscpy strcpy
#define _tcscat strcat
#define _tcscmp strcmp
#define _tcsncmp strncmp
#define _tcschr strchr
#define _tcsrchr strrchr
#define _tcsstr strstr
#define _tcstol strtol
#define _tcstod strtod
#endif
#define _T(x) __T(x)
#define _TEXT(x) __T(x)
