// The SDK spells this header ShlObj.h; the file system here tells letter cases apart.
#pragma once
#include "shlobj.h"
