// The SDK spells this header Unknwn.h; the file system here tells letter cases apart.
#pragma once
#include "unknwn.h"
