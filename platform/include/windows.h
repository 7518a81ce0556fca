// The Win32 subset that kvrview uses, on SDL2, FreeType and fontconfig.
#pragma once
#include "windef.h"
#include "winerror.h"
#include "winbase.h"
#include "winuser.h"
#include "wingdi.h"
