// game/view/uidraw.h - drawing in the 1024-wide layout frame, for the interface.
//
// The interface's rules run in every frame, so that no click is lost; its drawing happens only
// in the frames that are drawn. These helpers do both: positions and sizes in layout units,
// nothing drawn in a frame that is not.
#pragma once

#include "game/base/frame.h"
#include "game/sim/gamestate.h"
#include "platform/sprites.h"

#include <cmath>
#include <string>

// A 3-D sprite at layout (x, y) sized w x h layout units (negative sizes mirror it).
inline void UiSprite(int number, float x, float y, float w, float h, int opacity)
{
    if (!RenderThisFrame) return;
    SetSpriteSize(number, w * UiScale, h * UiScale);
    SetSpriteAngle(number, 0);
    DrawSprite3D(number, float(std::lround(x * UiScale)), float(std::lround(y * UiScale)), opacity);
}

inline void UiText(const std::string& text, float x, float y, int alignment, int box)
{
    if (RenderThisFrame) DrawText(text, x, y, alignment, box);
}
