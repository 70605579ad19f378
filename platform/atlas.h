// platform/atlas.h - packing many small pictures into a few large pages.
//
// Pictures drawn many times a frame share a texture, so that a layer of the playfield is one
// batch of quads instead of thousands of calls. Each picture gets a rectangle with a border of
// `padding` pixels around it, which the upload fills with the picture's own edge pixels: a
// zoomed, filtered picture then samples only itself, exactly as it would from a texture of its
// own whose edges are clamped.
#pragma once

#include <vector>

struct AtlasRequest {
    int number;        // the picture
    int width, height; // its size in pixels
};

struct AtlasPlacement {
    int number;
    int page; // 0, 1, ... within the pages of this packing
    int x, y; // top-left of the picture itself, inside its border
};

struct AtlasPacking {
    std::vector<AtlasPlacement> placed; // in the order of the requests that fit
    std::vector<int> pageSides;          // a square page each; pixels
};

// Packs the requests in rows, tallest first. Every place (border included) starts and ends on
// a multiple of `alignment`, so that halving the page halves every place exactly. Pictures
// that do not fit a page of `maxSide` with their border are left out (they keep their own
// textures). A page is made no larger than it needs to be: the smallest power of two from 64
// up that takes what is left.
AtlasPacking PackAtlas(const std::vector<AtlasRequest>& requests, int maxSide, int padding, int alignment = 1);
