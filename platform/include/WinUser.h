// The SDK spells this header WinUser.h; the file system here tells letter cases apart.
#pragma once
#include "winuser.h"
