// make_sample <outdir>: writes the bundled data set (manifests, PIE models, ANIM3D animations,
// DDS texture pages and the cursor) into <outdir>. The output is the same, byte for byte, on
// every run.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "sample_kit.h"

namespace {

namespace fs = std::filesystem;
using kit::Lines;
using kit::WriteBytes;
using kit::Model;

struct Category {
  const char* label;      // in the start-up manifest
  const char* folder;     // on disk, under duskfen/
  const char* manifest;   // the category's manifest file
  bool flagAware;         // understands the team-colour switches
  std::vector<Model> models;
};

bool Check(bool ok, const std::string& what) {
  if (!ok) std::fprintf(stderr, "make_sample: %s\n", what.c_str());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sample <outdir>\n");
    return 2;
  }
  const fs::path out = argv[1];
  const fs::path root = out / "duskfen";
  bool ok = true;

  std::vector<Category> cats = {
      {"Bodies:", "bodies", "Bodies.gam", false, kit::Bodies()},
      {"Features:", "features", "Features.gam", true, kit::Features()},
      {"Miscelaneous:", "misc", "Miscelaneous.gam", true, kit::Miscelaneous()},
      {"MiscelaneousIMD:", "research", "MiscelaneousIMD.gam", true, kit::Research()},
      {"Effects:", "effects", "Effects.gam", true, kit::Effects()},
      {"Propulsions:", "propuls", "Propulsions.gam", false, kit::Propulsions()},
      {"Structures:", "structs", "Structures.gam", false, kit::Structures()},
      {"Weapons:", "weapons", "Weapons.gam", false, kit::Weapons()},
  };

  // The start-up manifest: animations first, so that every model finds its animation.
  std::vector<std::string> startup = {"Animations: duskfen\\anims\\"};
  for (const Category& c : cats)
    startup.push_back(std::string(c.label) + " duskfen\\" + c.folder + "\\");
  ok &= WriteBytes(root / "KVRStartUp.gam", Lines(startup));

  std::vector<std::string> animFiles;
  int total = 0;
  for (Category& c : cats) {
    std::vector<std::string> manifest;
    bool team = false;
    for (size_t i = 0; i < c.models.size(); ++i) {
      Model& m = c.models[i];
      ok &= Check(m.name.size() <= 9, m.name + ": name longer than 9 characters");
      ok &= Check(m.page.size() <= 22, m.name + ": page name longer than 22 characters");
      ok &= Check(!m.team || c.flagAware, m.name + ": team switch in a plain manifest");
      // The flag-aware reader leaves the global switch as its last entry had it; a manifest that
      // ended on a team-coloured model would make the next category's first models team-coloured.
      ok &= Check(!m.team || i + 1 < c.models.size(), m.name + ": a team-coloured model listed last");
      if (c.flagAware && m.team != team) {
        manifest.push_back(m.team ? "SetTeamColorsFlag(true)" : "SetTeamColorsFlag(false)");
        team = m.team;
      }
      manifest.push_back(m.name);
      kit::Normalise(m);
      const kit::Anim& a = m.anim;
      if (a.kind != kit::Anim::kNone) {
        ok &= Check(a.kind != kit::Anim::kFrames || a.frames == int(m.levels.size()),
                    m.name + ": frame animation with a frame count other than its level count");
        ok &= WriteBytes(root / "anims" / a.fileName, kit::AnimText(m));
        animFiles.push_back(a.fileName);
      }
      ok &= WriteBytes(root / c.folder / (m.name + ".pie"), kit::PieText(m));
      std::printf("%-16s %-10s %4d polygons, %zu level(s)%s\n", c.label, m.name.c_str(),
                  kit::PolygonCount(m), m.levels.size(),
                  a.kind == kit::Anim::kNone ? "" : (", animation " + a.fileName).c_str());
      ++total;
    }
    ok &= WriteBytes(root / c.folder / c.manifest, Lines(manifest));
  }
  ok &= WriteBytes(root / "anims" / "Animations.gam", Lines(animFiles));

  ok &= WriteBytes(root / "texpages" / "dfunits.dds", kit::DdsDxt(kit::PaintUnitsPage(), false));
  ok &= WriteBytes(root / "texpages" / "dfbuild.dds", kit::DdsDxt(kit::PaintBuildPage(), false));
  ok &= WriteBytes(root / "texpages" / "dfnature.dds", kit::DdsArgb(kit::PaintNaturePage(), true));
  ok &= WriteBytes(root / "texpages" / "dffx.dds", kit::DdsDxt(kit::PaintFxPage(), true));
  ok &= WriteBytes(root / "texpages" / "dftech.dds", kit::DdsDxt(kit::PaintTechPage(), false));
  ok &= WriteBytes(out / "textures" / "kvrcursor.dds", kit::DdsArgb(kit::PaintCursor(), false));
  // Compared byte for byte by the tests: no line-ending conversion on checkout.
  ok &= WriteBytes(out / ".gitattributes", std::string("* -text\n"));

  std::printf("%d models\n", total);
  return ok ? 0 : 1;
}
