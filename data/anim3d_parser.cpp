// The ANIM3D parser: the words of one animation file in, an animation and its frames out.
#include "data/anim3d_parser.h"

#include <string>

#include "base/data_file.h"

namespace {

// An ANIM3D file as a stream of words that remembers whether it ran dry.
class AnimReader {
 public:
  AnimReader(const char* begin, const char* end) : tokens_(begin, end) {}
  bool Word(std::string_view& word) { return tokens_.Next(word); }
  bool Number(int32_t& value) {
    std::string_view word;
    if (!Word(word)) return false;
    value = WordToInt(word);
    return true;
  }
  bool Skip(int count) {
    std::string_view word;
    for (int i = 0; i < count; ++i)
      if (!Word(word)) return false;
    return true;
  }
  // One frame line: the frame's number, then p1 p2 p3 r1 r2 r3 t1 t2 t3. Each triple is kept
  // with its second and third numbers exchanged: the files are written y-up the other way round.
  bool Frame(AnimationFrame& frame) {
    int32_t n[9];
    if (!Skip(1)) return false;
    for (int32_t& v : n)
      if (!Number(v)) return false;
    int32_t* triples[3] = {frame.position, frame.rotation, frame.third};
    for (int t = 0; t < 3; ++t) {
      triples[t][0] = n[3 * t];
      triples[t][1] = n[3 * t + 2];
      triples[t][2] = n[3 * t + 1];
    }
    return true;
  }

 private:
  TokenReader tokens_;
};

// The name token is the model's file name in quotes: "name.pie". The name is what lies between
// the opening quote and ".pie"".
std::string NameFromToken(std::string_view token) {
  if (token.size() < 6) return std::string();
  return std::string(token.substr(1, token.size() - 6));
}

}  // namespace

void ParseAnim3D(const char* begin, const char* end, Anim3DParse& out) {
  out = Anim3DParse();
  AnimReader in(begin, end);
  std::string_view word;
  bool frames = false;
  for (;;) {
    if (!in.Word(word)) return;
    if (word == "ANIM3DFRAMES" || word == "ANIM3DTRANS") {
      frames = word == "ANIM3DFRAMES";
      break;
    }
  }
  out.keywordFound = true;

  Animation& animation = out.animation;
  if (in.Word(word)) {
    animation.name = NameFromToken(word);
    if (frames) {
      if (in.Number(animation.frameCount)) {
        out.nameRead = true;
        out.headerRead = in.Number(animation.frameRate) && in.Skip(2);
      }
    } else {
      out.nameRead = true;
      out.headerRead = in.Number(animation.frameCount) && in.Number(animation.frameRate) &&
                       in.Number(animation.objectCount) && in.Skip(1);
      // -1 is the mark of a frames animation; a transform animation never carries it.
      if (animation.objectCount < 0) animation.objectCount = 0;
    }
  }
  if (!out.headerRead) return;
  // A negative count promises no frames at all; kept as 0 so the counter and the frame lookup
  // never meet a count below zero. The record stays: its model still finds it.
  if (animation.frameCount < 0) {
    out.negativeCount = true;
    animation.frameCount = 0;
  }

  // Frames are appended one line at a time and the reading stops when the file runs dry, so the
  // counts in the file never decide how much is allocated.
  AnimationFrame frame;
  bool complete = true;
  if (frames) {
    int32_t read = 0;
    for (; read < animation.frameCount; ++read) {
      if (!in.Frame(frame)) break;
      out.frames.push_back(frame);
    }
    if (read < animation.frameCount) {
      animation.frameCount = read;  // the counter then cycles over the frames that exist
      complete = false;
    }
  } else {
    int32_t begun = 0;  // objects whose heading was read
    while (complete && begun < animation.objectCount) {
      if (!in.Skip(4)) {
        complete = false;
        break;
      }
      ++begun;
      for (int32_t f = 0; f < animation.frameCount; ++f) {
        if (!in.Frame(frame)) {
          complete = false;
          break;
        }
        out.frames.push_back(frame);
      }
      if (complete && !in.Skip(1)) complete = false;
    }
    // A short file keeps the objects it began; GetAnimationFrame refuses the frames it lacks.
    if (!complete) animation.objectCount = begun;
  }
  out.complete = complete;
}
