// Reading a model of the catalogue again from its file, in place.
#pragma once
#include <cstdint>
#include <string>

// Reads the model's file again and, when it parses, puts what it holds in place of the model:
// the catalogue entry keeps its number, name, category and team colours, its blocks are appended
// to the stores (the old ones stay, unused), its page and animation are looked up again and its
// level buffers are built anew where the old ones stood. Otherwise the model stays as it was, the
// log gets the line a first load writes, and reason says why.
bool ReloadModel(int32_t model, std::string& reason);
