// winmm subset: the millisecond clock.
#pragma once
#include "windef.h"

#ifdef __cplusplus
extern "C" {
#endif

// Milliseconds since the layer started, as an unsigned 32-bit counter that wraps.
DWORD WINAPI timeGetTime(void);

#ifdef __cplusplus
}
#endif
