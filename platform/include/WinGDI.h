// The SDK spells this header WinGDI.h; the file system here tells letter cases apart.
#pragma once
#include "wingdi.h"
