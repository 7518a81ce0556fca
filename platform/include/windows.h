// The Win32 subset that kvrview uses, on SDL2, FreeType and fontconfig.
#pragma once
#include "windef.h"
#include "winerror.h"
#include "winbase.h"
#include "winuser.h"
#include "wingdi.h"
#ifndef WIN32_LEAN_AND_MEAN
#include "mmsystem.h"  // the SDK's windows.h brings the multimedia timer unless asked not to
#endif
