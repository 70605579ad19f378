// tools/artgen/shading.h - the finish that units and icons give their solid parts: colours as
// bytes, a fill lit from the top left, a bevel, a dark outline, and the paths they are drawn on.
#pragma once

#include <cairo.h>

// A colour with channels 0..255.
struct Rgb {
    int r, g, b;
};

// The dark line around every solid part, so that small shapes read on sand.
inline constexpr Rgb Outline = {34, 30, 24};

// A colour brightened (f > 1) or darkened (f < 1).
Rgb Scaled(Rgb c, double f);
// Makes the colour the source of the next fill or stroke.
void Use(cairo_t* cr, Rgb c, double alpha = 1.0);
// A circle as a sub-path of its own.
void Circle(cairo_t* cr, double x, double y, double r);
// A closed path through `points` corners given as x, y pairs.
void Polygon(cairo_t* cr, const double* xy, int points);
// Fills the current path lit from the top left, keeping the path.
void FillShaded(cairo_t* cr, Rgb base);
// A light edge inside the top left of the current path and a dark one inside its bottom right,
// so that a flat shape reads as raised; keeps the path.
void Bevel(cairo_t* cr, double width);
// Strokes the current path with the dark outline and clears it.
void Stroke(cairo_t* cr, double width = 1.4);
// The standard finish of a solid part: lit fill, bevel, dark outline.
void Solid(cairo_t* cr, Rgb base, double bevel = 1.6, double outline = 1.4);
