// platform/pictures.h - numbered pictures: loaded from BMP or JPEG, drawn, cut, compared, saved.
//
// A picture lives in memory as pixels (for reading, cutting and the overlap test) and, once
// drawn, as a texture of the display. The transparent colour in force when a picture is loaded
// is baked into its alpha: keyed drawing leaves those pixels out, opaque drawing does not.
// A number that failed to load does not exist; drawing it does nothing.
#pragma once

#include "platform/image.h"

#include <cstdint>
#include <string>

constexpr int MaxPictures = 10000; // numbers 0..9999

// Colour that loads and creations from now on treat as transparent.
void SetTransparentColour(int r, int g, int b);

// Loads a BMP or JPEG file (game path) as picture `number`; 1 on success, else the number is free.
int LoadPicture(int number, const std::string& path);
// An empty picture of w x h in the transparent colour; 1 on success.
int CreatePicture(int number, int w, int h);
// Puts a ready image under `number`, alpha as given (the screen grab uses it); 1 on success.
int SetPictureImage(int number, const Image& image);
void FreePicture(int number);
int PictureExists(int number);
// The picture's pixels, or null when it does not exist.
const Image* PictureImage(int number);

int PictureWidth(int number);  // 0 when it does not exist
int PictureHeight(int number);
// Colour 0xRRGGBB of one pixel; 0 outside the picture.
int ReadPixel(int number, int x, int y);

// Draws the whole picture with its top-left corner at x, y (screen pixels).
void DrawPicture(int number, int x, int y, int keyed);
// Draws the rectangle sx, sy, w, h of the picture at x, y.
void DrawPicturePart(int number, int sx, int sy, int w, int h, int x, int y, int keyed);
// Copies the rectangle sx, sy, w, h of one picture into another at dx, dy, clipped to both.
int CopyPictureRect(int from, int sx, int sy, int w, int h, int to, int dx, int dy);

// Cuts the rectangle sx, sy, w, h of picture `from` into a new picture `to` of w x h, exactly as
// saving the cut to a file and loading it back would: what lies outside `from` is the
// transparent colour, and the transparent colour in force decides what is see-through. 1 on success.
int CutPicture(int from, int sx, int sy, int w, int h, int to);

// 1 when picture a at (ax, ay) and picture b at (bx, by) share a position where both are opaque.
int PicturesOverlap(int a, int ax, int ay, int b, int bx, int by);

// Saves the picture as an uncompressed 24-bit BMP (game path); 1 on success.
int SavePicture(int number, const std::string& path);
