// tools/artgen/shading.cpp - the shared finish of solid parts (see shading.h).
#include "shading.h"

#include "artgen.h"

#include <algorithm>
#include <cmath>

Rgb Scaled(Rgb c, double f)
{
    auto one = [f](int v) { return std::clamp(int(std::lround(v * f)), 0, 255); };
    return Rgb{one(c.r), one(c.g), one(c.b)};
}

void Use(cairo_t* cr, Rgb c, double alpha) { SetColour(cr, c.r, c.g, c.b, alpha); }

void Circle(cairo_t* cr, double x, double y, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
}

void Polygon(cairo_t* cr, const double* xy, int points)
{
    cairo_move_to(cr, xy[0], xy[1]);
    for (int i = 1; i < points; i++) cairo_line_to(cr, xy[2 * i], xy[2 * i + 1]);
    cairo_close_path(cr);
}

void FillShaded(cairo_t* cr, Rgb base)
{
    double x1, y1, x2, y2;
    cairo_path_extents(cr, &x1, &y1, &x2, &y2);
    Rgb light = Scaled(base, 1.3), dark = Scaled(base, 0.72);
    const int l[3] = {light.r, light.g, light.b}, d[3] = {dark.r, dark.g, dark.b};
    FillLit(cr, x1, y1, x2 - x1, y2 - y1, l, d);
}

// The path is clipped to, so only the inner half of each shifted stroke shows.
void Bevel(cairo_t* cr, double width)
{
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_save(cr);
    cairo_clip(cr);
    cairo_set_line_width(cr, width);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const double shift = width * 0.6;
    for (int side = 1; side >= -1; side -= 2) {
        cairo_save(cr);
        cairo_translate(cr, side * shift, side * shift);
        cairo_append_path(cr, path);
        if (side > 0) SetColour(cr, 255, 250, 230, 0.45);
        else SetColour(cr, 20, 16, 10, 0.35);
        cairo_stroke(cr);
        cairo_restore(cr);
    }
    cairo_restore(cr);
    cairo_append_path(cr, path);
    cairo_path_destroy(path);
}

void Stroke(cairo_t* cr, double width)
{
    Use(cr, Outline);
    cairo_set_line_width(cr, width);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

void Solid(cairo_t* cr, Rgb base, double bevel, double outline)
{
    FillShaded(cr, base);
    if (bevel > 0) Bevel(cr, bevel);
    Stroke(cr, outline);
}

void TeamWindow(cairo_t* cr, double rim)
{
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_matrix_t user;
    cairo_get_matrix(cr, &user);
    cairo_surface_t* target = cairo_get_target(cr);
    int width = cairo_image_surface_get_width(target), height = cairo_image_surface_get_height(target);
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_new_path(cr);
    cairo_arc(cr, width / 2.0, height / 2.0, TeamReach(width), 0, 2 * M_PI);
    cairo_clip(cr);
    cairo_set_matrix(cr, &user);
    cairo_new_path(cr);
    cairo_append_path(cr, path);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_new_path(cr);
    cairo_append_path(cr, path);
    Stroke(cr, rim);
    cairo_path_destroy(path);
}
