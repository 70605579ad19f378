// game/sim/sounds.cpp - placing the world's sounds.
#include "game/sim/sounds.h"

#include "game/base/config.h"
#include "game/base/frame.h"
#include "game/sim/gamestate.h"
#include "platform/sound.h"

#include <algorithm>
#include <cmath>

static float ScreenX(float worldX) { return (worldX + CamX) * DrawScale; }
static float ScreenY(float worldY) { return (worldY + CamY) * DrawScale; }

void PlayWorldSound(int number, float worldX, float worldY)
{
    if (SoundEffects != 1) return;
    int volume = 100, balance = 0;
    if (StereoSound == 1) {
        float dx = ScreenX(worldX) - float(CursorX), dy = ScreenY(worldY) - float(CursorY);
        volume = std::clamp(int(std::lround(100 - std::sqrt(dx * dx + dy * dy) / 10)), 0, 100);
        balance = std::clamp(int(std::lround(dx / 5)), -100, 100);
    }
    if (volume <= 0) return;
    SetSoundVolume(number, volume);
    SetSoundBalance(number, balance);
    PlaySound(number, 0);
}

void PlayVoice(int number)
{
    if (VoiceEffects == 1) PlaySound(number, 0);
}

int OnScreen(float worldX, float worldY)
{
    float x = ScreenX(worldX), y = ScreenY(worldY);
    return x >= 0 && y >= 0 && x < 768 * UiScale && y < float(ScreenHeightPx);
}
