// One frame of the viewer: the model, its name, the panels, the frame count and the overlays.
#pragma once

// Clears, draws and presents one frame; steps the animations on their 100 ms beat.
void RenderFrame();
// The frame's reset of texture, blend and filter state.
void ResetTextureStages();
// The states the frame sets before it draws the model (ResetTextureStages among them); the
// headless pictures draw with the same.
void SetModelStates();
