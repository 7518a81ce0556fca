// Reading a model of the catalogue again from its file, in place.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Reads the model's file again and, when it parses, puts what it holds in place of the model:
// the catalogue entry keeps its number, name, category and team colours, its blocks are appended
// to the stores (the old ones stay, unused), its page and animation are looked up again and its
// level buffers are built anew where the old ones stood. Otherwise the model stays as it was, the
// log gets the line a first load writes, and reason says why.
bool ReloadModel(int32_t model, std::string& reason);
// Its two steps: the file read again (false, with the reason, when it cannot be), and a model put
// in place from those bytes, so that a file several entries were read from is read once for all.
bool ReadModelFileAgain(const std::string& path, std::vector<char>& contents, std::string& reason);
bool ReloadModelFromBytes(int32_t model, const std::vector<char>& contents, std::string& reason);
