// D3DX 9 utility library subset: matrix functions and DDS texture loading.
#pragma once
#include "d3d9.h"
#include "d3dx9math.h"
#include "d3dx9tex.h"
