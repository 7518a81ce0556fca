// ANIM3D files (ANIM3DFRAMES and ANIM3DTRANS): the parser, a function of a file's bytes.
#pragma once
#include <vector>

#include "model/animation_table.h"

// What one ANIM3D file holds and how far its reading got; the loader writes the log lines from it.
struct Anim3DParse {
  bool keywordFound = false;   // "ANIM3DFRAMES" or "ANIM3DTRANS" was met
  bool nameRead = false;       // the header got as far as the model's name (and, for frames, its
                               // frame count): the name goes into the log
  bool headerRead = false;     // the whole header was read: the animation exists
  bool negativeCount = false;  // the file's frame count was negative; kept as 0
  bool complete = false;       // every promised frame was read
  Animation animation;         // name, frameCount, frameRate, objectCount
  std::vector<AnimationFrame> frames;
};

// Parses one ANIM3D file held in memory. Touches no file, table or global. A file that ends early
// keeps the frames it holds: the counts are cut to what was read, so the table never promises
// frames that are not there.
void ParseAnim3D(const char* begin, const char* end, Anim3DParse& out);
