// tools/artgen/effects.cpp - light and fire: explosions, smoke and the sandstorm, the lights of
// the night, the sun, the planet of the space scene, the logo and the pictures of the intro.
//
// Explosions, smoke and storm dust are added onto the screen, so they are drawn as light on
// black: black adds nothing, and every colour must fade out before the picture's edge. The game
// turns them freely, so they are round.
#include "artgen.h"

#include <algorithm>
#include <cmath>
#include <vector>

static constexpr double Pi = 3.14159265358979323846;

// Kept to this file, because shading.h declares another Rgb (channels 0..255) for units and icons.
namespace {

// A colour with channels 0..1 while a picture is made pixel by pixel.
struct Rgb {
    double r, g, b;
};

// Light on black, pixel by pixel; the canvas it goes to keeps black as the transparent colour.
struct Glow {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels; // width * height, row-major, top row first
};

// One stop of a colour ramp: at `at` (0..1) the colour is (r, g, b).
struct RampStop {
    double at;
    int r, g, b;
};

// Three-dimensional gradient noise from a shuffled table, so that the planet can be sampled on
// the sphere itself: no seam where longitude 360 meets 0, no pinch at the poles.
struct Noise3 {
    int perm[512];
};

} // namespace

// ---- colours and pixels ------------------------------------------------------------------------

// A colour from 0..255 channels.
static Rgb Bytes(int r, int g, int b) { return Rgb{r / 255.0, g / 255.0, b / 255.0}; }

// The colour between a (t = 0) and b (t = 1).
static Rgb Mix(Rgb a, Rgb b, double t) { return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

// A colour made brighter (factor above 1) or darker.
static Rgb Scale(Rgb c, double factor) { return Rgb{c.r * factor, c.g * factor, c.b * factor}; }

// A channel 0..1 as a byte, clamped.
static uint32_t ToByte(double v) { return uint32_t(std::clamp(std::lround(v * 255.0), 0L, 255L)); }

// 0 below `edge0`, 1 above `edge1`, smooth between.
static double SmoothStep(double edge0, double edge1, double v)
{
    double t = std::clamp((v - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// The colour of a ramp at t.
static Rgb Ramp(const RampStop* stops, int count, double t)
{
    if (t <= stops[0].at) return Bytes(stops[0].r, stops[0].g, stops[0].b);
    for (int i = 1; i < count; i++)
        if (t <= stops[i].at) {
            double f = (t - stops[i - 1].at) / (stops[i].at - stops[i - 1].at);
            return Mix(Bytes(stops[i - 1].r, stops[i - 1].g, stops[i - 1].b), Bytes(stops[i].r, stops[i].g, stops[i].b), f);
        }
    return Bytes(stops[count - 1].r, stops[count - 1].g, stops[count - 1].b);
}

// An empty (black) glow the size of a canvas.
static Glow NewGlow(const Canvas& canvas)
{
    Glow glow;
    glow.width = canvas.width;
    glow.height = canvas.height;
    glow.pixels.assign(size_t(canvas.width * canvas.height), Rgb{0, 0, 0});
    return glow;
}

// Writes a glow into a canvas: every lit pixel opaque, black ones transparent.
static void PutGlow(Canvas& canvas, const Glow& glow)
{
    cairo_surface_flush(canvas.surface);
    unsigned char* data = cairo_image_surface_get_data(canvas.surface);
    int stride = cairo_image_surface_get_stride(canvas.surface);
    for (int y = 0; y < canvas.height; y++) {
        uint32_t* row = (uint32_t*)(data + size_t(y) * size_t(stride));
        for (int x = 0; x < canvas.width; x++) {
            Rgb c = glow.pixels[size_t(y * canvas.width + x)];
            uint32_t r = ToByte(c.r), g = ToByte(c.g), b = ToByte(c.b);
            row[x] = r + g + b == 0 ? 0u : 0xFF000000u | (r << 16) | (g << 8) | b;
        }
    }
    cairo_surface_mark_dirty(canvas.surface);
}

// After drawing with cairo on an opaque black ground: makes the untouched black transparent
// again, so that keyed saving keeps it as the transparent colour.
static void KeyOutBlack(Canvas& canvas)
{
    cairo_surface_flush(canvas.surface);
    unsigned char* data = cairo_image_surface_get_data(canvas.surface);
    int stride = cairo_image_surface_get_stride(canvas.surface);
    for (int y = 0; y < canvas.height; y++) {
        uint32_t* row = (uint32_t*)(data + size_t(y) * size_t(stride));
        for (int x = 0; x < canvas.width; x++)
            if ((row[x] & 0x00FFFFFFu) == 0) row[x] = 0;
    }
    cairo_surface_mark_dirty(canvas.surface);
}

// Paints the whole canvas opaque black, the ground for additive drawing with cairo.
static void PaintBlack(Canvas& canvas)
{
    cairo_set_source_rgb(canvas.cr, 0, 0, 0);
    cairo_paint(canvas.cr);
}

// ---- noise ---------------------------------------------------------------------------------------

// A noise table shuffled by the picture's own random numbers.
static Noise3 MakeNoise(ArtRandom& random)
{
    Noise3 noise;
    for (int i = 0; i < 256; i++) noise.perm[i] = i;
    for (int i = 255; i > 0; i--) std::swap(noise.perm[i], noise.perm[RandomInt(random, 0, i)]);
    for (int i = 0; i < 256; i++) noise.perm[256 + i] = noise.perm[i];
    return noise;
}

// The quintic fade: no crease at the lattice lines.
static double Fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

// The slope of one of twelve edge directions, chosen by the hash, at the offset (x, y, z).
static double Slope(int hash, double x, double y, double z)
{
    int h = hash & 15;
    double u = h < 8 ? x : y, v = h < 4 ? y : (h == 12 || h == 14 ? x : z);
    return ((h & 1) ? -u : u) + ((h & 2) ? -v : v);
}

// Linear mix of a and b.
static double Lerp(double t, double a, double b) { return a + t * (b - a); }

// Gradient noise at a point, about -1..1.
static double Noise(const Noise3& noise, double x, double y, double z)
{
    int xi = int(std::floor(x)) & 255, yi = int(std::floor(y)) & 255, zi = int(std::floor(z)) & 255;
    x -= std::floor(x);
    y -= std::floor(y);
    z -= std::floor(z);
    double u = Fade(x), v = Fade(y), w = Fade(z);
    const int* p = noise.perm;
    int a = p[xi] + yi, aa = p[a] + zi, ab = p[a + 1] + zi, b = p[xi + 1] + yi, ba = p[b] + zi, bb = p[b + 1] + zi;
    return Lerp(w,
                Lerp(v, Lerp(u, Slope(p[aa], x, y, z), Slope(p[ba], x - 1, y, z)),
                     Lerp(u, Slope(p[ab], x, y - 1, z), Slope(p[bb], x - 1, y - 1, z))),
                Lerp(v, Lerp(u, Slope(p[aa + 1], x, y, z - 1), Slope(p[ba + 1], x - 1, y, z - 1)),
                     Lerp(u, Slope(p[ab + 1], x, y - 1, z - 1), Slope(p[bb + 1], x - 1, y - 1, z - 1))));
}

// Fractal noise: octaves each twice as fine and half as strong; about 0..1, mostly near 0.5.
static double Fbm(const Noise3& noise, double x, double y, double z, int octaves)
{
    double sum = 0, amplitude = 1, total = 0;
    for (int i = 0; i < octaves; i++) {
        sum += amplitude * Noise(noise, x, y, z);
        total += amplitude;
        amplitude *= 0.5;
        x = x * 2 + 17.3;
        y = y * 2 + 5.1;
        z = z * 2 + 9.7;
    }
    return std::clamp(0.5 + 0.5 * sum / total * 1.6, 0.0, 1.0);
}

// ---- explosions and smoke ---------------------------------------------------------------------------

// A fire colour ramp from black through red and orange to a white-hot core.
static const RampStop FireRamp[] = {
    {0.0, 0, 0, 0}, {0.18, 70, 10, 2}, {0.38, 196, 56, 8}, {0.58, 250, 140, 28}, {0.78, 255, 214, 90}, {1.0, 255, 252, 226}};

// How a fireball looks: its reach, how ragged its edge is, how hot its middle, the fire ramp.
struct FireStyle {
    double radius;     // pixels where the heat has faded out
    double ragged;     // 0..1, how far the noise eats into the edge
    double heat;       // multiplies the heat everywhere; above 1 the core turns white
    double grain;      // noise scale: features per picture width
    int holes;         // 1 = dark pockets of smoke inside the fire
};

// A round ball of fire on black, brightest in the middle, its edge torn by turbulence.
static void DrawFireball(Glow& glow, ArtRandom& random, const FireStyle& style)
{
    Noise3 noise = MakeNoise(random);
    double cx = glow.width / 2.0, cy = glow.height / 2.0;
    for (int y = 0; y < glow.height; y++)
        for (int x = 0; x < glow.width; x++) {
            double dx = (x + 0.5 - cx) / style.radius, dy = (y + 0.5 - cy) / style.radius;
            double r = std::sqrt(dx * dx + dy * dy);
            double turbulence = Fbm(noise, dx * style.grain, dy * style.grain, 0.5, 5);
            double edge = r + style.ragged * (turbulence - 0.5) * 1.4;
            double heat = (1.0 - SmoothStep(0.0, 1.0, edge)) * style.heat * (0.75 + 0.5 * turbulence);
            if (style.holes) heat *= 0.55 + 0.45 * SmoothStep(0.35, 0.6, Fbm(noise, dx * 3.1, dy * 3.1, 4.2, 3));
            heat *= 1.0 - SmoothStep(0.82, 1.0, r);
            glow.pixels[size_t(y * glow.width + x)] = Ramp(FireRamp, 6, std::clamp(heat, 0.0, 1.0));
        }
}

// The first instant of a blast: a white-hot point with a burst of rays around it.
static void DrawFlash(Canvas& canvas, ArtRandom& random)
{
    Glow glow = NewGlow(canvas);
    double cx = glow.width / 2.0, cy = glow.height / 2.0;
    const int rays = 11;
    double rayTurn[rays], rayReach[rays];
    for (int i = 0; i < rays; i++) {
        rayTurn[i] = (i + RandomRange(random, -0.3, 0.3)) * 2 * Pi / rays;
        rayReach[i] = RandomRange(random, 0.55, 0.95);
    }
    for (int y = 0; y < glow.height; y++)
        for (int x = 0; x < glow.width; x++) {
            double dx = (x + 0.5 - cx) / (glow.width / 2.0), dy = (y + 0.5 - cy) / (glow.height / 2.0);
            double r = std::sqrt(dx * dx + dy * dy), angle = std::atan2(dy, dx);
            double light = std::exp(-r * r * 30.0) * 1.4 + std::exp(-r * r * 6.0) * 0.45;
            for (int i = 0; i < rays; i++) {
                double off = std::remainder(angle - rayTurn[i], 2 * Pi);
                light += std::exp(-off * off * 400.0 * (0.3 + r)) * (1.0 - SmoothStep(0.0, rayReach[i], r)) * 0.8;
            }
            light *= 1.0 - SmoothStep(0.85, 1.0, r);
            glow.pixels[size_t(y * glow.width + x)] = Ramp(FireRamp, 6, std::clamp(light, 0.0, 1.0));
        }
    PutGlow(canvas, glow);
}

// Streaks of sparks flying out from (cx, cy), dim where they start and bright at their heads.
static void DrawSparks(cairo_t* cr, ArtRandom& random, double cx, double cy)
{
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < 34; i++) {
        double angle = RandomRange(random, 0, 2 * Pi), from = RandomRange(random, 4, 22);
        double to = std::min(from + RandomRange(random, 10, 34), 58.0);
        double x1 = cx + std::cos(angle) * from, y1 = cy + std::sin(angle) * from;
        double x2 = cx + std::cos(angle) * to, y2 = cy + std::sin(angle) * to;
        cairo_pattern_t* streak = cairo_pattern_create_linear(x1, y1, x2, y2);
        cairo_pattern_add_color_stop_rgba(streak, 0, 0.35, 0.08, 0.0, 1);
        cairo_pattern_add_color_stop_rgba(streak, 1, 1.0, 0.8, 0.4, 1);
        cairo_set_source(cr, streak);
        cairo_set_line_width(cr, RandomRange(random, 0.8, 1.6));
        cairo_move_to(cr, x1, y1);
        cairo_line_to(cr, x2, y2);
        cairo_stroke(cr);
        cairo_pattern_destroy(streak);
    }
}

// A soft round glow of the given colour at its middle, fading to nothing at `radius`.
static void DrawEmber(cairo_t* cr, double x, double y, double radius, Rgb core, Rgb middle)
{
    cairo_pattern_t* ember = cairo_pattern_create_radial(x, y, 0, x, y, radius);
    cairo_pattern_add_color_stop_rgba(ember, 0, core.r, core.g, core.b, 1);
    cairo_pattern_add_color_stop_rgba(ember, 0.45, middle.r, middle.g, middle.b, 1);
    cairo_pattern_add_color_stop_rgba(ember, 1, 0, 0, 0, 1);
    cairo_set_source(cr, ember);
    cairo_arc(cr, x, y, radius, 0, 2 * Pi);
    cairo_fill(cr);
    cairo_pattern_destroy(ember);
}

// Glowing debris: hot fragments and streaks of sparks flying outwards over a dull red glow.
static void DrawDebris(Canvas& canvas, ArtRandom& random)
{
    cairo_t* cr = canvas.cr;
    PaintBlack(canvas);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    double cx = canvas.width / 2.0, cy = canvas.height / 2.0;
    DrawSparks(cr, random, cx, cy);
    for (int i = 0; i < 14; i++) {
        double angle = RandomRange(random, 0, 2 * Pi), reach = RandomRange(random, 8, 44), size = RandomRange(random, 2.7, 6.3);
        DrawEmber(cr, cx + std::cos(angle) * reach, cy + std::sin(angle) * reach, size, Bytes(255, 216, 114), Bytes(204, 76, 12));
    }
    DrawEmber(cr, cx, cy, 20, Bytes(140, 56, 10), Bytes(62, 25, 4));
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    KeyOutBlack(canvas);
}

// The main explosion: a full fireball with a white-hot heart.
static void DrawBlast(Canvas& canvas, ArtRandom& random)
{
    Glow glow = NewGlow(canvas);
    DrawFireball(glow, random, FireStyle{60, 0.55, 1.1, 3.2, 0});
    PutGlow(canvas, glow);
}

// A burning cloud: cooler and more torn than the blast, with pockets of smoke.
static void DrawFireCloud(Canvas& canvas, ArtRandom& random)
{
    Glow glow = NewGlow(canvas);
    DrawFireball(glow, random, FireStyle{62, 0.8, 0.85, 4.0, 1});
    PutGlow(canvas, glow);
}

// A puff of smoke for adding onto the screen: a dim, soft, lumpy grey-brown cloud.
static void DrawSmoke(Canvas& canvas, ArtRandom& random, Rgb tint, double thickness)
{
    Glow glow = NewGlow(canvas);
    Noise3 noise = MakeNoise(random);
    double c = canvas.width / 2.0;
    for (int y = 0; y < glow.height; y++)
        for (int x = 0; x < glow.width; x++) {
            double dx = (x + 0.5 - c) / c, dy = (y + 0.5 - c) / c, r = std::sqrt(dx * dx + dy * dy);
            double lumps = Fbm(noise, dx * 2.6, dy * 2.6, 1.5, 5);
            double density = (1.0 - SmoothStep(0.2, 0.95, r + (lumps - 0.5) * 0.8)) * (0.5 + lumps);
            density *= 1.0 - SmoothStep(0.85, 1.0, r);
            glow.pixels[size_t(y * glow.width + x)] = Scale(tint, thickness * std::clamp(density, 0.0, 1.2));
        }
    PutGlow(canvas, glow);
}

// The lighter smoke.
static void DrawRauch(Canvas& canvas, ArtRandom& random) { DrawSmoke(canvas, random, Bytes(150, 140, 126), 0.75); }

// The darker, browner smoke.
static void DrawRauch2(Canvas& canvas, ArtRandom& random) { DrawSmoke(canvas, random, Bytes(120, 100, 80), 0.6); }

// A sandstorm: a large, soft, slowly curling cloud of ochre dust with spiral arms, densest in
// the middle and fading to nothing at the rim.
static void DrawSandsturm(Canvas& canvas, ArtRandom& random)
{
    Glow glow = NewGlow(canvas);
    Noise3 noise = MakeNoise(random);
    double c = canvas.width / 2.0;
    Rgb dust = Bytes(206, 158, 96), fine = Bytes(236, 204, 150);
    for (int y = 0; y < glow.height; y++)
        for (int x = 0; x < glow.width; x++) {
            double dx = (x + 0.5 - c) / c, dy = (y + 0.5 - c) / c, r = std::sqrt(dx * dx + dy * dy);
            // The inner dust has turned further than the outer, which curls the noise into arms.
            double swirl = 2.4 * (1.0 - r) * (1.0 - r);
            double sx = dx * std::cos(swirl) - dy * std::sin(swirl), sy = dx * std::sin(swirl) + dy * std::cos(swirl);
            double body = Fbm(noise, sx * 2.2, sy * 2.2, 0.3, 5);
            double streaks = Fbm(noise, sx * 7.0, sy * 7.0, 3.3, 3);
            double arms = 0.65 + 0.35 * std::sin(3 * std::atan2(sy, sx) + 7.0 * r) * SmoothStep(0.0, 0.35, r);
            double density = (1.0 - SmoothStep(0.15, 0.98, r)) * SmoothStep(0.25, 0.75, body) * arms * (0.8 + 0.4 * streaks);
            glow.pixels[size_t(y * glow.width + x)] = Scale(Mix(dust, fine, streaks), 0.8 * std::clamp(density, 0.0, 1.0));
        }
    PutGlow(canvas, glow);
}

// ---- lights -------------------------------------------------------------------------------------

// A round warm light, brightest in the middle and fading smoothly to black at the rim: the
// pool of light around a unit or building at night.
static void DrawRoundLight(Canvas& canvas, ArtRandom&)
{
    Glow glow = NewGlow(canvas);
    double c = canvas.width / 2.0;
    for (int y = 0; y < glow.height; y++)
        for (int x = 0; x < glow.width; x++) {
            double dx = (x + 0.5 - c) / c, dy = (y + 0.5 - c) / c, r2 = std::min(1.0, dx * dx + dy * dy);
            double light = (1.0 - r2) * (1.0 - r2);
            glow.pixels[size_t(y * glow.width + x)] = Scale(Bytes(255, 236, 196), light);
        }
    PutGlow(canvas, glow);
}

// A cone of light from a lamp in the middle of the picture, shining to the right (heading 0):
// the picture turns about its middle with the unit that carries the lamp.
static void DrawCone(Canvas& canvas, ArtRandom&)
{
    Glow glow = NewGlow(canvas);
    double c = canvas.width / 2.0, halfAngle = 0.42;
    for (int y = 0; y < glow.height; y++)
        for (int x = 0; x < glow.width; x++) {
            double dx = (x + 0.5 - c) / c, dy = (y + 0.5 - c) / c;
            double r = std::sqrt(dx * dx + dy * dy), angle = std::abs(std::atan2(dy, dx));
            double beam = 1.0 - SmoothStep(halfAngle * 0.55, halfAngle, angle);
            double fall = (1.0 - SmoothStep(0.2, 1.0, r)) * SmoothStep(0.0, 0.08, r);
            double lamp = std::exp(-r * r * 400.0) * 0.9;
            glow.pixels[size_t(y * glow.width + x)] = Scale(Bytes(255, 242, 210), std::min(1.0, beam * fall + lamp));
        }
    PutGlow(canvas, glow);
}

// The sunlight over the space scene. The scene lays this picture over the planet and multiplies
// (the picture at 155 leaves the planet as it is, brighter lightens, darker shades), so it is a
// map of the light: a warm cone falling from the sun onto the planet, whose far side lies in
// shadow. The sun sits at about (145, 126) of the picture, the planet's centre at (64, 192) with
// a radius of 61. The darkest value stays clear of (1, 2, 3), the picture's transparent colour.
static void DrawLicht(Canvas& canvas, ArtRandom&)
{
    Glow glow = NewGlow(canvas);
    const double sunX = 145, sunY = 126, towardX = -0.775, towardY = 0.632;
    for (int y = 0; y < glow.height; y++)
        for (int x = 0; x < glow.width; x++) {
            double dx = x + 0.5 - sunX, dy = y + 0.5 - sunY;
            double along = dx * towardX + dy * towardY, across = dy * towardX - dx * towardY;
            // The cone: reaching far along the line to the planet, narrower across it.
            double reach = std::sqrt(std::pow(along * (along > 0 ? 1.0 : 1.4), 2) + std::pow(across * 1.35, 2));
            double light = 1.0 - SmoothStep(20.0, 175.0, reach);
            light = 0.05 + 0.95 * std::pow(light, 1.3);
            glow.pixels[size_t(y * glow.width + x)] = Mix(Bytes(30, 24, 40), Bytes(255, 244, 222), light);
        }
    PutGlow(canvas, glow);
}

// The sun: a white-hot disc darkening towards its rim, inside a yellow corona with soft rays.
static void DrawSonne(Canvas& canvas, ArtRandom& random)
{
    Glow glow = NewGlow(canvas);
    Noise3 noise = MakeNoise(random);
    double c = canvas.width / 2.0, disc = 30.0;
    for (int y = 0; y < glow.height; y++)
        for (int x = 0; x < glow.width; x++) {
            double dx = x + 0.5 - c, dy = y + 0.5 - c, r = std::sqrt(dx * dx + dy * dy), angle = std::atan2(dy, dx);
            double rays = Fbm(noise, std::cos(angle) * 3.0, std::sin(angle) * 3.0, 0.5, 4);
            double corona = std::exp(-(r - disc) / (18.0 + 26.0 * rays)) * (r > disc ? 1.0 : 0.0);
            double halo = std::exp(-r / 60.0) * 0.35;
            double edge = 1.0 - SmoothStep(0.72 * c, c, r);
            Rgb colour = Scale(Bytes(255, 196, 96), (corona * 0.9 + halo) * edge);
            if (r <= disc + 1) {
                double limb = std::sqrt(std::max(0.0, 1.0 - (r / (disc + 1)) * (r / (disc + 1))));
                Rgb face = Mix(Bytes(255, 210, 120), Bytes(255, 252, 236), limb);
                colour = Mix(colour, face, std::clamp(disc + 1 - r, 0.0, 1.0));
            }
            glow.pixels[size_t(y * glow.width + x)] = colour;
        }
    PutGlow(canvas, glow);
}

// ---- the planet -------------------------------------------------------------------------------------

// Pixel rows of the planet texture per 10 degrees of latitude, from the pole at the top: the space
// scene cuts the texture into slices of these heights and lays each over 10 degrees of the globe.
static const int PlanetRowHeights[18] = {12, 16, 20, 20, 24, 28, 32, 32, 32, 32, 32, 32, 28, 24, 20, 20, 16, 12};

// The latitude in degrees (-90 at the top) that pixel row y of the planet texture shows.
static double PlanetLatitude(int y)
{
    int top = 0;
    for (int r = 0; r < 18; r++) {
        if (y < top + PlanetRowHeights[r]) return -90.0 + 10.0 * (r + (y + 0.5 - top) / PlanetRowHeights[r]);
        top += PlanetRowHeights[r];
    }
    return 90.0;
}

// The colour of the desert planet at a point of its surface: sand seas with dune crests, dark
// rocky highlands, rusty spice plains and hazy poles.
static Rgb PlanetSurface(const Noise3& noise, double px, double py, double pz, double latitude)
{
    double lands = Fbm(noise, px * 1.8, py * 1.8, pz * 1.8, 6);
    double hue = Fbm(noise, px * 3.5 + 20, py * 3.5, pz * 3.5, 4);
    double warp = Fbm(noise, px * 4.0 + 40, py * 4.0, pz * 4.0, 3);
    double dunes = 1.0 - std::abs(2.0 * Fbm(noise, px * 14 + warp * 3, py * 14, pz * 14, 3) - 1.0);
    Rgb sand = Mix(Bytes(200, 140, 76), Bytes(236, 200, 140), hue);
    sand = Mix(sand, Bytes(190, 104, 58), SmoothStep(0.6, 0.85, warp) * 0.5);
    sand = Scale(sand, 0.9 + 0.16 * dunes);
    double rockShare = SmoothStep(0.54, 0.68, lands);
    double crags = Fbm(noise, px * 24 + 60, py * 24, pz * 24, 3);
    Rgb rock = Scale(Mix(Bytes(104, 80, 62), Bytes(156, 122, 92), crags), 0.8 + 0.3 * lands);
    Rgb ground = Mix(sand, rock, rockShare);
    double haze = SmoothStep(58, 84, std::abs(latitude)) * (0.55 + 0.45 * hue);
    return Mix(ground, Bytes(238, 230, 216), 0.8 * haze);
}

// The planet texture: longitude runs across the full width, latitude down the rows.
static void DrawPlanet(Canvas& canvas, ArtRandom& random)
{
    Glow glow = NewGlow(canvas);
    Noise3 noise = MakeNoise(random);
    for (int y = 0; y < glow.height; y++) {
        double latitude = PlanetLatitude(y) * Pi / 180;
        for (int x = 0; x < glow.width; x++) {
            double longitude = (x + 0.5) / glow.width * 2 * Pi;
            double px = std::cos(latitude) * std::cos(longitude), py = std::cos(latitude) * std::sin(longitude), pz = std::sin(latitude);
            glow.pixels[size_t(y * glow.width + x)] = PlanetSurface(noise, px, py, pz, latitude * 180 / Pi);
        }
    }
    PutGlow(canvas, glow);
}

// ---- the logo ---------------------------------------------------------------------------------------

// The metal of the lettering: pale sand at the top, a dark bronze band, a warm glint below.
static cairo_pattern_t* LetterMetal(double top, double bottom)
{
    cairo_pattern_t* metal = cairo_pattern_create_linear(0, top, 0, bottom);
    cairo_pattern_add_color_stop_rgb(metal, 0.0, 1.0, 0.95, 0.8);
    cairo_pattern_add_color_stop_rgb(metal, 0.45, 0.86, 0.66, 0.36);
    cairo_pattern_add_color_stop_rgb(metal, 0.52, 0.52, 0.32, 0.14);
    cairo_pattern_add_color_stop_rgb(metal, 0.75, 0.78, 0.52, 0.24);
    cairo_pattern_add_color_stop_rgb(metal, 1.0, 0.98, 0.84, 0.56);
    return metal;
}

// Writes a line of lettering centred on x with its baseline at y: a dark outline, the metal
// face and a thin bright edge at the top left.
static void MetalText(cairo_t* cr, const char* text, double x, double y, double size, double outline)
{
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    double left = x - extents.width / 2 - extents.x_bearing;
    cairo_new_path(cr);
    cairo_move_to(cr, left, y);
    cairo_text_path(cr, text);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_source_rgb(cr, 0.16, 0.09, 0.04);
    cairo_set_line_width(cr, outline);
    cairo_stroke_preserve(cr);
    cairo_pattern_t* metal = LetterMetal(y + extents.y_bearing, y + extents.y_bearing + extents.height);
    cairo_set_source(cr, metal);
    cairo_fill(cr);
    cairo_pattern_destroy(metal);
    cairo_new_path(cr);
    cairo_move_to(cr, left - 1.2, y - 1.2);
    cairo_text_path(cr, text);
    cairo_move_to(cr, left, y);
    cairo_text_path(cr, text);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_set_source_rgba(cr, 1.0, 0.98, 0.88, 0.7);
    cairo_fill(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
}

// The desert sun behind the name: a glowing disc, hot at the top, cut by the horizon.
static void LogoSun(cairo_t* cr)
{
    cairo_pattern_t* glow = cairo_pattern_create_radial(256, 200, 100, 256, 200, 240);
    cairo_pattern_add_color_stop_rgba(glow, 0, 0.9, 0.45, 0.1, 0.45);
    cairo_pattern_add_color_stop_rgba(glow, 1, 0.9, 0.45, 0.1, 0.0);
    cairo_set_source(cr, glow);
    cairo_paint(cr);
    cairo_pattern_destroy(glow);
    cairo_pattern_t* disc = cairo_pattern_create_linear(0, 70, 0, 300);
    cairo_pattern_add_color_stop_rgb(disc, 0, 1.0, 0.93, 0.6);
    cairo_pattern_add_color_stop_rgb(disc, 0.55, 0.98, 0.6, 0.18);
    cairo_pattern_add_color_stop_rgb(disc, 1, 0.78, 0.24, 0.08);
    cairo_arc(cr, 256, 200, 130, 0, 2 * Pi);
    cairo_set_source(cr, disc);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(disc);
    cairo_save(cr);
    cairo_clip(cr);
    // Bands of heat shimmer across the lower half, in the colour of the sky behind.
    for (int i = 0; i < 5; i++) {
        double y = 206 + i * 12, h = 2 + i * 1.2;
        cairo_rectangle(cr, 110, y, 292, h);
        cairo_set_source_rgb(cr, 0.42, 0.16, 0.05);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

// Dunes in front of the sun, each ridge lit on its left slope.
static void LogoDunes(cairo_t* cr)
{
    struct Dune {
        double y, amplitude, phase;
        double light[3], dark[3];
    };
    const Dune dunes[3] = {{262, 22, 0.6, {0.66, 0.4, 0.18}, {0.3, 0.15, 0.06}},
                           {290, 18, 2.4, {0.8, 0.54, 0.26}, {0.4, 0.22, 0.09}},
                           {318, 14, 4.1, {0.92, 0.7, 0.4}, {0.5, 0.3, 0.12}}};
    for (const Dune& dune : dunes) {
        cairo_move_to(cr, 0, 440);
        for (int x = 0; x <= 512; x += 4) {
            double t = x / 512.0;
            double shape = std::sin(t * Pi) * (0.6 + 0.4 * std::sin(t * 9 + dune.phase));
            cairo_line_to(cr, x, dune.y - dune.amplitude * shape - 10 * std::sin(t * Pi));
        }
        cairo_line_to(cr, 512, 440);
        cairo_close_path(cr);
        cairo_pattern_t* shade = cairo_pattern_create_linear(60, 0, 452, 0);
        cairo_pattern_add_color_stop_rgb(shade, 0, dune.light[0], dune.light[1], dune.light[2]);
        cairo_pattern_add_color_stop_rgb(shade, 1, dune.dark[0], dune.dark[1], dune.dark[2]);
        cairo_set_source(cr, shade);
        cairo_fill(cr);
        cairo_pattern_destroy(shade);
    }
}

// Fades the dunes out towards the left, right and bottom, into the black around the logo.
static void LogoVignette(cairo_t* cr)
{
    cairo_pattern_t* fade = cairo_pattern_create_radial(256, 250, 170, 256, 250, 256);
    cairo_pattern_add_color_stop_rgba(fade, 0, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(fade, 1, 0, 0, 0, 1);
    cairo_set_source(cr, fade);
    cairo_paint(cr);
    cairo_pattern_destroy(fade);
}

// The loading bar is multiplied into the logo across its middle (rows 256..272), so the logo
// carries a light metal track there for the bar to show on.
static void LogoBarTrack(cairo_t* cr)
{
    cairo_pattern_t* metal = cairo_pattern_create_linear(0, 254, 0, 274);
    cairo_pattern_add_color_stop_rgb(metal, 0, 0.55, 0.5, 0.42);
    cairo_pattern_add_color_stop_rgb(metal, 0.15, 0.95, 0.92, 0.84);
    cairo_pattern_add_color_stop_rgb(metal, 0.6, 0.82, 0.78, 0.7);
    cairo_pattern_add_color_stop_rgb(metal, 1, 0.45, 0.4, 0.32);
    RoundedRect(cr, 4, 254, 504, 20, 4);
    cairo_set_source(cr, metal);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(metal);
    cairo_set_source_rgb(cr, 0.22, 0.16, 0.1);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
}

// The logo: the name in bold metal letters over a desert sun setting behind dunes.
static void DrawLogo(Canvas& canvas, ArtRandom&)
{
    cairo_t* cr = canvas.cr;
    PaintBlack(canvas);
    LogoSun(cr);
    LogoDunes(cr);
    LogoVignette(cr);
    MetalText(cr, "KORAX", 256, 362, 122, 10);
    MetalText(cr, "3050", 256, 446, 68, 8);
    cairo_set_source_rgb(cr, 0.86, 0.66, 0.36);
    cairo_rectangle(cr, 76, 420, 88, 4);
    cairo_rectangle(cr, 348, 420, 88, 4);
    cairo_fill(cr);
    LogoBarTrack(cr);
}

// ---- the intro --------------------------------------------------------------------------------------

// The picture the intro builds from sand grains: the name over a line of dunes. Only its blue
// channel counts, as one value per grain (blue - 1; blue 0 = no grain), running from high at the
// top of the picture to lower at the bottom. Red and green only make it look like sand to people.
static void DrawParticlePicture(Canvas& canvas, ArtRandom&)
{
    Canvas mask = NewCanvas(canvas.width, canvas.height);
    cairo_t* cr = mask.cr;
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    const char* lines[2] = {"KORAX", "3050"};
    const double sizes[2] = {62, 46}, baselines[2] = {86, 146};
    for (int i = 0; i < 2; i++) {
        cairo_set_font_size(cr, sizes[i]);
        cairo_text_extents_t extents;
        cairo_text_extents(cr, lines[i], &extents);
        cairo_move_to(cr, canvas.width / 2.0 - extents.width / 2 - extents.x_bearing, baselines[i]);
        cairo_text_path(cr, lines[i]);
    }
    cairo_move_to(cr, 8, 178);
    for (int x = 8; x <= 248; x += 4) cairo_line_to(cr, x, 170 - 6 * std::sin((x - 8) / 240.0 * Pi * 3));
    cairo_line_to(cr, 248, 176);
    for (int x = 248; x >= 8; x -= 4) cairo_line_to(cr, x, 175 - 6 * std::sin((x - 8) / 240.0 * Pi * 3));
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
    cairo_surface_flush(mask.surface);
    Glow glow = NewGlow(canvas);
    const unsigned char* data = cairo_image_surface_get_data(mask.surface);
    int stride = cairo_image_surface_get_stride(mask.surface);
    for (int y = 0; y < canvas.height; y++)
        for (int x = 0; x < canvas.width; x++) {
            double cover = (((const uint32_t*)(data + size_t(y) * size_t(stride)))[x] >> 24) / 255.0;
            if (cover < 0.35) continue;
            double value = (0.8 - 0.45 * y / canvas.height) * cover;
            glow.pixels[size_t(y * canvas.width + x)] = Rgb{0.96 * cover, 0.74 * cover, value};
        }
    FreeCanvas(mask);
    PutGlow(canvas, glow);
}

// A sand grain of the intro: a round ochre grain lit from the top left.
static void DrawSandGrain(Canvas& canvas, ArtRandom&)
{
    cairo_t* cr = canvas.cr;
    cairo_pattern_t* grain = cairo_pattern_create_radial(3.0, 3.0, 0.3, 4, 4, 3.6);
    cairo_pattern_add_color_stop_rgb(grain, 0, 1.0, 0.9, 0.66);
    cairo_pattern_add_color_stop_rgb(grain, 0.5, 0.86, 0.62, 0.32);
    cairo_pattern_add_color_stop_rgb(grain, 1, 0.56, 0.36, 0.16);
    cairo_arc(cr, 4, 4, 3.4, 0, 2 * Pi);
    cairo_set_source(cr, grain);
    cairo_fill(cr);
    cairo_pattern_destroy(grain);
}

// A star of the space scene: a bright point with a soft halo, four long spikes and four short.
static void DrawStar(Canvas& canvas, ArtRandom&)
{
    Glow glow = NewGlow(canvas);
    double c = canvas.width / 2.0;
    for (int y = 0; y < glow.height; y++)
        for (int x = 0; x < glow.width; x++) {
            double dx = x + 0.5 - c, dy = y + 0.5 - c, r = std::sqrt(dx * dx + dy * dy);
            double spikes = std::exp(-std::abs(dx) * 1.6) * std::exp(-std::abs(dy) / 6.0) + std::exp(-std::abs(dy) * 1.6) * std::exp(-std::abs(dx) / 6.0);
            double u = (dx + dy) / std::sqrt(2.0), v = (dx - dy) / std::sqrt(2.0);
            spikes += 0.5 * (std::exp(-std::abs(u) * 1.8) * std::exp(-std::abs(v) / 2.5) + std::exp(-std::abs(v) * 1.8) * std::exp(-std::abs(u) / 2.5));
            double light = std::exp(-r * r / 4.0) + 0.35 * std::exp(-r / 3.5) + 1.1 * spikes;
            light *= 1.0 - SmoothStep(0.8 * c, c, r);
            glow.pixels[size_t(y * glow.width + x)] = Scale(Mix(Bytes(170, 200, 255), Bytes(255, 255, 255), std::min(1.0, light)), std::min(1.0, light));
        }
    PutGlow(canvas, glow);
}

// ---- the table of pictures -------------------------------------------------------------------------

// How a picture is written: keyed BMP (black transparent) or JPEG.
enum EffectFormat { KeyedBmp, Jpeg };

// One picture of this file and how it is drawn.
struct EffectPicture {
    const char* path;
    void (*draw)(Canvas&, ArtRandom&);
    EffectFormat format;
};

static const EffectPicture EffectPictures[] = {
    {"BMP\\Explosion_-1.bmp", DrawFlash, KeyedBmp},
    {"BMP\\Explosion_0.bmp", DrawDebris, KeyedBmp},
    {"BMP\\Explosion_1.bmp", DrawFireCloud, KeyedBmp},
    {"BMP\\Explosion_2.bmp", DrawBlast, KeyedBmp},
    {"BMP\\Rauch.bmp", DrawRauch, KeyedBmp},
    {"BMP\\Rauch2.bmp", DrawRauch2, KeyedBmp},
    {"BMP\\Sandsturm.bmp", DrawSandsturm, KeyedBmp},
    {"BMP\\R.jpg", DrawRoundLight, Jpeg},
    {"BMP\\Kegel3.jpg", DrawCone, Jpeg},
    {"BMP\\Licht.jpg", DrawLicht, Jpeg},
    {"BMP\\Sonne.jpg", DrawSonne, Jpeg},
    {"BMP\\text9.jpg", DrawPlanet, Jpeg},
    {"BMP\\LOGO.JPG", DrawLogo, Jpeg},
    {"BMP\\Unbenannt.bmp", DrawParticlePicture, KeyedBmp},
    {"BMP\\Sand.bmp", DrawSandGrain, KeyedBmp},
    {"BMP\\Stern.bmp", DrawStar, KeyedBmp},
};

void DrawEffects()
{
    for (const EffectPicture& picture : EffectPictures) {
        Canvas canvas = NewCanvasFor(picture.path);
        ArtRandom random = SeededRandom(picture.path);
        picture.draw(canvas, random);
        if (picture.format == Jpeg) SaveJpeg(canvas, picture.path);
        else SaveKeyedBmp(canvas, picture.path);
        FreeCanvas(canvas);
    }
}
