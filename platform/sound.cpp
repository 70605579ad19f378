// platform/sound.cpp - SDL_mixer chunks, one per number, each on a channel of its own while it plays.
#include "platform/sound.h"

#include "platform/display.h"
#include "platform/files.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <algorithm>
#include <vector>
#include <array>
#include <cstdio>

struct Sound {
    Mix_Chunk* chunk = nullptr;
    int volume = 100;  // 0..100
    int balance = 0;   // -100..100
    int channel = -1;  // mixer channel of the last start, -1 before
};

static std::array<Sound, MaxSounds> Sounds;
static int ChannelCount = 32;

// Opens the mixer on the audio driver in force; 1 on success.
static int OpenMixer()
{
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) return 0;
    Mix_AllocateChannels(ChannelCount);
    return 1;
}

int StartSoundLayer()
{
    if (SDL_WasInit(SDL_INIT_AUDIO) && Mix_QuerySpec(nullptr, nullptr, nullptr)) return 1;
    Mix_Init(MIX_INIT_MP3);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 && OpenMixer()) return 1;
    // A computer without a sound card still plays the game, only silently: the mixer runs on
    // SDL's silent driver, so every sound keeps its timing ("still playing?") as it would.
    std::fprintf(stderr, "korax: sound: no audio device (%s), playing silently\n", SDL_GetError());
    SDL_AudioQuit();
    if (SDL_AudioInit("dummy") == 0 && OpenMixer()) return 1;
    std::fprintf(stderr, "korax: sound: %s\n", Mix_GetError());
    return 0;
}

static Sound* Find(int number)
{
    if (number < 0 || number >= MaxSounds || !Sounds[size_t(number)].chunk) return nullptr;
    return &Sounds[size_t(number)];
}

void FreeSound(int number)
{
    if (number < 0 || number >= MaxSounds) return;
    Sound& sound = Sounds[size_t(number)];
    if (sound.chunk) {
        if (sound.channel >= 0 && Mix_GetChunk(sound.channel) == sound.chunk) Mix_HaltChannel(sound.channel);
        Mix_FreeChunk(sound.chunk);
    }
    sound = Sound{};
}

int LoadSound(int number, const std::string& path)
{
    FreeSound(number);
    if (number < 0 || number >= MaxSounds || !SDL_WasInit(SDL_INIT_AUDIO)) return 0;
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return 0;
    SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
    Mix_Chunk* chunk = stream ? Mix_LoadWAV_RW(stream, 1) : nullptr;
    if (!chunk) {
        std::fprintf(stderr, "korax: sound: cannot load %s\n", path.c_str());
        return 0;
    }
    Sounds[size_t(number)].chunk = chunk;
    return 1;
}

int SoundExists(int number) { return Find(number) != nullptr; }

// The channel still belongs to this sound only while it plays this sound's chunk.
static int OwnsChannel(const Sound& sound)
{
    return sound.channel >= 0 && Mix_Playing(sound.channel) && Mix_GetChunk(sound.channel) == sound.chunk;
}

static void ApplyBalance(const Sound& sound)
{
    if (sound.channel < 0) return;
    int left = sound.balance > 0 ? 255 * (100 - sound.balance) / 100 : 255;
    int right = sound.balance < 0 ? 255 * (100 + sound.balance) / 100 : 255;
    Mix_SetPanning(sound.channel, Uint8(left), Uint8(right));
}

static std::vector<int> PlayLog;
static int PlayLogOn = 0;

void LogPlayedSounds(int on)
{
    PlayLogOn = on;
    PlayLog.clear();
}

const std::vector<int>& PlayedSounds() { return PlayLog; }

void PlaySound(int number, int looped)
{
    if (PlayLogOn && PlayLog.size() < 100000) PlayLog.push_back(number);
    Sound* sound = Find(number);
    if (!sound) return;
    if (OwnsChannel(*sound)) Mix_HaltChannel(sound->channel);
    int channel = Mix_PlayChannel(-1, sound->chunk, looped ? -1 : 0);
    if (channel < 0 && ChannelCount < 256) {
        // Every channel busy: a big battle. Grow the mixer rather than drop the sound.
        ChannelCount = std::min(256, ChannelCount * 2);
        Mix_AllocateChannels(ChannelCount);
        channel = Mix_PlayChannel(-1, sound->chunk, looped ? -1 : 0);
    }
    sound->channel = channel;
    ApplyBalance(*sound);
}

int SoundPlaying(int number)
{
    Sound* sound = Find(number);
    return sound && OwnsChannel(*sound);
}

void StopSound(int number)
{
    Sound* sound = Find(number);
    if (sound && OwnsChannel(*sound)) Mix_HaltChannel(sound->channel);
}

void SetSoundVolume(int number, int volume)
{
    Sound* sound = Find(number);
    if (!sound) return;
    sound->volume = std::clamp(volume, 0, 100);
    Mix_VolumeChunk(sound->chunk, sound->volume * MIX_MAX_VOLUME / 100);
}

void SetSoundBalance(int number, int balance)
{
    Sound* sound = Find(number);
    if (!sound) return;
    sound->balance = std::clamp(balance, -100, 100);
    if (OwnsChannel(*sound)) ApplyBalance(*sound);
}
