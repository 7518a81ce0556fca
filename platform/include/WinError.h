// The SDK spells this header WinError.h; the file system here tells letter cases apart.
#pragma once
#include "winerror.h"
