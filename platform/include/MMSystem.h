// The SDK spells this header MMSystem.h; the file system here tells letter cases apart.
#pragma once
#include "mmsystem.h"
