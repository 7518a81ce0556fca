// The SDK spells this header WinDef.h; the file system here tells letter cases apart.
#pragma once
#include "windef.h"
