// D3DX 9 utility library subset: matrix functions, DDS texture loading, fonts and sprites.
#pragma once
#include "d3d9.h"
#include "d3dx9math.h"
#include "d3dx9tex.h"
#include "d3dx9core.h"
