// D3DX 9 utility library subset: matrix functions, DDS texture loading, meshes, shapes and .x files,
// fonts and sprites.
#pragma once
#include "d3d9.h"
#include "d3dx9math.h"
#include "d3dx9tex.h"
#include "d3dx9mesh.h"
#include "d3dx9shape.h"
#include "d3dx9core.h"
