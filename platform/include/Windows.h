// The SDK spells this header Windows.h; the file system here tells letter cases apart.
#pragma once
#include "windows.h"
