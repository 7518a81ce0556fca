/* Stands in for a graphics driver that keeps memory it never frees: it allocates from its
   constructor, while the dynamic loader loads it, so no frame of a program is on the stack, as
   with the drivers' own allocations. Its name ends in _dri.so like Mesa's drivers, so the
   suppressions for the graphics stack must hide its leak (expect_leaks.sh). */
#include <stdlib.h>

void* volatile kvr_probe_sink;

__attribute__((constructor)) static void LoseMemory(void) {
  kvr_probe_sink = realloc(NULL, 128);
  kvr_probe_sink = NULL;
}
