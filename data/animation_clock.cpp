// The animation clock of the headless pictures.
//
// The viewer steps its animations on a 100 ms beat of timeGetTime, and a keyframe counter moves at
// most once a beat when its interval has passed: what a frame shows depends on when the frames
// happened to be drawn. A picture instead names its moment: each counter is set straight from the
// time and the animation's rate, and each texture animation from the number of beats, so the same
// time gives the same picture on every run and on every machine. Where the viewer's beat would show
// a frame up to a beat late, or skip frames of an animation faster than ten a second, the picture
// shows the frame the rate puts there.
#include "data/animation_clock.h"

#include "data/animations.h"
#include "model/model_catalogue.h"
#include "model/model_geometry.h"

int32_t KeyframeAtTime(const Animation& animation, uint32_t time) {
  if (animation.frameCount <= 1 || animation.frameRate == 0) return 0;
  // 32-bit milliseconds times a 32-bit rate fit in 64 bits.
  const int64_t steps = animation.frameRate < 0
                            ? static_cast<int64_t>(time / kAnimationBeatMilliseconds)
                            : static_cast<int64_t>(time) * animation.frameRate / 1000;
  return static_cast<int32_t>(steps % animation.frameCount);
}

int32_t TextureFrameAtTime(const PieModel& model, uint32_t time) {
  if (!model.animated || model.teamColors) return model.frame;
  if (model.frameCount <= 1) return 0;
  return static_cast<int32_t>((time / kAnimationBeatMilliseconds) % static_cast<uint32_t>(model.frameCount));
}

void SetModelToTime(int32_t model, uint32_t time) {
  if (model < 0 || static_cast<size_t>(model) >= ModelCatalogue.size()) return;
  PieModel& record = ModelCatalogue[model];
  const int32_t animation = record.animation;
  if (animation >= 0 && static_cast<size_t>(animation) < Animations.size() &&
      static_cast<size_t>(animation) < AnimationCounters.size())
    AnimationCounters[animation] = KeyframeAtTime(Animations[animation], time);
  const int32_t frame = TextureFrameAtTime(record, time);
  if (frame != record.frame) {
    record.frame = frame;
    BuildModelGeometry(model, BuildMode::Update);
  }
}
