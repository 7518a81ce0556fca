// The model catalogue and the eight category manifests that fill it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

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

extern std::vector<PieModel> ModelCatalogue;
extern bool TeamColorsFlag;

void LoadBodies(const char* directory);
void LoadFeatures(const char* directory);
void LoadMiscelaneous(const char* directory);
void LoadMiscelaneousIMD(const char* directory);
void LoadEffects(const char* directory);
void LoadPropulsions(const char* directory);
void LoadStructures(const char* directory);
void LoadWeapons(const char* directory);

void LoadModel(const char* directory, const char* fileName, ModelCategory category);
void SetTeamColorsFlag(bool value);
int32_t FindModelByName(const char* name);
void ListModelsOfCategory(ModelNameList& list, ModelCategory category);
