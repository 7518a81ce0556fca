// The SDK spells this header WinBase.h; the file system here tells letter cases apart.
#pragma once
#include "winbase.h"
