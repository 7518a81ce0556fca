// The model catalogue and the three integer stores that hold the models' levels.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/block_store.h"
#include "model/pie_parser.h"

typedef int32_t ModelCategory;
enum : int32_t {
  CategoryBodies = 0,
  CategoryFeatures = 1,
  CategoryMiscelaneous = 2,
  CategoryResearch = 3,
  CategoryEffects = 4,
  CategoryPropulsions = 5,
  CategoryStructures = 6,
  CategoryWeapons = 7,
};

typedef std::vector<std::string> ModelNameList;

// A model's number is its position here, in load order.
extern std::vector<PieModel> ModelCatalogue;
// Goes up each time ClearModelCatalogue empties the catalogue, and each time a model, a page or an
// animation is read again: a model number kept from before (a cache's key) may name another model,
// or the same model with other data, since.
extern uint32_t ModelCatalogueGeneration;

// Process-wide integer stores; a model's blocks are consecutive, one per level, and the blocks of
// different models follow each other in load order.
extern BlockStore PointStore;
extern BlockStore PolygonStore;
extern BlockStore ConnectorStore;

// The category's name on the command line and in reports: "bodies", "features", "miscellaneous",
// "research", "effects", "propulsions", "structures", "weapons"; "unknown" outside them.
const char* ModelCategoryName(ModelCategory category);
// The category of such a name, or -1 when it names none.
ModelCategory ModelCategoryByName(const std::string& name);

int32_t FindModelByName(const char* name);
void ListModelsOfCategory(ModelNameList& list, ModelCategory category);

int32_t LevelCountOf(int32_t model);
int32_t TexturePageOf(int32_t model);
int32_t AnimationOf(int32_t model);

// Empties the catalogue and the stores and gives their memory back.
void ClearModelCatalogue();
