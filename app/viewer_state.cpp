// ViewerState: the one record of what the viewer shows.
#include "app/viewer_state.h"

ViewerState viewerState;
