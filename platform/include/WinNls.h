// The SDK spells this header WinNls.h; the file system here tells letter cases apart.
#pragma once
#include "winnls.h"
