// The model catalogue and the integer stores: the tables, their lookups and their emptying.
#include "model/model_catalogue.h"

std::vector<PieModel> ModelCatalogue;
uint32_t ModelCatalogueGeneration = 0;
BlockStore PointStore;
BlockStore PolygonStore;
BlockStore ConnectorStore;

int32_t FindModelByName(const char* name) {
  if (!name) return -1;
  for (size_t i = 0; i < ModelCatalogue.size(); ++i) {
    if (ModelCatalogue[i].name == name) return static_cast<int32_t>(i);
  }
  return -1;
}

namespace {
const char* const kCategoryNames[] = {"bodies",  "features",    "miscellaneous", "research",
                                      "effects", "propulsions", "structures",    "weapons"};
}  // namespace

const char* ModelCategoryName(ModelCategory category) {
  return category >= CategoryBodies && category <= CategoryWeapons ? kCategoryNames[category] : "unknown";
}

ModelCategory ModelCategoryByName(const std::string& name) {
  for (ModelCategory c = CategoryBodies; c <= CategoryWeapons; ++c)
    if (name == kCategoryNames[c]) return c;
  return -1;
}

void ListModelsOfCategory(ModelNameList& list, ModelCategory category) {
  list.clear();
  for (const PieModel& model : ModelCatalogue) {
    if (model.category == category) list.push_back(model.name);
  }
}

int32_t LevelCountOf(int32_t model) {
  if (model < 0 || static_cast<size_t>(model) >= ModelCatalogue.size()) return 0;
  return ModelCatalogue[model].levelCount;
}

int32_t TexturePageOf(int32_t model) {
  if (model < 0 || static_cast<size_t>(model) >= ModelCatalogue.size()) return -1;
  return ModelCatalogue[model].texturePage;
}

int32_t AnimationOf(int32_t model) {
  if (model < 0 || static_cast<size_t>(model) >= ModelCatalogue.size()) return -1;
  return ModelCatalogue[model].animation;
}

void ClearModelCatalogue() {
  std::vector<PieModel>().swap(ModelCatalogue);
  PointStore.Release();
  PolygonStore.Release();
  ConnectorStore.Release();
  ++ModelCatalogueGeneration;
}
