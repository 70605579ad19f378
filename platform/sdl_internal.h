// platform/sdl_internal.h - what the platform's own files share about SDL; nothing outside
// platform/ includes this.
#pragma once

#include <SDL2/SDL.h>

SDL_Renderer* CurrentRenderer(); // null while the display is closed
// On the software renderer, the surface everything is drawn into, with all that SDL has
// queued already in its pixels; null on a graphics card or while the display is closed.
SDL_Surface* SoftwareScreen();
// Row y of a 32-bit surface's pixels.
inline uint32_t* ScreenRow(SDL_Surface* screen, int y)
{
    return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(screen->pixels) + size_t(y) * size_t(screen->pitch));
}

// Pictures and 3-D sprites hand their textures back when the display closes.
void ReleasePictureTextures();
void ReleaseTextTextures();
// Sends the gathered 3-D quads to the renderer; every other drawing calls it first, so that
// the screen shows things in the order they were drawn.
void FlushSprites();
// Pictures tell the atlases when their pixels or size changed.
void SpritePictureChanged(int number);
// The display closes: the atlas pages hand back their textures (remade on the next draw).
void ReleaseSpriteTextures();
// 1 when the picture's own texture will be uploaded again before it is drawn.
int PictureTextureStale(int number);
// Every call that draws into the target counts itself here.
void CountDrawCall();
// Input takes the window's events; the display calls it from each flip.
void PumpEvents();
// Text layer: frees cached renderings not used for a while; called once per flip.
void AgeTextCache();
// The picture's texture for the current display, made or refreshed from its pixels on demand;
// null when the picture does not exist or the display is closed.
SDL_Texture* PictureTexture(int number);
