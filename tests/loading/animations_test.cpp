// ANIM3D files: how their words become an animation and its frames, how the loader reads and logs
// them, and stepping their counters on the 100 ms beat.
#include "data/anim3d_parser.h"
#include "loading_fixture.h"

using loadingtest::FrameLine;
using loadingtest::FramesAnimation;
using loadingtest::TransAnimation;
using testsupport::WriteFile;

namespace {

// The parser alone, fed the text of one file; the table is filled from its result where a test
// is about the frames the table then serves.
class Anim3DText : public loadingtest::LoadingTest {
 protected:
  bool NeedsDevice() const override { return false; }
  // The text in a buffer of exactly its size, as a file is read into memory.
  static Anim3DParse Parse(const std::string& text) {
    const std::vector<char> bytes(text.begin(), text.end());
    Anim3DParse out;
    ParseAnim3D(bytes.data(), bytes.data() + bytes.size(), out);
    return out;
  }
  static std::vector<int> Positions(const std::vector<AnimationFrame>& frames) {
    std::vector<int> x;
    for (const AnimationFrame& f : frames) x.push_back(f.position[0]);
    return x;
  }
};

TEST_F(Anim3DText, TheHeaderGivesTheBareModelNameTheCountsAndTheRate) {
  const Anim3DParse frames = Parse(FramesAnimation("Walker", 2, 10));
  ASSERT_TRUE(frames.headerRead);
  EXPECT_TRUE(frames.complete);
  EXPECT_EQ(frames.animation.name, "Walker");
  EXPECT_EQ(frames.animation.frameCount, 2);
  EXPECT_EQ(frames.animation.frameRate, 10);
  EXPECT_EQ(frames.animation.objectCount, -1);
  EXPECT_EQ(frames.frames.size(), 2u);
  const Anim3DParse trans = Parse(TransAnimation("Turret", 1, 12, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9}));
  ASSERT_TRUE(trans.headerRead);
  EXPECT_EQ(trans.animation.name, "Turret");
  EXPECT_EQ(trans.animation.frameRate, 12);
  EXPECT_EQ(trans.animation.objectCount, 2);
  EXPECT_EQ(trans.frames.size(), 2u);
}

TEST_F(Anim3DText, TriplesKeepTheirSecondAndThirdNumbersExchanged) {
  const Anim3DParse p = Parse(TransAnimation("Gun", 1, 10, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9}));
  ASSERT_EQ(p.frames.size(), 1u);
  const AnimationFrame& f = p.frames[0];
  EXPECT_EQ(std::vector<int>(f.position, f.position + 3), (std::vector<int>{1, 3, 2}));
  EXPECT_EQ(std::vector<int>(f.rotation, f.rotation + 3), (std::vector<int>{4, 6, 5}));
  EXPECT_EQ(std::vector<int>(f.third, f.third + 3), (std::vector<int>{7, 9, 8}));
}

TEST_F(Anim3DText, TransformFramesAreLaidOutObjectAfterObject) {
  std::string s = "ANIM3DTRANS \"Arm.pie\" 2 10 2 {\n";
  for (int o = 0; o < 2; ++o) {
    s += "ANIMOBJECT " + std::to_string(o) + " \"x\" {\n";
    for (int f = 0; f < 2; ++f) s += FrameLine(f, {10 * o + f, 0, 0, 0, 0, 0, 0, 0, 0});
    s += "}\n";
  }
  const Anim3DParse p = Parse(s + "}\n");
  EXPECT_TRUE(p.complete);
  EXPECT_EQ(Positions(p.frames), (std::vector<int>{0, 1, 10, 11}));

  // The table serves each object's frame at the counter from that layout.
  AppendAnimation(p.animation, p.frames);
  AnimationFrame f;
  ASSERT_TRUE(GetAnimationFrame(0, 1, f));
  EXPECT_EQ(f.position[0], 10);
  AnimationCounters[0] = 1;
  ASSERT_TRUE(GetAnimationFrame(0, 0, f));
  EXPECT_EQ(f.position[0], 1);
  ASSERT_TRUE(GetAnimationFrame(0, 1, f));
  EXPECT_EQ(f.position[0], 11);
  EXPECT_FALSE(GetAnimationFrame(0, 2, f));
  EXPECT_FALSE(GetAnimationFrame(0, -1, f));
  EXPECT_FALSE(GetAnimationFrame(1, 0, f));
}

TEST_F(Anim3DText, FilesWithoutKeywordOrCutShortSayHowFarTheyGotAndKeepWhatTheyHold) {
  EXPECT_FALSE(Parse("ANIM3D \"x.pie\" 1 1 1 1").keywordFound);

  const Anim3DParse header = Parse("ANIM3DTRANS \"Head.pie\" 2 10");
  EXPECT_TRUE(header.keywordFound);
  EXPECT_TRUE(header.nameRead);
  EXPECT_EQ(header.animation.name, "Head");
  EXPECT_FALSE(header.headerRead);
  // A frame file's name counts as read only with the frame count after it.
  const Anim3DParse bare = Parse("ANIM3DFRAMES \"Bare.pie\"");
  EXPECT_TRUE(bare.keywordFound);
  EXPECT_FALSE(bare.nameRead);

  // The frame animation holds the one frame that was there.
  const Anim3DParse frames = Parse("ANIM3DFRAMES \"Short.pie\" 100000 10 0 {\n" +
                                   FrameLine(0, {1, 2, 3, 4, 5, 6, 7, 8, 9}) + "1 5 5");
  EXPECT_TRUE(frames.headerRead);
  EXPECT_FALSE(frames.complete);
  EXPECT_EQ(frames.animation.frameCount, 1);
  EXPECT_EQ(frames.frames.size(), 1u);

  // The transform animation keeps the two objects it began; the second lacks its second frame.
  const Anim3DParse objects = Parse("ANIM3DTRANS \"Objs.pie\" 2 10 2000000000 {\nANIMOBJECT 0 \"o\" {\n" +
                                    FrameLine(0, {1, 1, 1, 0, 0, 0, 0, 0, 0}) +
                                    FrameLine(1, {2, 2, 2, 0, 0, 0, 0, 0, 0}) + "}\nANIMOBJECT 1 \"o\" {\n" +
                                    FrameLine(0, {3, 3, 3, 0, 0, 0, 0, 0, 0}));
  EXPECT_TRUE(objects.headerRead);
  EXPECT_FALSE(objects.complete);
  EXPECT_EQ(objects.animation.objectCount, 2);
  EXPECT_EQ(Positions(objects.frames), (std::vector<int>{1, 2, 3}));

  // Behind another animation's frames, the table serves what is there and refuses the rest.
  AppendAnimation(frames.animation, frames.frames);
  AppendAnimation(objects.animation, objects.frames);
  AnimationFrame f;
  ASSERT_TRUE(GetAnimationFrame(1, 1, f));
  EXPECT_EQ(f.position[0], 3);
  AnimationCounters[1] = 1;
  EXPECT_TRUE(GetAnimationFrame(1, 0, f));
  EXPECT_EQ(f.position[0], 2);
  EXPECT_FALSE(GetAnimationFrame(1, 1, f));
}

TEST_F(Anim3DText, CountsThatCannotBeTrustedNeverReachOutsideTheFrames) {
  const Anim3DParse parsed[] = {
      Parse("ANIM3DTRANS \"Neg.pie\" -3 10 2 {\nANIMOBJECT 0 \"o\" {\n}\nANIMOBJECT 1 \"o\" {\n}\n}"),
      Parse("ANIM3DFRAMES \"Zero.pie\" 0 10 0 {\n}"),
      Parse("ANIM3DTRANS \"NegObj.pie\" 1 10 -1 {\n}"),
      Parse("ANIM3DFRAMES \"NegFrames.pie\" -2 10 0 {\n" + FrameLine(0, {1, 1, 1, 0, 0, 0, 0, 0, 0}) + "}"),
      Parse(TransAnimation("After", 1, 10, 1, {7, 7, 7, 0, 0, 0, 0, 0, 0})),
  };
  // A negative frame count is marked and kept as 0: no frame is read, however many lines follow.
  for (int a : {0, 3}) {
    EXPECT_TRUE(parsed[a].negativeCount) << a;
    EXPECT_EQ(parsed[a].animation.frameCount, 0) << a;
  }
  EXPECT_FALSE(parsed[1].negativeCount);
  // An object count of -1 in a transform file does not make it a frame animation.
  EXPECT_EQ(parsed[2].animation.objectCount, 0);
  for (int a = 0; a < 4; ++a) EXPECT_TRUE(parsed[a].frames.empty()) << a;

  for (const Anim3DParse& p : parsed) AppendAnimation(p.animation, p.frames);
  AnimationFrame f;
  for (int a = 0; a < 4; ++a)
    for (int object = 0; object < 3; ++object) EXPECT_FALSE(GetAnimationFrame(a, object, f)) << a << " " << object;
  EXPECT_FALSE(IsFramesAnimation(2));
  EXPECT_TRUE(GetAnimationFrame(4, 0, f));
  EXPECT_EQ(f.position[0], 7);
}

class AnimationFiles : public loadingtest::LoadingTest {
 protected:
  bool NeedsDevice() const override { return false; }
  void SetUp() override {
    LoadingTest::SetUp();
    ErrorLog::Start();
  }
  // The log after its start line.
  static std::vector<std::string> LogAfterStart() {
    std::vector<std::string> lines = Log();
    if (!lines.empty()) lines.erase(lines.begin());
    return lines;
  }
};

TEST_F(AnimationFiles, LogEachPathTwiceTheNameAndTheSizeInFileOrder) {
  WriteFile("anims/Animations.gam", "walk.ani\n  turn.ani");
  WriteFile("anims/walk.ani", FramesAnimation("Walker", 2, 10));
  WriteFile("anims/turn.ani", TransAnimation("Turret", 1, 10, 2, {1, 2, 3, 4, 5, 6, 7, 8, 9}));
  LoadAnimations("anims/");
  EXPECT_EQ(LogAfterStart(), (std::vector<std::string>{"anims/walk.ani", "anims/walk.ani", "Walker",
                                                       "size  1", "anims/turn.ani", "anims/turn.ani",
                                                       "Turret", "size  2"}));
  ASSERT_EQ(Animations.size(), 2u);
  EXPECT_EQ(AnimationCounters.size(), 2u);
  EXPECT_TRUE(IsFramesAnimation(0));
  EXPECT_FALSE(IsFramesAnimation(1));
  EXPECT_EQ(Animations[1].objectCount, 2);
  EXPECT_EQ(Animations[1].firstFrame, 2);
  EXPECT_EQ(AnimationFrames.size(), 4u);
}

TEST_F(AnimationFiles, FindAnimationIgnoresCapitalsAndReturnsTheFirstMatch) {
  WriteFile("a/Animations.gam", "one.ani two.ani");
  WriteFile("a/one.ani", FramesAnimation("BLDRTank", 1, 10));
  WriteFile("a/two.ani", FramesAnimation("bldrtank", 1, 10));
  LoadAnimations("a/");
  EXPECT_EQ(FindAnimation("BldrTank"), 0);
  EXPECT_EQ(FindAnimation("bldrtan"), -1);
  EXPECT_EQ(FindAnimation("bldrtanks"), -1);
}

TEST_F(AnimationFiles, LongNamesAndPathsAreKeptWhole) {
  const std::string dir = "a-directory-whose-name-is-long/";  // 31 characters with the separator
  const std::string file = "an-animation-file-name-22.ani";
  WriteFile(dir + "Animations.gam", file);
  WriteFile(dir + file, FramesAnimation("TwentyFourCharacterName1", 1, 10));
  LoadAnimations(dir.c_str());
  EXPECT_EQ(LogAfterStart()[0], dir + file);
  EXPECT_EQ(FindAnimation("twentyfourcharactername1"), 0);
}

TEST_F(AnimationFiles, MissingFilesAreLoggedAndLoadNothing) {
  LoadAnimations("nowhere/");
  EXPECT_EQ(LogAfterStart(),
            (std::vector<std::string>{"Failed to open animation manifest nowhere/Animations.gam"}));

  WriteFile("a/Animations.gam", "gone.ani here.ani");
  WriteFile("a/here.ani", FramesAnimation("Here", 1, 10));
  LoadAnimations("a/");
  std::vector<std::string> log = LogAfterStart();
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(log.begin() + 1, log.begin() + 4),
            (std::vector<std::string>{"a/gone.ani", "a/gone.ani", "Failed to open animation file a/gone.ani"}));
  // The missing file leaves no record behind, so the next one is still animation 0 with its counter.
  ASSERT_EQ(Animations.size(), 1u);
  EXPECT_EQ(AnimationCounters.size(), 1u);
  EXPECT_EQ(FindAnimation("here"), 0);
}

TEST_F(AnimationFiles, FilesWithoutKeywordOrCutShortAreLoggedAndKeepRecordsAndCountersTogether) {
  WriteFile("a/Animations.gam", "none.ani header.ani frames.ani objects.ani");
  WriteFile("a/none.ani", "ANIM3D \"x.pie\" 1 1 1 1");
  WriteFile("a/header.ani", "ANIM3DTRANS \"Head.pie\" 2 10");
  WriteFile("a/frames.ani", "ANIM3DFRAMES \"Short.pie\" 100000 10 0 {\n" + FrameLine(0, {1, 2, 3, 4, 5, 6, 7, 8, 9}) +
                                "1 5 5");
  WriteFile("a/objects.ani", "ANIM3DTRANS \"Objs.pie\" 2 10 2000000000 {\nANIMOBJECT 0 \"o\" {\n" +
                                 FrameLine(0, {1, 1, 1, 0, 0, 0, 0, 0, 0}) + FrameLine(1, {2, 2, 2, 0, 0, 0, 0, 0, 0}) +
                                 "}\nANIMOBJECT 1 \"o\" {\n" + FrameLine(0, {3, 3, 3, 0, 0, 0, 0, 0, 0}));
  LoadAnimations("a/");
  EXPECT_EQ(LogAfterStart(),
            (std::vector<std::string>{
                "a/none.ani", "a/none.ani", "No ANIM3DFRAMES or ANIM3DTRANS in a/none.ani",
                "a/header.ani", "a/header.ani", "Head", "Animation file ends early a/header.ani",
                "a/frames.ani", "a/frames.ani", "Short", "size  1", "Animation file ends early a/frames.ani",
                "a/objects.ani", "a/objects.ani", "Objs", "size  2", "Animation file ends early a/objects.ani"}));
  ASSERT_EQ(Animations.size(), 2u);
  ASSERT_EQ(AnimationCounters.size(), 2u);
  // What is committed is the counts cut to what was read, not the file's.
  EXPECT_EQ(Animations[0].frameCount, 1);
  EXPECT_EQ(Animations[1].objectCount, 2);
}

TEST_F(AnimationFiles, ANegativeFrameCountIsLoggedAndTheAnimationStillLoads) {
  WriteFile("a/Animations.gam", "neg.ani");
  WriteFile("a/neg.ani", "ANIM3DFRAMES \"Neg.pie\" -2 10 0 {\n}");
  LoadAnimations("a/");
  EXPECT_EQ(LogAfterStart(), (std::vector<std::string>{"a/neg.ani", "a/neg.ani", "Neg",
                                                       "Animation file holds a negative frame count a/neg.ani",
                                                       "size  1"}));
  // Its model still finds it.
  EXPECT_EQ(FindAnimation("neg"), 0);
  EXPECT_EQ(AnimationCounters.size(), 1u);
}

class AnimationBeat : public AnimationFiles {
 protected:
  // Loads one frame animation per (frame count, rate) pair, then starts the beat at 50000 ms.
  void Load(const std::vector<std::pair<int, int>>& animations) {
    std::string manifest;
    for (size_t i = 0; i < animations.size(); ++i) {
      const std::string file = "m" + std::to_string(i) + ".ani";
      manifest += file + " ";
      WriteFile("a/" + file, FramesAnimation("M" + std::to_string(i), animations[i].first, animations[i].second));
    }
    WriteFile("a/Animations.gam", manifest);
    LoadAnimations("a/");
    kvrtest::SetTime(50000);
    TickAnimations();
  }
  // Ticks at the given clock time and returns the counters.
  std::vector<int32_t> TickAt(DWORD ms) {
    kvrtest::SetTime(ms);
    TickAnimations();
    return AnimationCounters;
  }
};

TEST_F(AnimationBeat, TheFirstTickNeverAdvances) {
  Load({{4, 25}});
  EXPECT_EQ(AnimationCounters, (std::vector<int32_t>{0}));
}

TEST_F(AnimationBeat, AFourFrameCounterRunsRoundOneStepPerInterval) {
  Load({{4, 10}});
  std::vector<int32_t> seen;
  for (DWORD t = 50101; t <= 50505; t += 101) seen.push_back(TickAt(t)[0]);
  EXPECT_EQ(seen, (std::vector<int32_t>{1, 2, 3, 0, 1}));
}

TEST_F(AnimationBeat, FastRatesStepOncePerBeatAndNothingStepsBetweenBeats) {
  Load({{100, 25}, {100, 2}});
  EXPECT_EQ(TickAt(50100), (std::vector<int32_t>{0, 0}));  // not strictly later than the beat
  EXPECT_EQ(TickAt(50101), (std::vector<int32_t>{1, 1}));  // the first beat: both due since load
  EXPECT_EQ(TickAt(50150), (std::vector<int32_t>{1, 1}));
  EXPECT_EQ(TickAt(50202), (std::vector<int32_t>{2, 1}));  // rate 2 waits 500 ms
  EXPECT_EQ(TickAt(50303), (std::vector<int32_t>{3, 1}));
  EXPECT_EQ(TickAt(50606), (std::vector<int32_t>{4, 2}));  // one step for a 303 ms gap
}

TEST_F(AnimationBeat, RateZeroNeverStepsAndCountsOfOneOrZeroStayAtZero) {
  Load({{4, 0}, {1, 10}, {0, 10}, {4, -5}});
  for (DWORD t = 50101; t < 52000; t += 101) TickAt(t);
  EXPECT_EQ(AnimationCounters[0], 0);
  EXPECT_EQ(AnimationCounters[1], 0);
  EXPECT_EQ(AnimationCounters[2], 0);
  // A negative rate steps every beat.
  for (DWORD t = 52101; t < 52500; t += 101) {
    const int32_t before = AnimationCounters[3];
    EXPECT_EQ(TickAt(t)[3], (before + 1) % 4);
  }
}

TEST_F(AnimationBeat, BeatsKeepComingAcrossTheClockWrap) {
  Load({{1000, 10}});
  const DWORD nearWrap = 0xFFFFFFFFu - 150;
  TickAt(nearWrap);
  const int32_t before = AnimationCounters[0];
  EXPECT_EQ(TickAt(nearWrap + 101)[0], before + 1);
  EXPECT_EQ(TickAt(nearWrap + 202)[0], before + 2);  // past zero
  EXPECT_EQ(TickAt(nearWrap + 303)[0], before + 3);
}

}  // namespace
