// platform/sdl_internal.h - what the platform's own files share about SDL; nothing outside
// platform/ includes this.
#pragma once

#include <SDL2/SDL.h>

SDL_Renderer* CurrentRenderer(); // null while the display is closed

// Pictures and 3-D sprites hand their textures back when the display closes.
void ReleasePictureTextures();
void ReleaseTextTextures();
// The 3-D layer's blend state, applied to a texture right before it is drawn.
void ApplySpriteBlend(SDL_Texture* texture);
// Input takes the window's events; the display calls it from each flip.
void PumpEvents();
// Text layer: frees cached renderings not used for a while; called once per flip.
void AgeTextCache();
// The picture's texture for the current display, made or refreshed from its pixels on demand;
// null when the picture does not exist or the display is closed.
SDL_Texture* PictureTexture(int number);
