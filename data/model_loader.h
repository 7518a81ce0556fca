// LoadModel: one PIE file read, parsed, resolved and committed to the catalogue and its buffers.
#pragma once
#include <cstdint>

#include "model/model_catalogue.h"
#include "model/pie_parser.h"

// The team-colour switch that models take when they are loaded.
extern bool TeamColorsFlag;
void SetTeamColorsFlag(bool value);

// Bytes the catalogue, its stores and the level entries hold, as the model-data ceiling counts them.
uint64_t ModelDataBytes();

// Loads directory + fileName (fileName carries ".pie"); what cannot be loaded is logged and
// leaves the tables as they were, apart from the page a whole header asked for.
void LoadModel(const char* directory, const char* fileName, ModelCategory category);
// The same for a file's bytes already in memory; path is what the log names.
void LoadModelFromBytes(const char* path, const char* fileName, const char* begin, const char* end,
                        ModelCategory category);
// The step after the parse: resolves the page, the animation and the team colours of a parsed
// model and commits it with its blocks, or logs why not (nothing for a file that is no model).
void CommitParsedModel(const char* path, const char* fileName, PieResult result,
                       const PieParse& parsed, ModelCategory category);
