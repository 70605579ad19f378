// tools/artgen/buildings.cpp - the building pictures, their height images, the walls and the guard towers.
//
// Every building is seen from straight above with the light from the top left. Each solid part is
// drawn and, in the same call, raised in the picture's height map, so the height image that the
// shadow maker reads always has the shape of the picture and the hourly shadows fit it. Colours
// stay neutral (concrete, ochre, rust, steel): the buildings are shared by all players and the
// game draws the team marks on its own.
//
// Heights are tenths of a height unit, as the height image stores them (255 at most). The shadow
// maker's sun throws half a pixel of shadow per unit at noon and 1.3 pixels at seven and five
// o'clock, and the game draws the building over its own shadow: only what falls past the plate
// shows. So halls stand 16 to 24 units and reach to within ten pixels of the plate's sides, and
// the tall parts (chimneys, masts, tanks) stand near its edges, where their shadows fall clear.
#include "artgen.h"

#include "platform/image.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

const double Pi = 3.14159265358979323846;

// ---- colours and light ------------------------------------------------------------------------

struct Rgb {
    double r, g, b; // 0..255
};

// The building palette: neutral materials only, plus small accents (lamps, glass, hazard paint).
const Rgb Concrete{172, 162, 142};
const Rgb PaleConcrete{200, 194, 180};
const Rgb DarkConcrete{146, 136, 120};
const Rgb Earth{170, 146, 108};
const Rgb Ochre{192, 148, 86};
const Rgb Rust{150, 88, 54};
const Rgb Steel{138, 142, 144};
const Rgb BlueSteel{124, 136, 146};
const Rgb DarkSteel{86, 88, 92};
const Rgb Olive{106, 112, 68};
const Rgb Ceramic{218, 214, 204};
const Rgb Glass{66, 112, 142};
const Rgb Asphalt{84, 82, 80};
const Rgb HazardYellow{226, 178, 52};
const Rgb HazardDark{56, 50, 44};
const Rgb SpiceOrange{214, 122, 44};
const Rgb Ember{255, 150, 60};
const Rgb CyanLamp{120, 235, 255};
const Rgb GreenLamp{130, 255, 150};
const Rgb RedLamp{255, 84, 60};
const Rgb WhiteLamp{255, 246, 220};
const Rgb SandDust{206, 180, 134};

// Colour arithmetic: a brightness factor, a blend of two colours, and colours as cairo sources.
Rgb Scaled(Rgb c, double f)
{
    return Rgb{std::min(255.0, c.r * f), std::min(255.0, c.g * f), std::min(255.0, c.b * f)};
}
Rgb Mixed(Rgb a, Rgb b, double t) { return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
void Source(cairo_t* cr, Rgb c, double alpha = 1.0)
{
    cairo_set_source_rgba(cr, c.r / 255, c.g / 255, c.b / 255, alpha);
}
void Stop(cairo_pattern_t* p, double at, Rgb c, double alpha = 1.0)
{
    cairo_pattern_add_color_stop_rgba(p, at, c.r / 255, c.g / 255, c.b / 255, alpha);
}

// Brightness of a surface with normal (nx, ny, nz) under the top-left sun, relative to a flat roof,
// so that flat parts keep their base colour and slopes turn lighter or darker.
double LightFactor(double nx, double ny, double nz)
{
    const double lx = -0.5, ly = -0.5, lz = 0.7071, ambient = 0.38, diffuse = 0.62;
    double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    double dot = std::max(0.0, (nx * lx + ny * ly + nz * lz) / length);
    return (ambient + diffuse * dot) / (ambient + diffuse * lz);
}
// A colour as a surface of that normal shows it.
Rgb Lit(Rgb c, double nx, double ny, double nz) { return Scaled(c, LightFactor(nx, ny, nz)); }

// The glint of the sun on a smooth surface seen from straight above: near 1 where the surface
// reflects the sun into the eye, falling off quickly elsewhere.
double Shine(double nx, double ny, double nz, double sharpness)
{
    const double hx = -0.27, hy = -0.27, hz = 0.924; // halfway between the sun and the eye
    double dot = (nx * hx + ny * hy + nz * hz) / std::sqrt(nx * nx + ny * ny + nz * nz);
    return std::pow(std::max(0.0, dot), sharpness);
}

// ---- shapes -------------------------------------------------------------------------------------

using Shape = std::function<void(cairo_t*)>; // adds closed sub-paths to the current path

// Shape makers for the usual outlines; every path is closed, so shapes can be combined.
Shape RectShape(double x, double y, double w, double h)
{
    return [=](cairo_t* cr) { cairo_rectangle(cr, x, y, w, h); };
}
Shape RoundShape(double x, double y, double w, double h, double radius)
{
    return [=](cairo_t* cr) { RoundedRect(cr, x, y, w, h, radius); };
}
Shape CircleShape(double cx, double cy, double r)
{
    return [=](cairo_t* cr) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, cx, cy, r, 0, 2 * Pi);
        cairo_close_path(cr);
    };
}
Shape EllipseShape(double cx, double cy, double rx, double ry, double angle)
{
    return [=](cairo_t* cr) {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_rotate(cr, angle);
        cairo_scale(cr, rx, ry);
        cairo_new_sub_path(cr);
        cairo_arc(cr, 0, 0, 1, 0, 2 * Pi);
        cairo_close_path(cr);
        cairo_restore(cr);
    };
}
struct Point {
    double x, y;
};
Shape PolygonShape(std::vector<Point> points)
{
    return [=](cairo_t* cr) {
        cairo_new_sub_path(cr);
        for (const Point& p : points) cairo_line_to(cr, p.x, p.y);
        cairo_close_path(cr);
    };
}
// A regular polygon of n corners around (cx, cy), the first corner at `angle`.
Shape RegularShape(double cx, double cy, double r, int n, double angle)
{
    std::vector<Point> points;
    for (int i = 0; i < n; i++)
        points.push_back({cx + r * std::cos(angle + 2 * Pi * i / n), cy + r * std::sin(angle + 2 * Pi * i / n)});
    return PolygonShape(points);
}
// Plain drawing with shapes: filling, clipping to one, and straight lines.
void Fill(cairo_t* cr, const Shape& shape, Rgb c, double alpha = 1.0)
{
    cairo_new_path(cr);
    shape(cr);
    Source(cr, c, alpha);
    cairo_fill(cr);
}
// Fills a shape with a gradient or other pattern, then releases the pattern.
void FillWith(cairo_t* cr, const Shape& shape, cairo_pattern_t* pattern)
{
    cairo_new_path(cr);
    shape(cr);
    cairo_set_source(cr, pattern);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
}
void ClipTo(cairo_t* cr, const Shape& shape)
{
    cairo_new_path(cr);
    shape(cr);
    cairo_clip(cr);
}
void Line(cairo_t* cr, double x1, double y1, double x2, double y2, Rgb c, double alpha, double width)
{
    cairo_new_path(cr);
    cairo_move_to(cr, x1, y1);
    cairo_line_to(cr, x2, y2);
    Source(cr, c, alpha);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

// ---- the scene: a picture and the height of the matter on each of its pixels ----------------------

struct Scene {
    Canvas canvas;
    cairo_t* cr = nullptr;
    int width = 0;
    int height = 0;
    std::vector<int> top;    // top of the matter per pixel, tenths of a height unit
    std::vector<int> bottom; // bottom of the matter per pixel, tenths
    ArtRandom random{0};
};

Scene NewScene(const std::string& path)
{
    Scene scene;
    scene.canvas = NewCanvasFor(path);
    scene.cr = scene.canvas.cr;
    scene.width = scene.canvas.width;
    scene.height = scene.canvas.height;
    scene.top.assign(size_t(scene.width) * size_t(scene.height), 0);
    scene.bottom.assign(scene.top.size(), 0);
    scene.random = SeededRandom(path);
    cairo_set_line_join(scene.cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(scene.cr, CAIRO_LINE_CAP_ROUND);
    return scene;
}

// Puts matter from `bottom` to `top` on one pixel: a raised part that floats above what stands
// there replaces it (so a panel on posts keeps its gap), anything else joins the column.
void RaisePixel(Scene& s, int x, int y, int top, int bottom)
{
    size_t i = size_t(y) * size_t(s.width) + size_t(x);
    if (s.top[i] == 0 || (bottom > 0 && s.top[i] <= bottom)) {
        s.top[i] = top;
        s.bottom[i] = bottom;
    } else {
        s.top[i] = std::max(s.top[i], top);
        s.bottom[i] = std::min(s.bottom[i], bottom);
    }
}

// Raises every pixel whose centre lies in the shape (rasterised without antialiasing, exactly
// as the height image needs it). Returns the highest top that stood there before.
int Raise(Scene& s, const Shape& shape, int top, int bottom = 0)
{
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, s.width, s.height);
    cairo_t* cr = cairo_create(mask);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    shape(cr);
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_flush(mask);
    const unsigned char* data = cairo_image_surface_get_data(mask);
    int stride = cairo_image_surface_get_stride(mask), under = 0;
    for (int y = 0; y < s.height; y++)
        for (int x = 0; x < s.width; x++)
            if (data[y * stride + x] >= 128) {
                under = std::max(under, s.top[size_t(y) * size_t(s.width) + size_t(x)]);
                RaisePixel(s, x, y, top, bottom);
            }
    cairo_surface_destroy(mask);
    return under;
}

// Raises pixels by a height field (domes, pitched roofs, pyramids): `heightAt` gives the top in
// tenths at a pixel centre, or 0 where the field has no matter.
void RaiseField(Scene& s, const std::function<double(double, double)>& heightAt, int bottom = 0)
{
    for (int y = 0; y < s.height; y++)
        for (int x = 0; x < s.width; x++) {
            double h = heightAt(x + 0.5, y + 0.5);
            if (h > 0) RaisePixel(s, x, y, int(std::lround(h)), bottom);
        }
}

// Softens an alpha mask with three box passes in each direction (close to a gaussian blur).
void BlurMask(std::vector<float>& m, int w, int h, int radius)
{
    std::vector<float> t(m.size());
    for (int pass = 0; pass < 3; pass++) {
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                float sum = 0;
                for (int k = -radius; k <= radius; k++) sum += m[size_t(y * w + std::clamp(x + k, 0, w - 1))];
                t[size_t(y * w + x)] = sum / float(2 * radius + 1);
            }
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                float sum = 0;
                for (int k = -radius; k <= radius; k++) sum += t[size_t(std::clamp(y + k, 0, h - 1) * w + x)];
                m[size_t(y * w + x)] = sum / float(2 * radius + 1);
            }
    }
}

// Darkens what lies below and right of a part, softly, as the part keeps the sun off it. Only
// matter already drawn is darkened, so no dark seam appears on the bare ground around a building.
void CastShade(Scene& s, const Shape& shape, double reach, double strength = 0.6)
{
    if (reach < 0.5) return;
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, s.width, s.height);
    cairo_t* cr = cairo_create(mask);
    cairo_translate(cr, reach * 0.85, reach);
    shape(cr);
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_flush(mask);
    unsigned char* data = cairo_image_surface_get_data(mask);
    int stride = cairo_image_surface_get_stride(mask);
    std::vector<float> m(size_t(s.width) * size_t(s.height));
    for (int y = 0; y < s.height; y++)
        for (int x = 0; x < s.width; x++) m[size_t(y * s.width + x)] = data[y * stride + x];
    BlurMask(m, s.width, s.height, std::max(1, int(reach * 0.45)));
    for (int y = 0; y < s.height; y++)
        for (int x = 0; x < s.width; x++)
            data[y * stride + x] = (unsigned char)std::clamp(m[size_t(y * s.width + x)], 0.0f, 255.0f);
    cairo_surface_mark_dirty(mask);
    cairo_save(s.cr);
    cairo_set_operator(s.cr, CAIRO_OPERATOR_ATOP);
    cairo_set_source_rgba(s.cr, 34 / 255.0, 24 / 255.0, 16 / 255.0, strength);
    cairo_mask_surface(s.cr, mask, 0, 0);
    cairo_restore(s.cr);
    cairo_surface_destroy(mask);
}

// How far a part throws its shade on the picture: grows with its height above what is under it.
double ShadeReach(int top, int under) { return std::clamp((top - under) / 10.0 * 0.3, 0.0, 7.5); }

// Lights the top-left rim of a shape and darkens its bottom-right rim, so that it stands up.
// A negative width turns it round: the shape then looks sunk in.
void Bevel(cairo_t* cr, const Shape& shape, double width, double light, double dark)
{
    cairo_save(cr);
    ClipTo(cr, shape);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    for (int pass = 0; pass < 2; pass++) {
        double shift = pass == 0 ? width : -width;
        cairo_new_path(cr);
        shape(cr);
        cairo_save(cr);
        cairo_translate(cr, shift, shift);
        shape(cr);
        cairo_restore(cr);
        if ((pass == 0) == (width > 0))
            cairo_set_source_rgba(cr, 1, 0.98, 0.92, light);
        else
            cairo_set_source_rgba(cr, 0.12, 0.08, 0.05, dark);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

// A thin dark line along a shape's border, so that parts read apart from each other.
void Edge(cairo_t* cr, const Shape& shape, double alpha = 0.7, double width = 1.0)
{
    cairo_new_path(cr);
    shape(cr);
    cairo_set_source_rgba(cr, 0.16, 0.11, 0.07, alpha);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

// Fills a shape with a colour that brightens towards the top left and darkens towards the bottom
// right over its own bounds.
void FillGradient(cairo_t* cr, const Shape& shape, Rgb c, double spread = 0.1)
{
    cairo_new_path(cr);
    shape(cr);
    double x1, y1, x2, y2;
    cairo_path_extents(cr, &x1, &y1, &x2, &y2);
    cairo_pattern_t* p = cairo_pattern_create_linear(x1, y1, x2, y2);
    Stop(p, 0, Scaled(c, 1 + spread));
    Stop(p, 1, Scaled(c, 1 - spread));
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// The workhorse: a solid part with a flat top, its shade on what is below, its height raised.
void Solid(Scene& s, const Shape& shape, Rgb c, int top, int bottom = 0, double bevel = 2.0)
{
    int under = Raise(s, shape, top, bottom);
    CastShade(s, shape, ShadeReach(top, under));
    FillGradient(s.cr, shape, c);
    Bevel(s.cr, shape, bevel, 0.34, 0.38);
    Edge(s.cr, shape);
}

// ---- surface details ------------------------------------------------------------------------------

// Parallel lines across a rectangle, light and dark in pairs: corrugated sheet or ribs.
void Ribs(cairo_t* cr, double x, double y, double w, double h, double pitch, int vertical, double alpha)
{
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    double length = vertical ? w : h;
    for (double t = pitch / 2; t < length; t += pitch) {
        if (vertical) {
            Line(cr, x + t, y, x + t, y + h, Rgb{30, 20, 12}, alpha, 1);
            Line(cr, x + t - 1, y, x + t - 1, y + h, Rgb{255, 250, 235}, alpha * 0.6, 1);
        } else {
            Line(cr, x, y + t, x + w, y + t, Rgb{30, 20, 12}, alpha, 1);
            Line(cr, x, y + t - 1, x + w, y + t - 1, Rgb{255, 250, 235}, alpha * 0.6, 1);
        }
    }
    cairo_restore(cr);
}

// A small glowing lamp: a soft halo around a bright core.
void Lamp(cairo_t* cr, double x, double y, double r, Rgb c)
{
    cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, r * 2.4);
    Stop(p, 0, Rgb{255, 255, 250}, 1);
    Stop(p, 0.25, c, 0.95);
    Stop(p, 1, c, 0);
    FillWith(cr, CircleShape(x, y, r * 2.4), p);
}

// A sunk grille: a dark opening with slats, lit on its lower right inner edge.
void Vent(cairo_t* cr, double x, double y, double w, double h, int vertical)
{
    Shape shape = RectShape(x, y, w, h);
    Fill(cr, shape, Rgb{58, 52, 46});
    Ribs(cr, x + 1, y + 1, w - 2, h - 2, 3, vertical, 0.8);
    Bevel(cr, shape, -1.2, 0.35, 0.4);
    Edge(cr, shape, 0.5);
}

// Diagonal warning stripes filling a shape.
void Hazard(cairo_t* cr, const Shape& shape, double stripe)
{
    cairo_save(cr);
    ClipTo(cr, shape);
    double x1, y1, x2, y2;
    cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
    Source(cr, HazardYellow);
    cairo_paint(cr);
    Source(cr, HazardDark);
    for (double t = x1 - (y2 - y1) - stripe * 2; t < x2 + stripe; t += stripe * 2) {
        cairo_new_path(cr);
        cairo_move_to(cr, t, y2);
        cairo_line_to(cr, t + stripe, y2);
        cairo_line_to(cr, t + stripe + (y2 - y1), y1);
        cairo_line_to(cr, t + (y2 - y1), y1);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

// A skylight: tinted glass with a frame and a reflection of the sky across it.
void Skylight(cairo_t* cr, double x, double y, double w, double h)
{
    Shape shape = RectShape(x, y, w, h);
    cairo_pattern_t* p = cairo_pattern_create_linear(x, y, x + w, y + h);
    Stop(p, 0, Rgb{150, 190, 205});
    Stop(p, 0.45, Glass);
    Stop(p, 1, Scaled(Glass, 0.6));
    FillWith(cr, shape, p);
    cairo_save(cr);
    ClipTo(cr, shape);
    double d = std::min(w, h);
    Line(cr, x + w * 0.15, y + h + 1, x + w * 0.15 + d + 2, y - 1, Rgb{235, 245, 250}, 0.35, std::max(1.0, d * 0.18));
    cairo_restore(cr);
    Bevel(cr, shape, -1, 0.3, 0.3);
    Edge(cr, shape, 0.6);
}

// A painted line on the ground or a roof (markings of pads, tracks and yards).
void Paint(cairo_t* cr, const Shape& shape, Rgb c, double alpha = 0.85) { Fill(cr, shape, c, alpha); }

// ---- solids with a shape of their own ---------------------------------------------------------------

// A round tank or tower seen from above: a lit cap, a bright rim on the sunny side, weld rings.
void Cylinder(Scene& s, double cx, double cy, double r, Rgb c, int top, int bottom = 0)
{
    Shape shape = CircleShape(cx, cy, r);
    int under = Raise(s, shape, top, bottom);
    CastShade(s, shape, ShadeReach(top, under));
    cairo_t* cr = s.cr;
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.35, 0, cx, cy, r);
    Stop(p, 0, Scaled(c, 1.18));
    Stop(p, 0.7, c);
    Stop(p, 1, Scaled(c, 0.72));
    FillWith(cr, shape, p);
    Bevel(cr, shape, std::max(1.0, r * 0.1), 0.35, 0.3);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r * 0.72, 0, 2 * Pi);
    cairo_set_source_rgba(cr, 0.15, 0.1, 0.06, 0.28);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_new_path(cr);
    cairo_arc(cr, cx + 0.8, cy + 0.8, r * 0.72, 0, 2 * Pi);
    cairo_set_source_rgba(cr, 1, 0.97, 0.9, 0.2);
    cairo_stroke(cr);
    Edge(cr, shape, 0.6);
}

// A dome: a half sphere lit from the top left, opaque or of glass with its ribs.
void Dome(Scene& s, double cx, double cy, double r, Rgb c, int top, int base, int glass)
{
    Shape shape = CircleShape(cx, cy, r);
    RaiseField(s, [=](double x, double y) {
        double d = std::hypot(x - cx, y - cy) / r;
        return d < 1 ? base + (top - base) * std::sqrt(1 - d * d) : 0.0;
    });
    CastShade(s, shape, ShadeReach(top, base));
    cairo_t* cr = s.cr;
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - r * 0.4, cy - r * 0.42, r * 0.05, cx, cy, r);
    Stop(p, 0, glass ? Rgb{200, 228, 236} : Scaled(c, 1.2));
    Stop(p, 0.35, glass ? Mixed(c, Rgb{170, 205, 220}, 0.4) : Scaled(c, 1.05));
    Stop(p, 0.85, Scaled(c, 0.78));
    Stop(p, 1, Scaled(c, 0.55));
    FillWith(cr, shape, p);
    if (glass) {
        cairo_save(cr);
        ClipTo(cr, shape);
        for (int i = 0; i < 12; i++) {
            double a = 2 * Pi * i / 12;
            Line(cr, cx, cy, cx + r * std::cos(a), cy + r * std::sin(a), Rgb{215, 222, 225}, 0.55, 1.1);
        }
        for (double f : {0.45, 0.78}) {
            cairo_new_path(cr);
            cairo_arc(cr, cx, cy, r * f, 0, 2 * Pi);
            cairo_set_source_rgba(cr, 0.86, 0.88, 0.9, 0.55);
            cairo_set_line_width(cr, 1.1);
            cairo_stroke(cr);
        }
        cairo_restore(cr);
        Fill(cr, CircleShape(cx, cy, r * 0.16), Scaled(Ceramic, 0.95));
        Edge(cr, CircleShape(cx, cy, r * 0.16), 0.4);
    }
    cairo_pattern_t* shine
        = cairo_pattern_create_radial(cx - r * 0.42, cy - r * 0.45, 0, cx - r * 0.42, cy - r * 0.45, r * 0.32);
    cairo_pattern_add_color_stop_rgba(shine, 0, 1, 1, 1, glass ? 0.8 : 0.55);
    cairo_pattern_add_color_stop_rgba(shine, 1, 1, 1, 1, 0);
    FillWith(cr, shape, shine);
    Edge(cr, shape, 0.6);
}

// A roof with its ridge along x (or along y when `alongY`): the facet turned to the sun is light,
// the other dark, corrugated across, with a ridge cap. Raised from the eaves up to the ridge.
void GableRoof(Scene& s, double x, double y, double w, double h, int alongY, Rgb c, int ridge, int eaves)
{
    Shape shape = RectShape(x, y, w, h);
    double half = alongY ? w / 2 : h / 2;
    RaiseField(s, [=](double px, double py) {
        if (px < x || px >= x + w || py < y || py >= y + h) return 0.0;
        double d = alongY ? std::fabs(px - (x + w / 2)) : std::fabs(py - (y + h / 2));
        return eaves + (ridge - eaves) * (1 - d / half);
    });
    CastShade(s, shape, ShadeReach(ridge, 0) * 0.8);
    cairo_t* cr = s.cr;
    Shape first = alongY ? RectShape(x, y, w / 2, h) : RectShape(x, y, w, h / 2);
    Shape second = alongY ? RectShape(x + w / 2, y, w / 2, h) : RectShape(x, y + h / 2, w, h / 2);
    Rgb lightSide = alongY ? Lit(c, -0.6, 0, 1) : Lit(c, 0, -0.6, 1);
    Rgb darkSide = alongY ? Lit(c, 0.6, 0, 1) : Lit(c, 0, 0.6, 1);
    FillGradient(cr, first, lightSide, 0.05);
    FillGradient(cr, second, darkSide, 0.05);
    Ribs(cr, x, y, w, h, 4, !alongY, 0.22);
    double cap = 3;
    Shape capShape = alongY ? RectShape(x + w / 2 - cap / 2, y, cap, h) : RectShape(x, y + h / 2 - cap / 2, w, cap);
    Fill(cr, capShape, Scaled(c, 1.05));
    Edge(cr, capShape, 0.35);
    Bevel(cr, shape, 1.5, 0.25, 0.35);
    Edge(cr, shape, 0.65);
}

// An arched roof (a hangar) along x: shaded like a lying half cylinder, with ribs across it.
void ArchRoof(Scene& s, double x, double y, double w, double h, Rgb c, int ridge, int eaves)
{
    Shape shape = RectShape(x, y, w, h);
    RaiseField(s, [=](double px, double py) {
        if (px < x || px >= x + w || py < y || py >= y + h) return 0.0;
        double t = (py - (y + h / 2)) / (h / 2);
        return eaves + (ridge - eaves) * std::sqrt(std::max(0.0, 1 - t * t));
    });
    CastShade(s, shape, ShadeReach(ridge, 0) * 0.8);
    cairo_t* cr = s.cr;
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
    for (int i = 0; i <= 16; i++) {
        double t = -0.97 + 1.94 * i / 16, nz = std::sqrt(1 - t * t);
        Stop(p, double(i) / 16, Mixed(Lit(c, -0.15, t, nz), Rgb{250, 250, 245}, 0.35 * Shine(-0.15, t, nz, 14)));
    }
    FillWith(cr, shape, p);
    Ribs(cr, x, y, w, h, 8, 1, 0.3);
    Bevel(cr, shape, 1.2, 0.2, 0.3);
    Edge(cr, shape, 0.65);
}

// A straight pipe along x or y on low racks: shaded round across, with flanges.
void Pipe(Scene& s, double x1, double y1, double x2, double y2, double width, Rgb c, int top)
{
    int alongX = std::fabs(y2 - y1) < std::fabs(x2 - x1);
    double x = std::min(x1, x2) - (alongX ? 0 : width / 2), y = std::min(y1, y2) - (alongX ? width / 2 : 0);
    double w = alongX ? std::fabs(x2 - x1) : width, h = alongX ? width : std::fabs(y2 - y1);
    Shape shape = RectShape(x, y, w, h);
    int under = Raise(s, shape, top);
    CastShade(s, shape, ShadeReach(top, under), 0.45);
    cairo_t* cr = s.cr;
    cairo_pattern_t* p
        = alongX ? cairo_pattern_create_linear(0, y, 0, y + h) : cairo_pattern_create_linear(x, 0, x + w, 0);
    Stop(p, 0, Scaled(c, 1.0));
    Stop(p, 0.3, Scaled(c, 1.3));
    Stop(p, 1, Scaled(c, 0.6));
    FillWith(cr, shape, p);
    for (double t = 8; t < (alongX ? w : h) - 3; t += 14) {
        Shape flange = alongX ? RectShape(x + t, y - 0.5, 2, h + 1) : RectShape(x - 0.5, y + t, w + 1, 2);
        Fill(cr, flange, Scaled(c, 0.75));
    }
    Edge(cr, shape, 0.5);
}

// A roof fan: a round housing with a dark throat and turned blades.
void Fan(Scene& s, double cx, double cy, double r, int top)
{
    Cylinder(s, cx, cy, r, Steel, top);
    cairo_t* cr = s.cr;
    Fill(cr, CircleShape(cx, cy, r * 0.78), Rgb{48, 44, 40});
    Source(cr, Rgb{150, 152, 150});
    for (int i = 0; i < 5; i++) {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_rotate(cr, 2 * Pi * i / 5 + 0.3);
        cairo_new_path(cr);
        cairo_move_to(cr, 0, -r * 0.12);
        cairo_curve_to(cr, r * 0.3, -r * 0.3, r * 0.62, -r * 0.22, r * 0.72, 0);
        cairo_line_to(cr, r * 0.2, r * 0.12);
        cairo_close_path(cr);
        cairo_restore(cr);
        cairo_fill(cr);
    }
    Fill(cr, CircleShape(cx, cy, r * 0.2), Rgb{170, 170, 166});
    Edge(cr, CircleShape(cx, cy, r * 0.2), 0.5);
}

// A box on a roof or in a yard (air conditioners, generators, crates).
void RoofBox(Scene& s, double x, double y, double w, double h, Rgb c, int top)
{
    Solid(s, RectShape(x, y, w, h), c, top, 0, 1.2);
}

// A wooden or steel crate with its cross bracing.
void Crate(Scene& s, double x, double y, double size, Rgb c, int top)
{
    Solid(s, RectShape(x, y, size, size), c, top, 0, 1.2);
    cairo_t* cr = s.cr;
    Line(s.cr, x + 1.5, y + 1.5, x + size - 1.5, y + size - 1.5, Scaled(c, 0.6), 0.7, 1);
    Line(s.cr, x + size - 1.5, y + 1.5, x + 1.5, y + size - 1.5, Scaled(c, 0.6), 0.7, 1);
    Edge(cr, RectShape(x + 1.5, y + 1.5, size - 3, size - 3), 0.35);
}

// Tread marks of tracked vehicles on the ground between two points; only on what is already
// drawn, so marks running off the plate leave no dark specks on the sand.
void TrackMarks(cairo_t* cr, double x1, double y1, double x2, double y2, double gauge)
{
    double length = std::hypot(x2 - x1, y2 - y1), ux = (x2 - x1) / length, uy = (y2 - y1) / length;
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_ATOP);
    for (int side = -1; side <= 1; side += 2) {
        double ox = -uy * gauge / 2 * side, oy = ux * gauge / 2 * side;
        Line(cr, x1 + ox, y1 + oy, x2 + ox, y2 + oy, Rgb{70, 60, 50}, 0.35, 6);
        for (double t = 2; t < length; t += 4)
            Line(cr, x1 + ox + ux * t - uy * 3, y1 + oy + uy * t + ux * 3, x1 + ox + ux * t + uy * 3,
                y1 + oy + uy * t - ux * 3, Rgb{50, 42, 36}, 0.45, 1.2);
    }
    cairo_restore(cr);
}

// Chevrons pointing along +x (or +y), the way vehicles leave a pad.
void Chevrons(cairo_t* cr, double x, double y, double size, int count, double gap, int alongY, Rgb c)
{
    for (int i = 0; i < count; i++) {
        cairo_save(cr);
        cairo_translate(cr, x + (alongY ? 0 : i * gap), y + (alongY ? i * gap : 0));
        if (alongY) cairo_rotate(cr, Pi / 2);
        cairo_new_path(cr);
        cairo_move_to(cr, -size * 0.5, -size);
        cairo_line_to(cr, size * 0.5, 0);
        cairo_line_to(cr, -size * 0.5, size);
        cairo_line_to(cr, -size * 0.5 - size * 0.45, size);
        cairo_line_to(cr, size * 0.5 - size * 0.45, 0);
        cairo_line_to(cr, -size * 0.5 - size * 0.45, -size);
        cairo_close_path(cr);
        cairo_restore(cr);
        Source(cr, c, 0.85);
        cairo_fill(cr);
    }
}

// Rust running down a roof from its seams: thin vertical smears, darker at their top.
void RustStreaks(Scene& s, double x, double y, double w, double h, double strength)
{
    cairo_t* cr = s.cr;
    cairo_save(cr);
    ClipTo(cr, RectShape(x, y, w, h));
    for (int i = 0; i < int(w / 5); i++) {
        double sx = RandomRange(s.random, x, x + w), sy = RandomRange(s.random, y, y + h * 0.8);
        double length = RandomRange(s.random, 6, 30), width = RandomRange(s.random, 1, 3.5);
        cairo_pattern_t* p = cairo_pattern_create_linear(0, sy, 0, sy + length);
        Stop(p, 0, Rust, strength * RandomRange(s.random, 0.6, 1.6));
        Stop(p, 1, Rust, 0);
        cairo_new_path(cr);
        cairo_rectangle(cr, sx, sy, width, length);
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
    cairo_restore(cr);
}

// Rings of light drawn round a point: the marks of pads that glow.
void GlowRings(cairo_t* cr, double cx, double cy, double r, std::vector<double> fractions, Rgb c, double width)
{
    for (double f : fractions) {
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy, r * f, 0, 2 * Pi);
        Source(cr, c, 0.8);
        cairo_set_line_width(cr, width);
        cairo_stroke(cr);
    }
}

// ---- the ground plate and the finish --------------------------------------------------------------

// The foundation under a building: cast slabs with seams, slightly raised, filling the square.
void Foundation(Scene& s, Rgb c, double slab)
{
    Shape shape = RoundShape(2, 2, s.width - 4, s.height - 4, 4);
    Raise(s, shape, 20);
    cairo_t* cr = s.cr;
    FillGradient(cr, shape, c, 0.06);
    cairo_save(cr);
    ClipTo(cr, shape);
    for (double y = 2; y < s.height; y += slab)
        for (double x = 2; x < s.width; x += slab) {
            double tone = RandomRange(s.random, -1, 1);
            Fill(cr, RectShape(x, y, slab, slab), tone < 0 ? Rgb{40, 30, 20} : Rgb{255, 250, 235},
                std::fabs(tone) * 0.06);
        }
    for (double t = 2 + slab; t < std::max(s.width, s.height) - 2; t += slab) {
        Line(cr, t, 0, t, s.height, Rgb{60, 50, 40}, 0.28, 1);
        Line(cr, 0, t, s.width, t, Rgb{60, 50, 40}, 0.28, 1);
        Line(cr, t + 1, 0, t + 1, s.height, Rgb{255, 250, 235}, 0.12, 1);
        Line(cr, 0, t + 1, s.width, t + 1, Rgb{255, 250, 235}, 0.12, 1);
    }
    cairo_restore(cr);
    // a darker curb frames the plate against the sand
    cairo_save(cr);
    ClipTo(cr, shape);
    cairo_new_path(cr);
    RoundedRect(cr, 4, 4, s.width - 8, s.height - 8, 3);
    cairo_set_line_width(cr, 4);
    Source(cr, Scaled(c, 0.78));
    cairo_stroke(cr);
    cairo_restore(cr);
    Bevel(cr, shape, 2, 0.3, 0.4);
    Edge(cr, RoundShape(6, 6, s.width - 12, s.height - 12, 2), 0.3);
    Edge(cr, shape, 0.8);
}

// Dirt, stains and wind-blown sand over the finished building, then a fine grain, so that no
// surface stays flat and clean. Only drawn matter is touched.
void Weather(Scene& s, double dirt, int sandEdges = 1)
{
    cairo_t* cr = s.cr;
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_ATOP);
    int blotches = int(s.width * s.height / 900 * dirt);
    for (int i = 0; i < blotches; i++) {
        double x = RandomRange(s.random, 0, s.width), y = RandomRange(s.random, 0, s.height);
        double r = RandomRange(s.random, 3, s.width / 10.0);
        int sand = RandomInt(s.random, 0, 2) == 0;
        cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, r);
        Stop(p, 0, sand ? SandDust : Rgb{58, 44, 32}, RandomRange(s.random, 0.06, 0.16));
        Stop(p, 1, sand ? SandDust : Rgb{58, 44, 32}, 0);
        cairo_set_source(cr, p);
        cairo_paint(cr);
        cairo_pattern_destroy(p);
    }
    // sand blown against the outer edges of the plate
    double w = s.width, h = s.height, band = 9;
    const double edges[4][4] = {{0, 0, 0, band}, {0, h, 0, h - band}, {0, 0, band, 0}, {w, 0, w - band, 0}};
    for (const auto& e : edges) {
        if (!sandEdges) break;
        cairo_pattern_t* p = cairo_pattern_create_linear(e[0], e[1], e[2], e[3]);
        Stop(p, 0, SandDust, 0.45 * dirt);
        Stop(p, 1, SandDust, 0);
        cairo_set_source(cr, p);
        cairo_paint(cr);
        cairo_pattern_destroy(p);
    }
    // fine grain
    cairo_surface_t* grain = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, s.width, s.height);
    unsigned char* data = cairo_image_surface_get_data(grain);
    int stride = cairo_image_surface_get_stride(grain);
    for (int y = 0; y < s.height; y++)
        for (int x = 0; x < s.width; x++) {
            double v = RandomRange(s.random, -1, 1);
            uint32_t a = uint32_t(std::fabs(v) * 28), c = v > 0 ? a : 0; // premultiplied white or black
            ((uint32_t*)(data + y * stride))[x] = (a << 24) | (c << 16) | (c << 8) | c;
        }
    cairo_surface_mark_dirty(grain);
    cairo_set_source_surface(cr, grain, 0, 0);
    cairo_paint(cr);
    cairo_surface_destroy(grain);
    cairo_restore(cr);
}

// Writes the height map as the shadow maker's height image: red = top, green = bottom, in
// tenths; exact values, so it is written without the keyed-colour treatment of pictures.
void SaveHeights(Scene& s, const std::string& path)
{
    ArtSize size = SizeOf(path);
    if (size.width != s.width || size.height != s.height) {
        std::fprintf(stderr, "artgen: %s is %dx%d, its building %dx%d\n", path.c_str(), size.width, size.height,
            s.width, s.height);
        std::exit(1);
    }
    Image image;
    MakeImage(image, s.width, s.height, 0);
    for (size_t i = 0; i < s.top.size(); i++) {
        if (s.top[i] > 255) {
            std::fprintf(stderr, "artgen: %s: a part stands %d tenths high, more than a height image holds\n",
                path.c_str(), s.top[i]);
            std::exit(1);
        }
        image.pixels[i] = PackColour(s.top[i], s.bottom[i], 0);
    }
    SaveBytes(path, EncodeBmp24(image));
}

// ---- the buildings --------------------------------------------------------------------------------

// A solar panel on masts: a framed field of cells that mirrors the sky, raised 16 to 20 units.
void SolarPanel(Scene& s, double x, double y, double w, double h, int cellsX, int cellsY, Rgb cell, Rgb frame)
{
    Shape shape = RectShape(x, y, w, h);
    Raise(s, shape, 200, 160);
    CastShade(s, shape, 5.5, 0.55);
    cairo_t* cr = s.cr;
    for (Point post : {Point{x + 4, y + h - 4}, Point{x + w - 4, y + h - 4}, Point{x + w - 4, y + 4}})
        Fill(cr, RectShape(post.x + 3, post.y + 3, 3, 3), DarkSteel);
    Fill(cr, shape, frame);
    Bevel(cr, shape, 1, 0.4, 0.4);
    Shape field = RectShape(x + 2, y + 2, w - 4, h - 5);
    cairo_pattern_t* p = cairo_pattern_create_linear(x, y, x + w, y + h);
    Stop(p, 0, Mixed(cell, Rgb{150, 170, 200}, 0.35));
    Stop(p, 0.5, cell);
    Stop(p, 1, Scaled(cell, 0.7));
    FillWith(cr, field, p);
    double cw = (w - 4) / cellsX, ch = (h - 5) / cellsY;
    for (int i = 1; i < cellsX; i++)
        Line(cr, x + 2 + i * cw, y + 2, x + 2 + i * cw, y + h - 3, Mixed(frame, cell, 0.4), 0.8, 0.8);
    for (int j = 1; j < cellsY; j++)
        Line(cr, x + 2, y + 2 + j * ch, x + w - 2, y + 2 + j * ch, Mixed(frame, cell, 0.4), 0.8, 0.8);
    cairo_save(cr);
    ClipTo(cr, field);
    Line(cr, x - 4, y + h * 0.75, x + w * 0.75, y - 4, Rgb{235, 240, 255}, 0.16, w * 0.16);
    Line(cr, x + w * 0.1, y + h + 2, x + w + 2, y + h * 0.1, Rgb{235, 240, 255}, 0.08, w * 0.06);
    cairo_restore(cr);
    Fill(cr, RectShape(x + 1, y + h - 3, w - 2, 2), Scaled(frame, 0.55));
    Edge(cr, shape, 0.7);
}

// "Solarzelle": four panels on posts around a cable cross and its junction box.
void DrawSolarzelle(Scene& s)
{
    Foundation(s, Concrete, 32);
    cairo_t* cr = s.cr;
    for (Shape trench : {RectShape(6, 60, 116, 8), RectShape(60, 6, 8, 116)}) {
        Fill(cr, trench, Rgb{92, 84, 72});
        Bevel(cr, trench, -1.5, 0.3, 0.4);
    }
    Line(cr, 8, 63, 120, 63, Rgb{40, 40, 40}, 0.8, 1.2);
    Line(cr, 8, 65.5, 120, 65.5, Rgb{150, 60, 40}, 0.7, 1.2);
    Line(cr, 63, 8, 63, 120, Rgb{40, 40, 40}, 0.8, 1.2);
    Line(cr, 65.5, 8, 65.5, 120, Rgb{150, 60, 40}, 0.7, 1.2);
    const Rgb cell{34, 50, 92}, frame{188, 190, 192};
    for (Point p : {Point{7, 7}, Point{71, 7}, Point{7, 71}, Point{71, 71}})
        SolarPanel(s, p.x, p.y, 50, 50, 4, 5, cell, frame);
    RoofBox(s, 55, 55, 18, 18, BlueSteel, 60);
    Vent(cr, 58, 58, 12, 5, 1);
    Lamp(cr, 68, 68, 1.4, GreenLamp);
    Weather(s, 0.7);
}

// "Verb_Solarzelle": eight finer panels with gold frames round a converter tower.
void DrawVerbSolarzelle(Scene& s)
{
    Foundation(s, PaleConcrete, 32);
    cairo_t* cr = s.cr;
    for (Shape trench : {RectShape(6, 61, 116, 6), RectShape(61, 6, 6, 116)}) {
        Fill(cr, trench, Rgb{96, 88, 78});
        Bevel(cr, trench, -1.5, 0.3, 0.4);
    }
    const Rgb cell{44, 34, 84}, frame{206, 160, 74};
    for (int j = 0; j < 3; j++)
        for (int i = 0; i < 3; i++)
            if (i != 1 || j != 1) SolarPanel(s, 5 + i * 40, 5 + j * 40, 38, 38, 5, 5, cell, frame);
    Solid(s, RegularShape(64, 64, 20, 8, Pi / 8), Steel, 70);
    Cylinder(s, 64, 64, 12, BlueSteel, 200);
    Fill(cr, CircleShape(64, 64, 7), Rgb{40, 60, 70});
    Lamp(cr, 64, 64, 4, CyanLamp);
    for (int i = 0; i < 8; i++) {
        double a = 2 * Pi * i / 8 + Pi / 8;
        Lamp(cr, 64 + 17 * std::cos(a), 64 + 17 * std::sin(a), 1.1, CyanLamp);
    }
    Weather(s, 0.6);
}

// A heap of spice in a pit: a mound lit from the top left, covered in small lumps and grains.
void SpiceHeap(Scene& s, const Shape& pit, double cx, double cy, double rx, double ry)
{
    cairo_t* cr = s.cr;
    cairo_save(cr);
    ClipTo(cr, pit);
    Shape mound = EllipseShape(cx, cy, rx, ry, 0);
    cairo_pattern_t* g = cairo_pattern_create_radial(cx - rx * 0.3, cy - ry * 0.35, 0, cx, cy, rx);
    Stop(g, 0, Rgb{240, 164, 76});
    Stop(g, 0.6, SpiceOrange);
    Stop(g, 1, Scaled(SpiceOrange, 0.55));
    FillWith(cr, mound, g);
    for (int i = 0; i < 150; i++) {
        double a = RandomRange(s.random, 0, 2 * Pi), d = std::sqrt(RandomUnit(s.random)) * 0.95;
        double x = cx + std::cos(a) * rx * d, y = cy + std::sin(a) * ry * d, r = RandomRange(s.random, 1.2, 3.0);
        double light = 1.25 - 0.55 * (d * (std::cos(a) + std::sin(a)) * 0.7 + 0.5);
        Fill(cr, CircleShape(x + 0.6, y + 0.6, r), Scaled(SpiceOrange, 0.5 * light), 0.5);
        Fill(cr, CircleShape(x, y, r), Scaled(SpiceOrange, light), 0.9);
    }
    cairo_restore(cr);
}

// The pit where the harvesters tip their spice, in its warning frame, with the belt that feeds
// the furnace.
void SpicePit(Scene& s, double x, double y, double w, double h)
{
    cairo_t* cr = s.cr;
    Shape frame = RectShape(x, y, w, h), pit = RectShape(x + 7, y + 7, w - 14, h - 14);
    Hazard(cr, frame, 6);
    Edge(cr, frame, 0.6);
    Fill(cr, pit, Rgb{70, 58, 46});
    SpiceHeap(s, pit, x + w / 2 - 1, y + h / 2 + 2, w / 2 - 11, h / 2 - 10);
    Bevel(cr, pit, -3, 0.3, 0.55);
    Solid(s, RectShape(x + 34, y - 10, 14, 40), DarkSteel, 60, 30, 1);
    Ribs(cr, x + 35, y - 9, 12, 38, 4, 0, 0.6);
}

// A furnace grate in a roof: a sunk opening with glowing bars.
void FurnaceGrate(cairo_t* cr, double x, double y, double w, double h)
{
    Shape grate = RectShape(x, y, w, h);
    Fill(cr, grate, Rgb{60, 30, 20});
    cairo_save(cr);
    ClipTo(cr, grate);
    for (double t = x + 3; t < x + w; t += 5) Line(cr, t, y, t, y + h, Ember, 0.9, 2);
    cairo_restore(cr);
    Lamp(cr, x + w / 2, y + h / 2, 6, Ember);
    Bevel(cr, grate, -1.5, 0.3, 0.5);
    Edge(cr, grate, 0.6);
}

// A round storage tank with a rust stain, a hatch and a ladder to it.
void StorageTank(Scene& s, double cx, double cy, double r, int top)
{
    cairo_t* cr = s.cr;
    const Rgb tank{170, 156, 128};
    Cylinder(s, cx, cy, r, tank, top);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r - 4, 0.3, 2.2);
    Source(cr, Rust, 0.5);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    Shape hatch = CircleShape(cx - 6, cy - 6, 4.5);
    Fill(cr, hatch, Scaled(tank, 0.8));
    Bevel(cr, hatch, 1, 0.4, 0.4);
    Edge(cr, hatch, 0.5);
    Line(cr, cx, cy - r, cx, cy - r + 9, DarkSteel, 0.7, 2);
}

// A tall chimney seen from its top: a concrete ring round a sooty flue with the fire below.
void Chimney(Scene& s, double cx, double cy, double r, int top)
{
    cairo_t* cr = s.cr;
    Cylinder(s, cx, cy, r, Rgb{176, 168, 152}, top);
    Fill(cr, CircleShape(cx, cy, r * 0.68), Rgb{36, 28, 24});
    cairo_pattern_t* glow = cairo_pattern_create_radial(cx + 1, cy + 1, 0, cx, cy, r * 0.68);
    Stop(glow, 0, Rgb{255, 200, 110}, 1);
    Stop(glow, 0.35, Ember, 0.9);
    Stop(glow, 1, Rgb{80, 30, 20}, 0.2);
    FillWith(cr, CircleShape(cx, cy, r * 0.68), glow);
}

// "Verbrennungsanlage": a furnace hall with glowing grates, a tall chimney, tanks, and the pit
// where the harvesters tip their spice.
void DrawVerbrennungsanlage(Scene& s)
{
    Foundation(s, DarkConcrete, 32);
    cairo_t* cr = s.cr;
    SpicePit(s, 10, 110, 102, 72);
    Solid(s, RectShape(10, 10, 108, 88), Rust, 200);
    Ribs(cr, 12, 12, 104, 84, 5, 1, 0.22);
    FurnaceGrate(cr, 20, 26, 36, 22);
    FurnaceGrate(cr, 64, 26, 36, 22);
    Vent(cr, 20, 62, 80, 8, 1);
    RoofBox(s, 22, 78, 20, 12, Steel, 216);
    RoofBox(s, 82, 76, 24, 14, Steel, 216);
    Pipe(s, 118, 56, 136, 56, 7, Steel, 70);
    Pipe(s, 128, 94, 128, 176, 7, Steel, 60);
    Pipe(s, 112, 140, 150, 140, 6, Steel, 56);
    StorageTank(s, 156, 112, 21, 230);
    StorageTank(s, 156, 160, 21, 230);
    Solid(s, RectShape(130, 16, 50, 50), Concrete, 180);
    Chimney(s, 155, 41, 22, 255);
    Lamp(cr, 137, 23, 1.5, RedLamp);
    Weather(s, 1.2);
}

// A radar dish seen from above: a tilted bowl facing `facing`, lit inside on its far side,
// with its feed horn held on struts in front of it.
void RadarDish(Scene& s, double cx, double cy, double r, double facing, int top, int bottom)
{
    cairo_t* cr = s.cr;
    const double squash = 0.62;
    double fx = std::cos(facing), fy = std::sin(facing);
    Shape bowl = EllipseShape(cx, cy, squash * r, r, facing);
    int under = Raise(s, bowl, top, bottom);
    CastShade(s, bowl, ShadeReach(top, under), 0.55);
    Fill(cr, EllipseShape(cx - fx * r * 0.07, cy - fy * r * 0.07, squash * r, r, facing), Scaled(Steel, 0.7));
    cairo_pattern_t* p = cairo_pattern_create_radial(cx + r * 0.3, cy + r * 0.3, 0, cx, cy, r * 1.05);
    Stop(p, 0, Rgb{232, 232, 226});
    Stop(p, 0.6, Rgb{190, 192, 190});
    Stop(p, 1, Rgb{120, 124, 126});
    FillWith(cr, bowl, p);
    for (double f : {0.35, 0.7}) {
        cairo_new_path(cr);
        EllipseShape(cx, cy, squash * r * f, r * f, facing)(cr);
        cairo_set_source_rgba(cr, 0.3, 0.3, 0.3, 0.35);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    Bevel(cr, bowl, -1.5, 0.4, 0.35);
    Edge(cr, bowl, 0.7, 1.2);
    // the rim keeps the sun off the top-left inside of the bowl
    cairo_save(cr);
    ClipTo(cr, bowl);
    cairo_new_path(cr);
    bowl(cr);
    cairo_translate(cr, r * 0.16, r * 0.2);
    bowl(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_set_source_rgba(cr, 0.2, 0.18, 0.16, 0.3);
    cairo_fill(cr);
    cairo_restore(cr);
    double hx = cx + fx * r * 0.42, hy = cy + fy * r * 0.42;
    for (double a : {Pi / 2, 7 * Pi / 6, 11 * Pi / 6}) {
        double px = std::cos(a) * squash * r * 0.92, py = std::sin(a) * r * 0.92;
        double rx = cx + px * std::cos(facing) - py * std::sin(facing),
               ry = cy + px * std::sin(facing) + py * std::cos(facing);
        Line(cr, rx, ry, hx, hy, DarkSteel, 0.9, 1.5);
    }
    Fill(cr, CircleShape(hx, hy, r * 0.11), DarkSteel);
    Fill(cr, CircleShape(hx - 0.8, hy - 0.8, r * 0.06), Steel);
}

// A lattice mast seen from above: four legs leaning in to the top, braced ring by ring, with a
// light on its tip. Thin as it is, its long shadow is what shows its height.
void LatticeMast(Scene& s, double cx, double cy, double half, int top)
{
    RaiseField(s, [=](double x, double y) {
        double d = std::max(std::fabs(x - cx), std::fabs(y - cy));
        return d < half ? 60 + (top - 60) * (1 - d / half) : 0.0;
    });
    cairo_t* cr = s.cr;
    const double rings[3] = {1.0, 0.62, 0.3};
    for (int i = 0; i < 3; i++) {
        double h = half * rings[i];
        cairo_new_path(cr);
        cairo_rectangle(cr, cx - h, cy - h, 2 * h, 2 * h);
        Source(cr, Scaled(Steel, 0.75 + 0.2 * i));
        cairo_set_line_width(cr, 1.1);
        cairo_stroke(cr);
        if (i == 2) break;
        double g = half * rings[i + 1];
        for (int side = 0; side < 4; side++) {
            double sx = side < 2 ? 1 : -1, flip = side % 2 ? 1 : -1;
            Line(cr, cx + sx * h, cy + flip * h, cx + sx * g, cy - flip * g, DarkSteel, 0.6, 0.8);
            Line(cr, cx + flip * h, cy + sx * h, cx - flip * g, cy + sx * g, DarkSteel, 0.6, 0.8);
        }
    }
    for (int sx = -1; sx <= 1; sx += 2)
        for (int sy = -1; sy <= 1; sy += 2)
            Line(cr, cx + sx * half, cy + sy * half, cx + sx * 1.5, cy + sy * 1.5, Rgb{200, 204, 206}, 1, 1.4);
    Lamp(cr, cx, cy, 2, RedLamp);
}

// "Forschungslabor": a white laboratory wing with a mast and a dish on its roof, a great glass
// dome and an observatory.
void DrawForschungslabor(Scene& s)
{
    Foundation(s, PaleConcrete, 24);
    cairo_t* cr = s.cr;
    // the observatory
    Cylinder(s, 150, 150, 32, Ceramic, 200);
    Dome(s, 150, 150, 27, Ceramic, 250, 200, 0);
    cairo_save(cr);
    cairo_translate(cr, 150, 150);
    cairo_rotate(cr, -0.75);
    Fill(cr, RectShape(-4, -27, 8, 27), Rgb{50, 56, 64});
    Fill(cr, RectShape(-2, -25, 4, 8), Rgb{90, 130, 150});
    cairo_restore(cr);
    // the wing
    Shape wing = PolygonShape({{8, 8}, {90, 8}, {90, 110}, {114, 110}, {114, 184}, {8, 184}});
    Solid(s, wing, Ceramic, 180);
    Fill(cr, PolygonShape({{12, 12}, {86, 12}, {86, 16}, {12, 16}}), Rgb{92, 170, 150});
    for (double x : {18.0, 40.0, 62.0}) Skylight(cr, x, 24, 12, 74);
    Skylight(cr, 18, 118, 90, 10);
    RoofBox(s, 64, 140, 18, 14, Steel, 196);
    Vent(cr, 66, 142, 14, 10, 1);
    RoofBox(s, 86, 140, 18, 14, Steel, 196);
    Vent(cr, 88, 142, 14, 10, 1);
    for (double y = 22; y < 104; y += 12) Lamp(cr, 84, y, 1, CyanLamp);
    LatticeMast(s, 32, 158, 13, 255);
    Cylinder(s, 66, 170, 5, DarkSteel, 210);
    RadarDish(s, 66, 170, 15, Pi * 1.25, 240, 200);
    // the connector and the great glass dome
    Solid(s, RectShape(86, 46, 16, 22), Ceramic, 140);
    Cylinder(s, 138, 56, 44, Ceramic, 200);
    Dome(s, 138, 56, 39, Glass, 255, 200, 1);
    Weather(s, 0.6);
}

// "Radarzentrale" (and its second picture, the dish turned): a control house, a generator and
// the big dish on its pedestal.
void DrawRadar(Scene& s, double facing)
{
    Foundation(s, Concrete, 32);
    cairo_t* cr = s.cr;
    Shape house = PolygonShape({{8, 8}, {34, 8}, {34, 74}, {66, 74}, {66, 120}, {8, 120}});
    Solid(s, house, BlueSteel, 200);
    Skylight(cr, 14, 14, 8, 54);
    Skylight(cr, 14, 80, 46, 7);
    Vent(cr, 40, 94, 18, 16, 0);
    RoofBox(s, 14, 94, 20, 16, Steel, 216);
    Vent(cr, 16, 96, 16, 12, 1);
    Lamp(cr, 28, 12, 1.2, GreenLamp);
    Lamp(cr, 60, 78, 1.2, RedLamp);
    Solid(s, RectShape(74, 96, 46, 24), Olive, 200);
    Fan(s, 86, 108, 8, 212);
    Vent(cr, 100, 101, 14, 14, 1);
    Solid(s, RegularShape(78, 48, 28, 8, Pi / 8), Concrete, 40);
    Cylinder(s, 78, 48, 14, DarkSteel, 150);
    RadarDish(s, 78, 48, 37, facing, 255, 150);
    Weather(s, 0.7);
}

// A heart drawn from two arcs and a point, the sign of the regeneration plant.
Shape HeartShape(double cx, double cy, double size)
{
    return [=](cairo_t* cr) {
        cairo_new_sub_path(cr);
        cairo_move_to(cr, cx, cy + size * 0.9);
        cairo_curve_to(cr, cx - size * 1.25, cy + size * 0.05, cx - size * 0.9, cy - size * 0.95, cx, cy - size * 0.4);
        cairo_curve_to(cr, cx + size * 0.9, cy - size * 0.95, cx + size * 1.25, cy + size * 0.05, cx, cy + size * 0.9);
        cairo_close_path(cr);
    };
}

// A regeneration tank: a steel ring round a glass top over the glowing green fluid.
void RegenerationTank(Scene& s, double cx, double cy, double r, int top)
{
    cairo_t* cr = s.cr;
    Cylinder(s, cx, cy, r, Steel, top);
    Shape liquid = CircleShape(cx, cy, r * 0.68);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - 2, cy - 2, 0, cx, cy, r * 0.68);
    Stop(p, 0, Rgb{210, 255, 200});
    Stop(p, 0.5, Rgb{90, 210, 120});
    Stop(p, 1, Rgb{30, 100, 70});
    FillWith(cr, liquid, p);
    Bevel(cr, liquid, -1, 0.4, 0.5);
    Fill(cr, CircleShape(cx - r * 0.25, cy - r * 0.25, r * 0.16), Rgb{240, 255, 240}, 0.8);
}

// "Arzt": a white clinic with the heart on its roof, regeneration tanks and the healing pad.
void DrawArzt(Scene& s)
{
    Foundation(s, PaleConcrete, 32);
    cairo_t* cr = s.cr;
    Shape pad = CircleShape(44, 102, 19);
    Fill(cr, pad, Rgb{120, 130, 126});
    Bevel(cr, pad, 1.5, 0.3, 0.4);
    GlowRings(cr, 44, 102, 19, {0.85, 0.55}, GreenLamp, 1.6);
    Lamp(cr, 44, 102, 4, GreenLamp);
    Edge(cr, pad, 0.6);
    Solid(s, RoundShape(8, 8, 84, 70, 8), Ceramic, 200);
    Fill(cr, RoundShape(11, 11, 78, 4, 2), Rgb{92, 170, 150});
    Shape disc = CircleShape(50, 44, 22);
    Fill(cr, disc, Rgb{236, 234, 228});
    Bevel(cr, disc, -1.2, 0.4, 0.25);
    Edge(cr, disc, 0.4);
    cairo_pattern_t* heart = cairo_pattern_create_radial(44, 38, 1, 50, 44, 18);
    Stop(heart, 0, Rgb{240, 96, 84});
    Stop(heart, 1, Rgb{160, 30, 32});
    FillWith(cr, HeartShape(50, 44, 15), heart);
    RoofBox(s, 14, 56, 16, 14, Steel, 216);
    Vent(cr, 16, 58, 12, 10, 0);
    Lamp(cr, 84, 70, 1.2, GreenLamp);
    Pipe(s, 92, 26, 104, 26, 5, Steel, 50);
    Pipe(s, 92, 64, 104, 64, 5, Steel, 50);
    Pipe(s, 63, 102, 106, 102, 5, Steel, 50);
    for (double ty : {26.0, 64.0, 102.0}) RegenerationTank(s, 108, ty, 14, 220);
    Weather(s, 0.5);
}

// Sandbags in a row from (x1, y1) to (x2, y2): small rounded bags, raised a little.
void Sandbags(Scene& s, double x1, double y1, double x2, double y2)
{
    double length = std::hypot(x2 - x1, y2 - y1);
    int count = std::max(1, int(length / 7));
    for (int i = 0; i < count; i++) {
        double t = (i + 0.5) / count, x = x1 + (x2 - x1) * t, y = y1 + (y2 - y1) * t;
        int alongX = std::fabs(x2 - x1) > std::fabs(y2 - y1);
        Shape bag = alongX ? RoundShape(x - 3.6, y - 3, 7.2, 6, 2.5) : RoundShape(x - 3, y - 3.6, 6, 7.2, 2.5);
        Solid(s, bag, Rgb{184, 164, 118}, 24, 0, 1);
    }
}

// A square tent or hipped roof: four facets meeting in a point, each shaded by the way it faces.
void Tent(Scene& s, double x, double y, double size, Rgb c, int top, int eaves)
{
    double cx = x + size / 2, cy = y + size / 2, half = size / 2;
    Shape shape = RectShape(x, y, size, size);
    RaiseField(s, [=](double px, double py) {
        double d = std::max(std::fabs(px - cx), std::fabs(py - cy));
        return d < half ? eaves + (top - eaves) * (1 - d / half) : 0.0;
    });
    CastShade(s, shape, ShadeReach(top, 0) * 0.8);
    cairo_t* cr = s.cr;
    const Point corners[4] = {{x, y}, {x + size, y}, {x + size, y + size}, {x, y + size}};
    const double normals[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    for (int i = 0; i < 4; i++) {
        Shape facet = PolygonShape({{cx, cy}, corners[i], corners[(i + 1) % 4]});
        Fill(cr, facet, Lit(c, normals[i][0] * 0.8, normals[i][1] * 0.8, 1));
        Line(cr, cx, cy, corners[i].x, corners[i].y, Scaled(c, 0.6), 0.6, 1);
    }
    Edge(cr, shape, 0.6);
}

// "Kaserne": two barrack huts with pitched roofs, tents and a drill yard with a flagpole behind
// sandbags, and supplies stacked by the door.
void DrawKaserne(Scene& s)
{
    Foundation(s, Earth, 128);
    cairo_t* cr = s.cr;
    for (int i = 0; i < 40; i++) {
        double x = RandomRange(s.random, 10, 118), y = RandomRange(s.random, 10, 118);
        Fill(cr, CircleShape(x, y, RandomRange(s.random, 0.6, 1.6)), Rgb{120, 100, 76}, 0.5);
    }
    // the drill yard: a trodden square with its lines
    Shape yard = RectShape(58, 54, 58, 58);
    Fill(cr, yard, Rgb{186, 164, 124});
    Bevel(cr, yard, -1, 0.2, 0.2);
    for (double t : {62.0, 108.0}) {
        Paint(cr, RectShape(62, t, 50, 1.5), Rgb{240, 232, 210}, 0.55);
        Paint(cr, RectShape(t, 62, 1.5, 48), Rgb{240, 232, 210}, 0.55);
    }
    GableRoof(s, 8, 8, 112, 34, 0, Olive, 220, 160);
    GableRoof(s, 8, 50, 40, 70, 1, Olive, 220, 160);
    Fill(cr, RectShape(60, 42, 12, 3), Rgb{60, 50, 40});
    Fill(cr, RectShape(48, 92, 3, 12), Rgb{60, 50, 40});
    Tent(s, 66, 66, 20, Rgb{170, 156, 112}, 80, 36);
    Tent(s, 90, 84, 20, Rgb{170, 156, 112}, 80, 36);
    Solid(s, CircleShape(100, 68, 4), Concrete, 24, 0, 1);
    Raise(s, CircleShape(100, 68, 1.5), 255);
    Fill(cr, CircleShape(100, 68, 1.8), Rgb{210, 210, 205});
    Lamp(cr, 100, 68, 1, WhiteLamp);
    Sandbags(s, 56, 118, 120, 118);
    Sandbags(s, 121, 114, 121, 50);
    Crate(s, 54, 48, 10, Rgb{150, 118, 74}, 32);
    Crate(s, 54, 60, 9, Rgb{150, 118, 74}, 28);
    Crate(s, 64, 92, 11, Olive, 32);
    Weather(s, 0.9);
}

// "kleine-Fabrik": a hall with skylights under a pitched roof, an office, and a yard under a
// gantry crane where the builders and harvesters are put together.
void DrawKleineFabrik(Scene& s)
{
    Foundation(s, Concrete, 32);
    cairo_t* cr = s.cr;
    // the assembly yard
    Shape bay = RectShape(66, 104, 110, 76);
    Hazard(cr, bay, 5);
    Fill(cr, RectShape(71, 109, 100, 66), Rgb{150, 140, 124});
    Paint(cr, RectShape(96, 120, 50, 2), HazardYellow, 0.8);
    Paint(cr, RectShape(96, 162, 50, 2), HazardYellow, 0.8);
    Paint(cr, RectShape(96, 120, 2, 44), HazardYellow, 0.8);
    Paint(cr, RectShape(144, 120, 2, 44), HazardYellow, 0.8);
    Line(cr, 70, 100, 70, 184, DarkSteel, 0.9, 2);
    Line(cr, 172, 100, 172, 184, DarkSteel, 0.9, 2);
    // the hall
    GableRoof(s, 10, 10, 172, 84, 0, Ochre, 240, 180);
    for (double x = 24; x < 170; x += 38) Skylight(cr, x, 22, 24, 14);
    Fan(s, 40, 72, 8, 210);
    Fan(s, 150, 72, 8, 210);
    Solid(s, RectShape(82, 94, 66, 8), DarkSteel, 120, 0, 1);
    Hazard(cr, RectShape(83, 99, 64, 3), 3);
    // the office
    Solid(s, RectShape(10, 104, 46, 52), BlueSteel, 160);
    Skylight(cr, 16, 112, 34, 8);
    RoofBox(s, 18, 128, 14, 14, Steel, 176);
    Vent(cr, 20, 130, 10, 10, 0);
    Crate(s, 14, 164, 12, Rgb{150, 118, 74}, 28);
    Crate(s, 30, 166, 10, Rgb{150, 118, 74}, 24);
    // the gantry crane across the yard
    Solid(s, RectShape(64, 132, 14, 12), Rgb{214, 136, 48}, 156);
    Solid(s, RectShape(164, 132, 14, 12), Rgb{214, 136, 48}, 156);
    Solid(s, RectShape(64, 134, 114, 8), Rgb{214, 136, 48}, 160, 128, 1.5);
    Ribs(cr, 78, 135, 86, 6, 6, 1, 0.4);
    Solid(s, RectShape(112, 130, 16, 16), DarkSteel, 172, 128, 1.2);
    Fill(cr, CircleShape(120, 138, 2), HazardYellow);
    Weather(s, 0.8);
}

// The straight test track the speeders leave by: asphalt, a centre line, chevrons, edge lights
// and the start gantry with its signal lights across it.
void TestTrack(Scene& s, double y, double h)
{
    cairo_t* cr = s.cr;
    Shape track = RectShape(8, y, 178, h);
    Fill(cr, track, Asphalt);
    Bevel(cr, track, -1.5, 0.2, 0.3);
    for (double x = 14; x < 184; x += 16) Fill(cr, RectShape(x, y + h / 2 - 1, 9, 2), Rgb{230, 224, 206}, 0.8);
    Chevrons(cr, 120, y + 16, 7, 4, 16, 0, HazardYellow);
    Chevrons(cr, 120, y + h - 16, 7, 4, 16, 0, HazardYellow);
    for (double x = 14; x < 186; x += 14) {
        Lamp(cr, x, y + 2.5, 1, WhiteLamp);
        Lamp(cr, x, y + h - 2.5, 1, WhiteLamp);
    }
    Solid(s, RectShape(40, y - 4, 8, h + 8), Steel, 140, 112, 1.2);
    Solid(s, RectShape(38, y - 8, 12, 8), DarkSteel, 144);
    Solid(s, RectShape(38, y + h, 12, 8), DarkSteel, 144);
    for (double t : {8.0, 18.0, h - 18, h - 8}) Lamp(cr, 44, y + t, 1.3, t < h / 2 ? RedLamp : GreenLamp);
}

// "Speeder-Fabrik": a streamlined hall with a glazed ridge and the test track below it.
void DrawSpeederFabrik(Scene& s)
{
    Foundation(s, Concrete, 32);
    cairo_t* cr = s.cr;
    TestTrack(s, 112, 62);
    Shape hall = PolygonShape({{10, 10}, {156, 10}, {182, 30}, {182, 78}, {156, 98}, {10, 98}});
    Solid(s, hall, BlueSteel, 200);
    for (double x = 48; x < 156; x += 36) {
        Line(cr, x, 12, x, 96, Rgb{50, 56, 62}, 0.45, 1);
        Line(cr, x + 1, 12, x + 1, 96, Rgb{230, 236, 240}, 0.2, 1);
    }
    Solid(s, RectShape(14, 44, 160, 18), Scaled(BlueSteel, 0.9), 220, 0, 1.5);
    Skylight(cr, 18, 48, 152, 10);
    Ribs(cr, 14, 14, 140, 28, 6, 1, 0.18);
    Ribs(cr, 14, 64, 140, 30, 6, 1, 0.18);
    RustStreaks(s, 14, 14, 140, 80, 0.1);
    for (double x = 66; x < 150; x += 24) {
        Fan(s, x, 28, 6, 214);
        Fan(s, x, 80, 6, 214);
    }
    Fill(cr, PolygonShape({{156, 14}, {176, 30}, {176, 36}, {156, 20}}), Rgb{220, 150, 60});
    Fill(cr, PolygonShape({{156, 94}, {176, 78}, {176, 72}, {156, 88}}), Rgb{220, 150, 60});
    RoofBox(s, 20, 18, 24, 20, Steel, 230);
    Vent(cr, 23, 21, 18, 14, 1);
    RoofBox(s, 20, 68, 24, 20, Steel, 230);
    Vent(cr, 23, 71, 18, 14, 1);
    Solid(s, RectShape(132, 98, 40, 10), DarkSteel, 100, 0, 1);
    Hazard(cr, RectShape(133, 104, 38, 3), 3);
    Weather(s, 0.7);
}

// A saw-tooth factory roof: slopes and steep glass strips in turn, raised tooth by tooth.
void SawtoothRoof(Scene& s, double x, double y, double w, double h, int teeth, Rgb c, int ridge, int eaves)
{
    Shape shape = RectShape(x, y, w, h);
    double pitch = h / teeth;
    RaiseField(s, [=](double px, double py) {
        if (px < x || px >= x + w || py < y || py >= y + h) return 0.0;
        double t = std::fmod(py - y, pitch) / pitch;
        return eaves + (ridge - eaves) * (t < 0.25 ? t / 0.25 : 1 - (t - 0.25) / 0.75);
    });
    CastShade(s, shape, ShadeReach(ridge, 0) * 0.8);
    cairo_t* cr = s.cr;
    for (int i = 0; i < teeth; i++) {
        double ty = y + i * pitch;
        Shape glass = RectShape(x, ty, w, pitch * 0.25), slope = RectShape(x, ty + pitch * 0.25, w, pitch * 0.75);
        cairo_pattern_t* p = cairo_pattern_create_linear(0, ty, 0, ty + pitch * 0.25);
        Stop(p, 0, Rgb{170, 205, 215});
        Stop(p, 1, Glass);
        FillWith(cr, glass, p);
        cairo_pattern_t* q = cairo_pattern_create_linear(0, ty + pitch * 0.25, 0, ty + pitch);
        Stop(q, 0, Lit(c, 0, 0.25, 1));
        Stop(q, 1, Lit(c, 0, 0.5, 1));
        FillWith(cr, slope, q);
        Line(cr, x, ty + pitch - 0.5, x + w, ty + pitch - 0.5, Rgb{30, 20, 12}, 0.45, 1);
        Ribs(cr, x, ty + pitch * 0.25, w, pitch * 0.75, 8, 1, 0.15);
    }
    Bevel(cr, shape, 1.5, 0.25, 0.35);
    Edge(cr, shape, 0.65);
}

// The turntable where quads are turned and tested: a sunk ring, a raised steel table with the
// parking marks of one vehicle.
void Turntable(Scene& s, double tx, double ty, double r)
{
    cairo_t* cr = s.cr;
    Shape ring = CircleShape(tx, ty, r), table = CircleShape(tx, ty, r - 6);
    Fill(cr, ring, Rgb{96, 92, 88});
    Bevel(cr, ring, -2, 0.3, 0.4);
    Raise(s, table, 28);
    CastShade(s, table, 1.5);
    cairo_pattern_t* p = cairo_pattern_create_radial(tx - 8, ty - 8, 2, tx, ty, r - 6);
    Stop(p, 0, Rgb{170, 172, 170});
    Stop(p, 1, Rgb{118, 120, 120});
    FillWith(cr, table, p);
    for (int i = 0; i < 16; i++) {
        double a = 2 * Pi * i / 16;
        Line(cr, tx + 12 * std::cos(a), ty + 12 * std::sin(a), tx + (r - 7) * std::cos(a), ty + (r - 7) * std::sin(a),
            DarkSteel, 0.35, 1);
    }
    Shape bay = RoundShape(tx - 18, ty - 12, 36, 24, 4);
    Paint(cr, bay, HazardYellow, 0.25);
    Edge(cr, bay, 0.5, 1.5);
    for (Point w : {Point{-15, -13}, Point{9, -13}, Point{-15, 9}, Point{9, 9}})
        Fill(cr, RectShape(tx + w.x, ty + w.y, 6, 4), HazardDark, 0.8);
    Bevel(cr, table, 1.5, 0.35, 0.35);
    Edge(cr, table, 0.6);
    Fill(cr, CircleShape(tx, ty, 4), DarkSteel);
}

// "Quad-Fabrik": a saw-tooth hall, a parts store with fans and the turntable where quads are
// tested, with drums and crates in the corner.
void DrawQuadFabrik(Scene& s)
{
    Foundation(s, Concrete, 32);
    cairo_t* cr = s.cr;
    Turntable(s, 146, 146, 38);
    Chevrons(cr, 86, 152, 6, 2, 12, 0, HazardYellow);
    // the saw-tooth hall and its gate
    SawtoothRoof(s, 10, 10, 104, 108, 6, Rust, 230, 170);
    Solid(s, RectShape(58, 118, 48, 8), DarkSteel, 120, 0, 1);
    Hazard(cr, RectShape(59, 122, 46, 3), 3);
    // the parts store
    Solid(s, RectShape(126, 10, 56, 62), Ochre, 220);
    Ribs(cr, 128, 12, 52, 58, 5, 0, 0.2);
    RustStreaks(s, 128, 12, 52, 58, 0.15);
    Fan(s, 154, 28, 9, 232);
    Fan(s, 154, 54, 9, 232);
    Lamp(cr, 130, 68, 1.2, Ember);
    // drums and crates
    for (Point d : {Point{18, 138}, Point{30, 138}, Point{18, 150}, Point{30, 150}, Point{42, 144}})
        Cylinder(s, d.x, d.y, 5.2, d.x > 40 ? Rgb{150, 60, 44} : Rgb{96, 110, 80}, 24);
    Crate(s, 14, 162, 16, Rgb{150, 118, 74}, 32);
    Crate(s, 34, 164, 13, Rgb{150, 118, 74}, 28);
    Crate(s, 52, 168, 11, Olive, 24);
    Weather(s, 0.8);
}

// "Panzer-Fabrik": a massive dark assembly hall with roof beams and fans, a heavy gate with track
// marks running out of it, a workshop with exhaust stacks and a store of shells.
void DrawPanzerFabrik(Scene& s)
{
    Foundation(s, DarkConcrete, 32);
    cairo_t* cr = s.cr;
    TrackMarks(cr, 80, 124, 80, 192, 22);
    TrackMarks(cr, 112, 124, 122, 192, 22);
    Shape hall = RectShape(8, 8, 176, 112);
    Solid(s, hall, Rgb{108, 104, 98}, 200, 0, 2.5);
    Ribs(cr, 10, 10, 172, 108, 4, 0, 0.16);
    RustStreaks(s, 10, 10, 172, 108, 0.22);
    // the raised clerestory along the hall, glazed on its sunny side
    Solid(s, RectShape(8, 46, 176, 30), Rgb{92, 94, 98}, 230, 0, 2);
    Skylight(cr, 12, 50, 168, 8);
    Ribs(cr, 10, 60, 172, 14, 4, 1, 0.3);
    for (double x = 34; x < 180; x += 36) {
        Shape beam = RectShape(x, 8, 8, 112);
        Solid(s, beam, Rgb{132, 84, 56}, 242, 0, 1.2);
        for (double y = 14; y < 118; y += 10) Fill(cr, CircleShape(x + 4, y, 0.9), Rgb{70, 44, 30});
    }
    Fan(s, 20, 27, 10, 216);
    Fan(s, 20, 96, 10, 216);
    Fan(s, 92, 27, 10, 216);
    Fan(s, 162, 96, 10, 216);
    RoofBox(s, 124, 16, 24, 22, Steel, 220);
    Vent(cr, 127, 19, 18, 16, 0);
    RoofBox(s, 52, 86, 24, 22, Steel, 220);
    Vent(cr, 55, 89, 18, 16, 0);
    // the heavy gate
    Solid(s, RectShape(56, 114, 80, 12), DarkSteel, 180, 0, 1.5);
    Ribs(cr, 58, 115, 76, 5, 4, 1, 0.5);
    Hazard(cr, RectShape(58, 120, 76, 5), 4);
    Lamp(cr, 60, 118, 1.4, Ember);
    Lamp(cr, 132, 118, 1.4, Ember);
    // workshop with exhaust stacks
    Solid(s, RectShape(8, 130, 40, 54), Rust, 120);
    Ribs(cr, 10, 132, 36, 50, 5, 1, 0.2);
    Cylinder(s, 20, 146, 6, DarkSteel, 255);
    Cylinder(s, 20, 168, 6, DarkSteel, 255);
    Fill(cr, CircleShape(20, 146, 3.5), Rgb{30, 26, 24});
    Fill(cr, CircleShape(20, 168, 3.5), Rgb{30, 26, 24});
    // the store of shells
    for (int row = 0; row < 3; row++)
        for (int col = 0; col < 2; col++)
            Crate(s, 150 + col * 17, 134 + row * 17, 15, row == 1 ? Olive : Rgb{108, 112, 84}, 32);
    Weather(s, 1.3);
}

// The pad where finished robots are woken, and the jointed assembly arm beside it.
void ActivationPad(Scene& s, double cx, double cy, double r)
{
    cairo_t* cr = s.cr;
    Shape pad = CircleShape(cx, cy, r);
    Fill(cr, pad, Rgb{88, 94, 100});
    Bevel(cr, pad, 1.5, 0.3, 0.4);
    GlowRings(cr, cx, cy, r, {0.85, 0.6, 0.35}, CyanLamp, 1.3);
    Lamp(cr, cx, cy, 4, CyanLamp);
    Edge(cr, pad, 0.6);
    const Rgb arm{214, 136, 48};
    Cylinder(s, cx - 44, cy + 14, 8, arm, 50);
    Solid(s, RoundShape(cx - 46, cy - 4, 30, 7, 3), arm, 76, 56, 1);
    Solid(s, RoundShape(cx - 22, cy - 10, 7, 18, 3), arm, 84, 60, 1);
    Fill(cr, CircleShape(cx - 42, cy + 14, 3), DarkSteel);
    Fill(cr, CircleShape(cx - 19, cy - 1, 2.5), DarkSteel);
}

// A power coil on its footing: a copper-wound column with a glowing top.
void PowerCoil(Scene& s, double cx, double cy)
{
    Solid(s, RectShape(cx - 13, cy - 13, 26, 26), DarkSteel, 30);
    Cylinder(s, cx, cy, 9, Rgb{176, 120, 70}, 255);
    GlowRings(s.cr, cx, cy, 9, {0.7, 0.45}, Rgb{90, 54, 30}, 1);
    Lamp(s.cr, cx, cy, 2.5, CyanLamp);
}

// A heavy cable lying on the ground from (x1, y1) to (x2, y2), bending on its way.
void GroundCable(cairo_t* cr, double x1, double y1, double x2, double y2, double bend)
{
    for (int pass = 0; pass < 2; pass++) {
        double o = pass * 0.7;
        cairo_new_path(cr);
        cairo_move_to(cr, x1 + o, y1 - o);
        cairo_curve_to(cr, x1 + bend + o, (y1 + y2) / 2, (x1 + x2) / 2, y2 - o, x2, y2);
        Source(cr, pass ? Rgb{120, 120, 126} : Rgb{44, 44, 48});
        cairo_set_line_width(cr, pass ? 1 : 3.5);
        cairo_stroke(cr);
    }
}

// A hexagonal hall rising to its core: six facets, each shaded by the way it faces the sun.
void HexHall(Scene& s, double cx, double cy, double r, int eaves, int apex)
{
    cairo_t* cr = s.cr;
    const double rise = 0.55, apothem = r * std::cos(Pi / 6);
    Shape hex = RegularShape(cx, cy, r, 6, 0);
    RaiseField(s, [=](double x, double y) {
        double d = 0;
        for (int i = 0; i < 6; i++)
            d = std::max(d, (x - cx) * std::cos(Pi / 6 + i * Pi / 3) + (y - cy) * std::sin(Pi / 6 + i * Pi / 3));
        return d < apothem ? eaves + (apex - eaves) * (1 - d / apothem) : 0.0;
    });
    CastShade(s, hex, 6);
    for (int i = 0; i < 6; i++) {
        double a1 = i * Pi / 3, a2 = (i + 1) * Pi / 3, mid = Pi / 6 + i * Pi / 3;
        Point p1{cx + r * std::cos(a1), cy + r * std::sin(a1)}, p2{cx + r * std::cos(a2), cy + r * std::sin(a2)};
        Shape facet = PolygonShape({{cx, cy}, p1, p2});
        Fill(cr, facet, Lit(Steel, std::cos(mid) * rise, std::sin(mid) * rise, 1));
        cairo_save(cr);
        ClipTo(cr, facet);
        for (double f = 0.3; f < 1; f += 0.18) {
            Point q1{cx + (p1.x - cx) * f, cy + (p1.y - cy) * f}, q2{cx + (p2.x - cx) * f, cy + (p2.y - cy) * f};
            Line(cr, q1.x, q1.y, q2.x, q2.y, Rgb{40, 40, 44}, 0.3, 1);
            Line(cr, q1.x + 0.7, q1.y - 0.7, q2.x + 0.7, q2.y - 0.7, Rgb{240, 240, 240}, 0.12, 1);
        }
        cairo_restore(cr);
        Line(cr, cx, cy, p1.x, p1.y, Rgb{50, 50, 54}, 0.6, 1.2);
    }
    Bevel(cr, hex, 1.5, 0.25, 0.35);
    Edge(cr, hex, 0.7);
}

// "Roboter-Fabrik": a hexagonal hall rising to a glowing core, an assembly arm over the
// activation pad, and four tall power coils round the plate, cabled to the hall.
void DrawRoboterFabrik(Scene& s)
{
    Foundation(s, Rgb{166, 164, 156}, 16);
    cairo_t* cr = s.cr;
    ActivationPad(s, 152, 156, 28);
    GroundCable(cr, 164, 28, 142, 52, 0);
    GroundCable(cr, 26, 160, 34, 116, -4);
    GroundCable(cr, 30, 34, 40, 52, 3);
    GroundCable(cr, 164, 104, 150, 98, -3);
    PowerCoil(s, 170, 22);
    PowerCoil(s, 22, 170);
    PowerCoil(s, 22, 26);
    PowerCoil(s, 174, 102);
    const double cx = 88, cy = 84;
    HexHall(s, cx, cy, 72, 200, 240);
    Solid(s, RegularShape(cx, cy, 20, 6, 0), DarkSteel, 255, 0, 1.5);
    Fill(cr, RegularShape(cx, cy, 13, 6, 0), Rgb{40, 80, 96});
    Lamp(cr, cx, cy, 6, CyanLamp);
    for (int i = 0; i < 6; i++)
        Lamp(cr, cx + 44 * std::cos(Pi / 6 + i * Pi / 3), cy + 44 * std::sin(Pi / 6 + i * Pi / 3), 1.2, CyanLamp);
    Weather(s, 0.6);
}

// A control tower's cab from above: a roof cap inside a ring of tinted glass, an antenna on top.
void ControlCab(Scene& s, double cx, double cy, double r, int top)
{
    Cylinder(s, cx, cy, r, BlueSteel, top);
    cairo_t* cr = s.cr;
    cairo_pattern_t* p = cairo_pattern_create_linear(cx - r, cy - r, cx + r, cy + r);
    Stop(p, 0, Rgb{190, 225, 235});
    Stop(p, 0.45, Glass);
    Stop(p, 1, Scaled(Glass, 0.55));
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r - 1, 0, 2 * Pi);
    cairo_new_sub_path(cr);
    cairo_arc_negative(cr, cx, cy, r - 5, 2 * Pi, 0);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    for (int i = 0; i < 8; i++) {
        double a = 2 * Pi * i / 8;
        Line(cr, cx + (r - 5) * std::cos(a), cy + (r - 5) * std::sin(a), cx + (r - 1) * std::cos(a),
            cy + (r - 1) * std::sin(a), DarkSteel, 0.8, 1);
    }
    Shape cap = CircleShape(cx, cy, r - 5);
    FillGradient(cr, cap, Steel, 0.15);
    Bevel(cr, cap, 1, 0.35, 0.4);
    Edge(cr, cap, 0.6);
    Line(cr, cx, cy, cx + r * 0.5, cy - r * 0.45, DarkSteel, 1, 1.2);
    Fill(cr, CircleShape(cx, cy, 2), DarkSteel);
    Lamp(cr, cx + r * 0.5, cy - r * 0.45, 1.5, RedLamp);
}

// A round landing pad: a yellow ring, a white circle, four chevrons to its centre, edge lights.
void LandingPad(cairo_t* cr, double cx, double cy, double r)
{
    Shape pad = CircleShape(cx, cy, r);
    Fill(cr, pad, Rgb{110, 108, 104});
    Bevel(cr, pad, 2, 0.25, 0.4);
    GlowRings(cr, cx, cy, r, {0.89}, HazardYellow, 3);
    GlowRings(cr, cx, cy, r, {0.54}, Rgb{232, 228, 216}, 2);
    for (int i = 0; i < 4; i++) {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_rotate(cr, i * Pi / 2);
        Chevrons(cr, r * 0.29, 0, 6, 1, 0, 0, Rgb{232, 228, 216});
        cairo_restore(cr);
    }
    for (int i = 0; i < 12; i++) {
        double a = 2 * Pi * i / 12;
        Lamp(cr, cx + (r - 2) * std::cos(a), cy + (r - 2) * std::sin(a), 1.2, i % 3 == 0 ? RedLamp : WhiteLamp);
    }
    Edge(cr, pad, 0.6);
}

// "Gleiter-Fabrik": an arched hangar, the landing pad the gliders lift off from, a control tower
// and fuel tanks.
void DrawGleiterFabrik(Scene& s)
{
    Foundation(s, Concrete, 32);
    cairo_t* cr = s.cr;
    LandingPad(cr, 128, 130, 56);
    // the taxi line from the hangar door to the pad
    for (double y = 50; y < 76; y += 7) Paint(cr, RectShape(144, y, 3, 4), HazardYellow, 0.9);
    Paint(cr, RectShape(134, 44, 13, 3), HazardYellow, 0.9);
    // the hangar and its door
    ArchRoof(s, 10, 10, 116, 70, Rgb{126, 132, 124}, 240, 120);
    Solid(s, RectShape(126, 12, 8, 66), DarkSteel, 200, 0, 1);
    Ribs(cr, 127, 13, 6, 64, 4, 0, 0.5);
    Hazard(cr, RectShape(131, 13, 2, 64), 3);
    // fuel tanks
    Cylinder(s, 164, 26, 14, Rgb{196, 190, 176}, 240);
    Cylinder(s, 164, 58, 14, Rgb{196, 190, 176}, 240);
    Pipe(s, 164, 40, 164, 44, 5, Steel, 60);
    for (double ty : {26.0, 58.0}) Paint(cr, RectShape(158, ty - 1.5, 12, 3), RedLamp, 0.6);
    // the control tower: a concrete shaft under a glazed cab
    Solid(s, RectShape(12, 126, 44, 44), Concrete, 200);
    ControlCab(s, 34, 148, 17, 255);
    Weather(s, 0.7);
}

// ---- the construction plate, the walls and the guard towers -----------------------------------------

// "leer.bmp": an empty foundation, marked out for building, with anchor bolts and warning corners.
void DrawLeer(Scene& s)
{
    Foundation(s, Concrete, 16);
    cairo_t* cr = s.cr;
    for (Point c : {Point{4, 4}, Point{60, 4}, Point{4, 60}, Point{60, 60}}) {
        double sx = c.x < 32 ? 1 : -1, sy = c.y < 32 ? 1 : -1;
        Shape corner = PolygonShape({{c.x, c.y}, {c.x + sx * 16, c.y}, {c.x + sx * 16, c.y + sy * 5},
            {c.x + sx * 5, c.y + sy * 5}, {c.x + sx * 5, c.y + sy * 16}, {c.x, c.y + sy * 16}});
        Hazard(cr, corner, 3);
    }
    for (int j = 0; j < 3; j++)
        for (int i = 0; i < 3; i++) {
            double x = 16 + i * 16, y = 16 + j * 16;
            Fill(cr, CircleShape(x, y, 2.2), Rgb{90, 84, 76});
            Fill(cr, CircleShape(x - 0.5, y - 0.5, 1.2), Rgb{196, 190, 180});
        }
    Weather(s, 0.6);
}

// The square pillar at a wall's end, corner or crossing, a little higher than the wall.
void WallPillar(Scene& s, double post)
{
    cairo_t* cr = s.cr;
    Shape pillar = RectShape(32 - post - 5, 32 - post - 5, 2 * post + 10, 2 * post + 10);
    CastShade(s, pillar, 2.5, 0.45);
    FillGradient(cr, pillar, Scaled(Concrete, 1.06), 0.08);
    Bevel(cr, pillar, 2.5, 0.35, 0.38);
    Shape cap = RectShape(32 - post + 2, 32 - post + 2, 2 * post - 4, 2 * post - 4);
    Fill(cr, cap, Scaled(Concrete, 0.9));
    Bevel(cr, cap, -1.5, 0.3, 0.3);
    Edge(cr, pillar, 0.75);
}

// One wall piece: a pillar and, for each bit of its mask, an arm running to that side of the tile
// (1 right, 2 down, 4 left, 8 up), so that neighbouring pieces join into a continuous wall.
void DrawWall(Scene& s, int mask)
{
    cairo_t* cr = s.cr;
    const double lo = 16, hi = 48, post = 11; // wall from lo to hi across, the pillar reaches 11 further out
    const double out = -16, far = 80;         // arms run on past the tile, so no rim shows where pieces meet
    std::vector<Point> outline = {{lo, lo}};
    if (mask & 8) outline.insert(outline.end(), {{lo, out}, {hi, out}});
    outline.push_back({hi, lo});
    if (mask & 1) outline.insert(outline.end(), {{far, lo}, {far, hi}});
    outline.push_back({hi, hi});
    if (mask & 2) outline.insert(outline.end(), {{hi, far}, {lo, far}});
    outline.push_back({lo, hi});
    if (mask & 4) outline.insert(outline.end(), {{out, hi}, {out, lo}});
    Shape body = PolygonShape(outline);
    FillGradient(cr, body, Concrete, 0.04);
    cairo_save(cr);
    ClipTo(cr, body);
    // block joints across each arm
    for (double t : {6.0, 22.0, 38.0, 54.0}) {
        if (mask & 1 && t > 40) Line(cr, t, lo, t, hi, Rgb{70, 60, 50}, 0.4, 1);
        if (mask & 4 && t < 24) Line(cr, t, lo, t, hi, Rgb{70, 60, 50}, 0.4, 1);
        if (mask & 2 && t > 40) Line(cr, lo, t, hi, t, Rgb{70, 60, 50}, 0.4, 1);
        if (mask & 8 && t < 24) Line(cr, lo, t, hi, t, Rgb{70, 60, 50}, 0.4, 1);
    }
    cairo_restore(cr);
    // a walkway groove along the top of every arm
    for (int bit = 0; bit < 4; bit++) {
        if (!(mask & (1 << bit))) continue;
        Shape groove = bit == 0 ? RectShape(29, 29, 51, 6)
            : bit == 1          ? RectShape(29, 29, 6, 51)
            : bit == 2          ? RectShape(-16, 29, 51, 6)
                                : RectShape(29, -16, 6, 51);
        Fill(cr, groove, Scaled(Concrete, 0.82));
        Bevel(cr, groove, -1, 0.3, 0.3);
    }
    Bevel(cr, body, 2.5, 0.3, 0.38);
    Edge(cr, body, 0.7);
    if (mask != 5 && mask != 10) WallPillar(s, post); // a straight run needs no pillar
    Weather(s, 0.5, 0);
}

// The round base that all three towers share: an octagonal footing and a turret ring.
void TowerBase(Scene& s)
{
    Solid(s, RegularShape(32, 32, 30, 8, Pi / 8), Concrete, 40, 0, 2.5);
    cairo_t* cr = s.cr;
    for (int i = 0; i < 8; i++) {
        double a = Pi / 8 + i * Pi / 4;
        Fill(cr, CircleShape(32 + 24 * std::cos(a), 32 + 24 * std::sin(a), 1.6), Rgb{90, 84, 76});
    }
    Fill(cr, CircleShape(32, 32, 20), Rgb{80, 76, 70});
    Bevel(cr, CircleShape(32, 32, 20), -1.5, 0.3, 0.4);
}

// The roof of a tower's turret, cut through for the owner's colour: towers are drawn as units,
// with the owner's square beneath them.
void TurretRoof(Scene& s, const Shape& roof)
{
    cairo_new_path(s.cr);
    roof(s.cr);
    TeamWindow(s.cr, 1.3);
}

// "Kugel-Wachturm": a round turret with one long cannon barrel and a muzzle brake, the owner's
// colour on its roof.
void DrawKugelTurm(Scene& s)
{
    TowerBase(s);
    cairo_t* cr = s.cr;
    Solid(s, RoundShape(30, 29, 27, 6, 2), Steel, 100, 60, 1.2);
    Fill(cr, RectShape(40, 30, 16, 1.5), Rgb{225, 228, 228}, 0.5);
    Solid(s, RectShape(55, 27, 8, 10), DarkSteel, 104, 60, 1.2);
    Fill(cr, RectShape(57.5, 28, 1.5, 8), Rgb{40, 38, 36});
    Solid(s, PolygonShape({{14, 22}, {30, 19}, {40, 26}, {40, 38}, {30, 45}, {14, 42}}), Steel, 90, 50);
    TurretRoof(s, CircleShape(28, 32, 6.5));
    Fill(cr, CircleShape(24, 27, 4), Scaled(Steel, 0.85));
    Bevel(cr, CircleShape(24, 27, 4), 1, 0.4, 0.4);
    Edge(cr, CircleShape(24, 27, 4), 0.5);
    Lamp(cr, 34, 40, 1, RedLamp);
    Weather(s, 0.4);
}

// "Raketen-Wachturm": a turret carrying two rocket pods with their tubes pointing forward, the
// owner's colour on its roof between them.
void DrawRaketenTurm(Scene& s)
{
    TowerBase(s);
    cairo_t* cr = s.cr;
    Solid(s, CircleShape(28, 32, 14), Olive, 90, 50);
    TurretRoof(s, CircleShape(28, 32, 6.5));
    for (double py : {14.0, 37.0}) {
        Shape pod = RoundShape(28, py, 30, 13, 2);
        Solid(s, pod, Rgb{150, 140, 106}, 104, 60, 1.5);
        for (int i = 0; i < 3; i++) {
            double ty = py + 2.5 + i * 4;
            Fill(cr, CircleShape(55, ty + 1.5, 1.7), Rgb{40, 36, 32});
            Fill(cr, CircleShape(54.6, ty + 1.1, 0.9), Rgb{220, 80, 50});
        }
        Fill(cr, RectShape(32, py + 3, 14, 2), Scaled(Olive, 0.8));
    }
    Fill(cr, RectShape(22, 30.5, 8, 3), DarkSteel);
    Lamp(cr, 22, 32, 1, RedLamp);
    Weather(s, 0.4);
}

// "Ionen-Wachturm": a turret with a forked emitter holding a glowing ion core between its prongs,
// the owner's colour on its roof.
void DrawIonenTurm(Scene& s)
{
    TowerBase(s);
    cairo_t* cr = s.cr;
    Solid(s, CircleShape(28, 32, 15), BlueSteel, 90, 50);
    TurretRoof(s, CircleShape(28, 32, 6.5));
    for (double py : {22.0, 38.0}) Solid(s, RoundShape(34, py, 26, 5, 2.5), Rgb{170, 176, 184}, 104, 60, 1.2);
    for (double x = 38; x < 58; x += 5) {
        Fill(cr, RectShape(x, 21.5, 2, 6), Rgb{176, 110, 60});
        Fill(cr, RectShape(x, 37.5, 2, 6), Rgb{176, 110, 60});
    }
    Solid(s, CircleShape(36, 32, 6), DarkSteel, 110, 60, 1);
    Lamp(cr, 50, 32, 4.2, Rgb{140, 120, 255});
    Lamp(cr, 50, 32, 2.5, CyanLamp);
    Lamp(cr, 28, 32, 2, CyanLamp);
    Weather(s, 0.4);
}

// ---- the table of pictures ------------------------------------------------------------------------

struct BuildingArt {
    const char* name;                 // file name under BMP\O\ without ".bmp"
    std::function<void(Scene&)> draw; // draws the picture and raises its heights
    int heights;                      // 1 when the shadow maker reads a height image of it
};

const std::vector<BuildingArt>& BuildingTable()
{
    static const std::vector<BuildingArt> table = {
        {"Solarzelle", DrawSolarzelle, 1},
        {"Verb_Solarzelle", DrawVerbSolarzelle, 1},
        {"Verbrennungsanlage", DrawVerbrennungsanlage, 1},
        {"Forschungslabor", DrawForschungslabor, 1},
        {"Radarzentrale", [](Scene& s) { DrawRadar(s, Pi * 1.2); }, 1},
        {"Radarzentrale(", [](Scene& s) { DrawRadar(s, Pi * 1.55); }, 0},
        {"Arzt", DrawArzt, 1},
        {"Kaserne", DrawKaserne, 1},
        {"kleine-Fabrik", DrawKleineFabrik, 1},
        {"Speeder-Fabrik", DrawSpeederFabrik, 1},
        {"Quad-Fabrik", DrawQuadFabrik, 1},
        {"Panzer-Fabrik", DrawPanzerFabrik, 1},
        {"Roboter-Fabrik", DrawRoboterFabrik, 1},
        {"Gleiter-Fabrik", DrawGleiterFabrik, 1},
        {"leer", DrawLeer, 0},
        {"Kugel-Wachturm", DrawKugelTurm, 0},
        {"Raketen-Wachturm", DrawRaketenTurm, 0},
        {"Ionen-Wachturm", DrawIonenTurm, 0},
    };
    return table;
}

void DrawOne(const std::string& name, const std::function<void(Scene&)>& draw, int heights)
{
    std::string path = std::string("BMP\\O\\") + name + ".bmp";
    Scene scene = NewScene(path);
    draw(scene);
    SaveKeyedBmp(scene.canvas, path);
    if (heights) SaveHeights(scene, std::string("BMP\\O\\") + name + "_H.bmp");
    FreeCanvas(scene.canvas);
}

} // namespace

// Draws every building, the construction plate, the guard towers and the 16 wall pieces, with
// the height images of the buildings that cast shadows.
void DrawBuildings()
{
    for (const BuildingArt& art : BuildingTable()) DrawOne(art.name, art.draw, art.heights);
    for (int mask = 0; mask < 16; mask++)
        DrawOne(
            std::to_string(mask), [mask](Scene& s) { DrawWall(s, mask); }, 0);
}
