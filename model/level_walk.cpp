// The walk's one global: the strip frame that team-coloured models show.
#include "model/level_walk.h"

int32_t TeamNumber = 0;
