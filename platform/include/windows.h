// The Win32 subset that kvrview uses, on SDL2, FreeType and fontconfig.
#pragma once
// What the SDK's windows.h brings along from the C library: programs written for it call memcpy,
// malloc, sinf or va_start without including anything else.
#include <math.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

#include "windef.h"
#include "winerror.h"
#include "winbase.h"
#include "winnls.h"
#include "winuser.h"
#include "wingdi.h"
#ifndef WIN32_LEAN_AND_MEAN
#include "mmsystem.h"  // the SDK's windows.h brings the multimedia timer unless asked not to
#endif
