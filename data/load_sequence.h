// The load sequence: the start-up manifest "duskfen\KVRStartUp.gam" drives every category loader.
#pragma once

void LoadDataSet();
