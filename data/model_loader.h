// LoadModel: one PIE file read, parsed, resolved and committed to the catalogue and its buffers.
#pragma once
#include <cstdint>
#include <string>

#include "base/data_file.h"
#include "model/model_catalogue.h"
#include "model/pie_parser.h"

// The team-colour switch that models take when they are loaded.
extern bool TeamColorsFlag;
void SetTeamColorsFlag(bool value);

// Bytes the catalogue, its stores and the level entries hold, as the model-data ceiling counts them.
uint64_t ModelDataBytes();

// The log's line for a parse that leaves a model out (ended early, a negative count), written and
// reported here; empty for Ok and for a file that is no model, which the log passes over.
std::string RefuseParsedModel(PieResult result, const std::string& path);
// Whether a parsed model's blocks fit under the model-data and vertex ceilings, recordBytes
// counted for a catalogue record it adds: empty when they do, else the log's line (written and
// reported here).
std::string CeilingRefusal(const PieParse& parsed, uint64_t recordBytes, const std::string& path);
// Appends the parsed blocks to the stores and points the record's starts at them.
void AppendModelBlocks(const PieParse& parsed, PieModel& record);

// Loads directory + fileName (fileName carries ".pie"); what cannot be loaded is logged and
// leaves the tables as they were, apart from the page a whole header asked for.
void LoadModel(const char* directory, const char* fileName, ModelCategory category);
// LoadModel in two steps, for a load that reads ahead on worker threads: the file read and parsed
// on any thread, touching no log and no table; then, on the main thread in the manifest's order,
// the load's rules for the file, the log's lines and the commit. The path is allowed already.
struct ModelReadAhead {
  FileReadAhead file;
  bool parsed = false;  // the bytes were read ahead and parsed
  PieResult result = PieResult::Ok;
  PieParse parse;
};
void ReadModelAhead(const char* path, const std::string& folderOnDisk, ModelReadAhead& ahead,
                    FilesReadAhead* claimed = nullptr);
void CommitModelRead(const std::string& path, const char* fileName, ModelCategory category,
                     ModelReadAhead& ahead);
// The same for a file's bytes already in memory; path is what the log names.
void LoadModelFromBytes(const char* path, const char* fileName, const char* begin, const char* end,
                        ModelCategory category);
// The step after the parse: resolves the page, the animation and the team colours of a parsed
// model and commits it with its blocks, or logs why not (nothing for a file that is no model).
void CommitParsedModel(const char* path, const char* fileName, PieResult result,
                       const PieParse& parsed, ModelCategory category);
