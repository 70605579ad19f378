// game/front/intro.cpp - the intro: grains of sand blow in and settle into the game's name
// while the story types itself out above them.
#include "game/front/intro.h"

#include "game/base/common.h"
#include "game/base/config.h"
#include "game/base/frame.h"
#include "game/front/startup.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/pictures.h"
#include "platform/sound.h"
#include "platform/sprites.h"
#include "platform/text.h"

#include <algorithm>
#include <cmath>

constexpr int GrainSprite = 0;
constexpr int MusicNumber = 5002;
constexpr int KeyEscape = 0x01;
constexpr int GrainSize = 4;        // layout units; the 256 x 192 picture fills the screen
constexpr int FlightFrames = 60;    // how long a grain blows from its start to its place
constexpr int ReadingFrames = 120;  // the last line stays on screen this long
constexpr int StoryX = 50, StoryY = 20, StoryLineStep = 30;

// One grain: where it is blown in from, where it settles, and when it sets off.
struct Grain {
    float fromX, fromY, toX, toY; // layout units
    int startFrame;
};

static std::vector<std::string> Story;

const std::vector<std::string>& IntroStoryLines() { return Story; }

std::vector<int> ReadParticleTable(int picture)
{
    std::vector<int> values(size_t(ParticleColumns * ParticleRows), -1);
    int width = std::min(PictureWidth(picture), ParticleColumns);
    int height = std::min(PictureHeight(picture), ParticleRows);
    for (int x = 0; x < width; x++)
        for (int y = 0; y < height; y++) {
            int value = (ReadPixel(picture, x, y) & 255) - 1;
            if (value > 100) value -= Rnd(100);
            values[size_t(x * ParticleRows + y)] = value;
        }
    return values;
}

// The grains of the table: the value decides when a grain sets off, so the low values (the
// dunes) settle first and the name gathers above them, each letter a little ragged.
static std::vector<Grain> MakeGrains(const std::vector<int>& values)
{
    std::vector<Grain> grains;
    for (int x = 0; x < ParticleColumns; x++)
        for (int y = 0; y < ParticleRows; y++) {
            int value = values[size_t(x * ParticleRows + y)];
            if (value < 0) continue;
            float fromX = -40.0f - float(Rnd(300)), fromY = 500.0f + float(Rnd(300));
            grains.push_back({fromX, fromY, float(x * GrainSize), float(y * GrainSize), value / 2});
        }
    return grains;
}

static void DrawGrains(const std::vector<Grain>& grains, int frame)
{
    float size = GrainSize * UiScale;
    SetSpriteSize(GrainSprite, size, size);
    SetSpriteAngle(GrainSprite, 0);
    for (const Grain& grain : grains) {
        if (frame < grain.startFrame) continue;
        float t = std::min(1.0f, float(frame - grain.startFrame) / FlightFrames);
        float eased = 1 - (1 - t) * (1 - t);
        // A gust lifts the grain on its way and lets it drop into place.
        float lift = 120 * std::sin(t * 3.14159265f);
        float x = grain.fromX + (grain.toX - grain.fromX) * eased;
        float y = grain.fromY + (grain.toY - grain.fromY) * eased - lift;
        DrawSprite3D(GrainSprite, x * UiScale, y * UiScale, 255);
    }
}

static int StoryLength()
{
    int length = 0;
    for (const std::string& line : Story) length += int(line.size());
    return length;
}

// The story up to `shown` characters, each line pulsing in warm colours a little after the one
// above it. The colour moves in steps, so finished lines reuse their drawn texts.
static void DrawStory(int shown, int frame)
{
    for (size_t i = 0; i < Story.size() && shown > 0; i++) {
        int count = std::min(shown, int(Story[i].size()));
        shown -= count;
        int phase = (frame * 6 + int(i) * 25) % 360 / 20 * 20;
        float pulse = std::sin(float(phase) * DegreesToRadians);
        int green = 170 + int(std::lround(60 * pulse)), blue = 70 + int(std::lround(60 * pulse));
        DrawFontText(IntroFont, Story[i].substr(0, size_t(count)), int(std::lround(StoryX * UiScale)),
                     int(std::lround((StoryY + StoryLineStep * int(i)) * UiScale)), 255, green, blue);
    }
}

static void ReadStory()
{
    std::string text;
    ReadWholeFile("TXT\\Geschichte.txt", text);
    Story = SplitLines(text);
    while (!Story.empty() && Story.back().empty()) Story.pop_back();
}

// The particle picture is read through sprite 0, which then becomes the sand grain.
static std::vector<Grain> LoadGrains()
{
    LoadTextureSprite(GrainSprite, "BMP\\Unbenannt.bmp");
    std::vector<Grain> grains = MakeGrains(ReadParticleTable(GrainSprite));
    LoadTextureSprite(GrainSprite, "BMP\\Sand.bmp");
    return grains;
}

void RunIntro()
{
    if (JumpToScreenModes == 1) return;
    ReadStory();
    std::vector<Grain> grains = LoadGrains();
    SetSoundVolume(MusicNumber, 100);
    PlaySound(MusicNumber, 0);
    // One character per frame, then time to read the last line.
    const int lastFrame = StoryLength() + ReadingFrames;
    for (int frame = 0; frame <= lastFrame && !WindowCloseRequested(); frame++) {
        ReadKeyboard();
        if (KeyWentUp(KeyEscape)) return;
        ClearScreen(0, 0, 0);
        BeginScene();
        SetBlendFactors(5, 6);
        DrawGrains(grains, frame);
        DrawStory(frame, frame);
        EndScene();
        FlipScreen();
        CountFrame();
    }
}
