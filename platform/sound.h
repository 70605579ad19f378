// platform/sound.h - numbered sounds and music from WAV or MP3 files.
//
// Each number plays at most once at a time: playing it again starts it over, as a media
// player would. A number that failed to load is silent; every call on it does nothing.
#pragma once

#include <string>
#include <vector>

constexpr int MaxSounds = 10000; // numbers 0..9999

// Loads a WAV or MP3 file (game path) as sound `number`; 1 on success.
int LoadSound(int number, const std::string& path);
void FreeSound(int number);
int SoundExists(int number);

void PlaySound(int number, int looped);
int SoundPlaying(int number);
void StopSound(int number);
void SetSoundVolume(int number, int volume);   // 0..100, 100 at load
void SetSoundBalance(int number, int balance); // -100 (left) .. 100 (right), 0 at load

// Test hook: with the log on, every number PlaySound is asked for is noted (loaded or not),
// oldest first; switching it on or off empties it.
void LogPlayedSounds(int on);
const std::vector<int>& PlayedSounds();
