// Turning the model by dragging it sideways with the left button.
#pragma once

// The slider strip belongs to the input's window procedure, which says whether the pointer is on a
// slider (SliderUnderPointer) with each call.

// A left press: starts a drag unless the pointer is on a row area of the shown panel or on a
// slider, which keep their presses as before.
void BeginModelDrag(bool onSlider);
// Turns the model by the pointer's sideways movement since the drag's last step: one screen width
// is a full turn, and the model's front follows the pointer. Movement that ends on a slider sets
// the slider instead. Nothing happens without a drag.
void FollowModelDrag(bool onSlider);
// The left button's release: the last movement counts, then the drag ends.
void EndModelDrag(bool onSlider);
