// The SDK spells this header WinNT.h; the file system here tells letter cases apart.
#pragma once
#include "winnt.h"
