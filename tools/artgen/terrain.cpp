// tools/artgen/terrain.cpp - the ground: the source textures that the tile maker blends into
// transition tiles, the fog tile, the resource fields and the decorations on the sand.
//
// The tile maker turns every source texture by quarter turns and lays the turned copies next to
// each other at random, so a texture must join not only itself but every turned copy of itself.
// The gradient noise below guarantees that: the lattice gradients along the top row and the left
// column are one sequence turned by a quarter and reversed against itself, so along every edge
// the noise has the same values and the same slope across the edge, whichever way the copy on
// the other side is turned. Specks, pebbles and cracks stay clear of the border, and the light is
// kept soft, because a turned copy turns its shading with it.
#include "artgen.h"

#include <algorithm>
#include <cmath>
#include <vector>

static constexpr int TextureSide = 64;
static constexpr double Pi = 3.14159265358979323846;

// Kept to this file, because shading.h declares another Rgb (channels 0..255) for units and icons.
namespace {

// A colour with channels 0..1 while a picture is made pixel by pixel.
struct Rgb {
    double r, g, b;
};

// Values per pixel of a 64 x 64 texture, row-major, top row first.
using Field = std::vector<double>;

// One octave of gradient noise on a lattice of cells x cells that wraps at the tile edge.
struct Lattice {
    int cells = 0;
    std::vector<double> gx, gy; // gradient per lattice point, cells * cells, row-major
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

// Writes colours into the whole canvas as opaque pixels.
static void PutOpaque(Canvas& canvas, const std::vector<Rgb>& pixels)
{
    cairo_surface_flush(canvas.surface);
    unsigned char* data = cairo_image_surface_get_data(canvas.surface);
    int stride = cairo_image_surface_get_stride(canvas.surface);
    for (int y = 0; y < canvas.height; y++) {
        uint32_t* row = (uint32_t*)(data + size_t(y) * size_t(stride));
        for (int x = 0; x < canvas.width; x++) {
            Rgb c = pixels[size_t(y * canvas.width + x)];
            row[x] = 0xFF000000u | (ToByte(c.r) << 16) | (ToByte(c.g) << 8) | ToByte(c.b);
        }
    }
    cairo_surface_mark_dirty(canvas.surface);
}

// ---- seamless noise ------------------------------------------------------------------------------

// Sets the gradient of lattice point (x, y).
static void SetGradient(Lattice& lattice, int x, int y, double gx, double gy)
{
    size_t i = size_t(y * lattice.cells + x);
    lattice.gx[i] = gx;
    lattice.gy[i] = gy;
}

// A lattice of random gradients whose border is fit for turned neighbours. Point j of the left
// column holds (across, along) = (b, a) and point cells - j holds its negative, which makes the
// values along the edge read the same both ways and the slope across it change sign; the top row
// holds the same pairs turned by a quarter. The corner gets no gradient at all.
static Lattice MakeLattice(ArtRandom& random, int cells)
{
    Lattice lattice;
    lattice.cells = cells;
    lattice.gx.resize(size_t(cells * cells));
    lattice.gy.resize(size_t(cells * cells));
    for (size_t i = 0; i < lattice.gx.size(); i++) {
        double angle = RandomRange(random, 0, 2 * Pi);
        lattice.gx[i] = std::cos(angle);
        lattice.gy[i] = std::sin(angle);
    }
    SetGradient(lattice, 0, 0, 0, 0);
    if (cells % 2 == 0) {
        SetGradient(lattice, 0, cells / 2, 0, 0);
        SetGradient(lattice, cells / 2, 0, 0, 0);
    }
    for (int j = 1; j < cells - j; j++) {
        int mirror = cells - j;
        double angle = RandomRange(random, 0, 2 * Pi);
        double a = std::sin(angle), b = std::cos(angle);
        SetGradient(lattice, 0, j, b, a);
        SetGradient(lattice, 0, mirror, -b, -a);
        SetGradient(lattice, j, 0, a, -b);
        SetGradient(lattice, mirror, 0, -a, b);
    }
    return lattice;
}

// The quintic fade: flat at both ends, so the noise has no crease at lattice lines.
static double Fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

// The contribution of lattice point (x, y), wrapped, at the offset (dx, dy) from it.
static double Ramp(const Lattice& lattice, int x, int y, double dx, double dy)
{
    int n = lattice.cells;
    size_t i = size_t(((y % n) + n) % n * n + ((x % n) + n) % n);
    return lattice.gx[i] * dx + lattice.gy[i] * dy;
}

// The noise at a position in texture pixels (pixel centres lie at x + 0.5).
static double SampleLattice(const Lattice& lattice, double u, double v)
{
    double fx = u * lattice.cells / TextureSide, fy = v * lattice.cells / TextureSide;
    int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
    double dx = fx - x0, dy = fy - y0, tx = Fade(dx), ty = Fade(dy);
    double top = Ramp(lattice, x0, y0, dx, dy) + (Ramp(lattice, x0 + 1, y0, dx - 1, dy) - Ramp(lattice, x0, y0, dx, dy)) * tx;
    double bottom = Ramp(lattice, x0, y0 + 1, dx, dy - 1) +
                    (Ramp(lattice, x0 + 1, y0 + 1, dx - 1, dy - 1) - Ramp(lattice, x0, y0 + 1, dx, dy - 1)) * tx;
    return top + (bottom - top) * ty;
}

// Stretches a field to the range 0..1.
static void Normalise(Field& field)
{
    auto [low, high] = std::minmax_element(field.begin(), field.end());
    double lo = *low, span = std::max(1e-9, *high - *low);
    for (double& v : field) v = (v - lo) / span;
}

// Fractal noise over the tile: octaves from `firstCells` lattice cells upward, each a little more
// than twice as fine and `persistence` times as strong as the one before; stretched to 0..1.
// The lattices of 2n + 1 cells never share an inner line, so no grid shows through, and with an
// odd count no lattice point sits in the middle of an edge, where the border rule forces zero.
static Field SeamlessNoise(ArtRandom& random, int firstCells, int octaves, double persistence)
{
    Field field(size_t(TextureSide * TextureSide), 0.0);
    double amplitude = 1.0;
    for (int octave = 0, cells = firstCells; octave < octaves && cells <= TextureSide; octave++, cells = cells * 2 + 1) {
        Lattice lattice = MakeLattice(random, cells);
        for (int y = 0; y < TextureSide; y++)
            for (int x = 0; x < TextureSide; x++)
                field[size_t(y * TextureSide + x)] += amplitude * SampleLattice(lattice, x + 0.5, y + 0.5);
        amplitude *= persistence;
    }
    Normalise(field);
    return field;
}

// The field value at (x, y), wrapped at the tile edge.
static double At(const Field& field, int x, int y)
{
    x = (x + TextureSide) % TextureSide;
    y = (y + TextureSide) % TextureSide;
    return field[size_t(y * TextureSide + x)];
}

// How much a point of a height field bulges (above 0) or hollows (below 0); light falls on the
// bulges and gathers less in the hollows whichever way the texture is turned.
static double Bulge(const Field& height, int x, int y)
{
    return 4 * At(height, x, y) - At(height, x - 1, y) - At(height, x + 1, y) - At(height, x, y - 1) - At(height, x, y + 1);
}

// A soft top-left light on a height field: above 0 where the ground faces the light.
static double Facing(const Field& height, int x, int y)
{
    return (At(height, x + 1, y) - At(height, x - 1, y) + At(height, x, y + 1) - At(height, x, y - 1)) * 0.5;
}

// A line along the level `level` of a field, `width` pixels wide wherever the field runs steep
// or flat: 1 on the line, falling to 0 beside it.
static double ContourLine(const Field& field, int x, int y, double level, double width)
{
    double gx = (At(field, x + 1, y) - At(field, x - 1, y)) * 0.5, gy = (At(field, x, y + 1) - At(field, x, y - 1)) * 0.5;
    double d = (At(field, x, y) - level) / std::max(1e-4, std::sqrt(gx * gx + gy * gy)) / width;
    return std::exp(-d * d);
}

// ---- shapes drawn over the textures ---------------------------------------------------------------

// Fills the current path with a colour.
static void Fill(cairo_t* cr, Rgb c)
{
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
    cairo_fill(cr);
}

// A small irregular blob (pebble, clod, speck) as a closed path around (x, y).
static void BlobPath(cairo_t* cr, ArtRandom& random, double x, double y, double radius)
{
    const int corners = 7;
    double turn = RandomRange(random, 0, 2 * Pi);
    for (int i = 0; i < corners; i++) {
        double angle = turn + i * 2 * Pi / corners;
        double reach = radius * RandomRange(random, 0.7, 1.15);
        double px = x + std::cos(angle) * reach, py = y + std::sin(angle) * reach;
        if (i == 0) cairo_move_to(cr, px, py);
        else cairo_line_to(cr, px, py);
    }
    cairo_close_path(cr);
}

// How a scatter of specks looks: how many, how big, and the colours of a speck's darker rim, its
// body and its highlight towards the top left.
struct SpeckStyle {
    int count;
    double minRadius, maxRadius;
    Rgb dark, body, light;
    double opacity;
};

// Scatters specks over a canvas, each kept `margin` pixels inside the tile so that no speck is cut
// in half by the tile edge.
static void ScatterSpecks(Canvas& canvas, ArtRandom& random, const SpeckStyle& style, double margin)
{
    cairo_t* cr = canvas.cr;
    for (int i = 0; i < style.count; i++) {
        double radius = RandomRange(random, style.minRadius, style.maxRadius);
        double x = RandomRange(random, margin + radius, TextureSide - margin - radius);
        double y = RandomRange(random, margin + radius, TextureSide - margin - radius);
        double shade = RandomRange(random, 0.85, 1.12);
        ArtRandom shape = random;
        BlobPath(cr, shape, x + 0.35, y + 0.35, radius * 1.15);
        cairo_set_source_rgba(cr, style.dark.r, style.dark.g, style.dark.b, style.opacity * 0.8);
        cairo_fill(cr);
        BlobPath(cr, random, x, y, radius);
        Rgb body = Scale(style.body, shade);
        cairo_set_source_rgba(cr, body.r, body.g, body.b, style.opacity);
        cairo_fill(cr);
        if (radius > 0.9) {
            cairo_arc(cr, x - radius * 0.3, y - radius * 0.3, radius * 0.38, 0, 2 * Pi);
            cairo_set_source_rgba(cr, style.light.r, style.light.g, style.light.b, style.opacity * 0.8);
            cairo_fill(cr);
        }
    }
}

// A crack: a jagged line that wanders across the tile without touching its border.
static void DrawCrack(cairo_t* cr, ArtRandom& random, Rgb dark, Rgb rim, double width)
{
    const double margin = 4;
    double x = RandomRange(random, 12, 52), y = RandomRange(random, 12, 52);
    double heading = RandomRange(random, 0, 2 * Pi);
    int steps = RandomInt(random, 5, 9);
    std::vector<double> points{x, y};
    for (int i = 0; i < steps; i++) {
        heading += RandomRange(random, -0.8, 0.8);
        double length = RandomRange(random, 2.5, 5.0);
        double nx = x + std::cos(heading) * length, ny = y + std::sin(heading) * length;
        if (nx < margin || ny < margin || nx > TextureSide - margin || ny > TextureSide - margin) break;
        x = nx;
        y = ny;
        points.push_back(x);
        points.push_back(y);
    }
    // First a pale lip a little below and right of the crack, then the crack itself.
    for (int pass = 0; pass < 2; pass++) {
        double shift = pass == 0 ? 0.6 : 0;
        cairo_move_to(cr, points[0] + shift, points[1] + shift);
        for (size_t i = 2; i < points.size(); i += 2) cairo_line_to(cr, points[i] + shift, points[i + 1] + shift);
        Rgb c = pass == 0 ? rim : dark;
        cairo_set_source_rgba(cr, c.r, c.g, c.b, pass == 0 ? 0.5 : 0.85);
        cairo_set_line_width(cr, pass == 0 ? width + 0.8 : width);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
    }
}

// ---- the source textures ---------------------------------------------------------------------------

// Fine per-pixel grain: white noise joins any neighbour, so it needs no care at the border.
static double Grain(ArtRandom& random, double strength) { return 1.0 + RandomRange(random, -strength, strength); }

// Dark, fertile, crumbly earth: clods with soft hollows between them.
static void DrawErde(Canvas& canvas, ArtRandom& random)
{
    Field clods = SeamlessNoise(random, 7, 2, 0.5);
    Field tone = SeamlessNoise(random, 5, 2, 0.5);
    Rgb low = Bytes(58, 38, 22), high = Bytes(118, 80, 48), reddish = Bytes(112, 64, 40);
    std::vector<Rgb> pixels(size_t(TextureSide * TextureSide));
    for (int y = 0; y < TextureSide; y++)
        for (int x = 0; x < TextureSide; x++) {
            size_t i = size_t(y * TextureSide + x);
            Rgb c = Mix(low, high, 0.3 + 0.5 * clods[i]);
            c = Mix(c, reddish, 0.3 * tone[i]);
            double light = 1.0 + 1.2 * Bulge(clods, x, y) + 0.5 * Facing(clods, x, y);
            pixels[i] = Scale(c, light * Grain(random, 0.06));
        }
    PutOpaque(canvas, pixels);
    ScatterSpecks(canvas, random, SpeckStyle{26, 0.7, 1.6, Bytes(40, 26, 14), Bytes(92, 62, 38), Bytes(140, 104, 70), 0.9}, 0.5);
    ScatterSpecks(canvas, random, SpeckStyle{6, 0.5, 0.9, Bytes(70, 56, 40), Bytes(150, 128, 100), Bytes(190, 170, 140), 0.9}, 0.5);
}

// The tone of the warm sand, shared by the resource grounds that lie on sand.
static std::vector<Rgb> SandPixels(ArtRandom& random, Rgb low, Rgb high, double rippleStrength)
{
    Field body = SeamlessNoise(random, 5, 3, 0.5);
    Field flow = SeamlessNoise(random, 5, 2, 0.4);
    std::vector<Rgb> pixels(size_t(TextureSide * TextureSide));
    for (int y = 0; y < TextureSide; y++)
        for (int x = 0; x < TextureSide; x++) {
            size_t i = size_t(y * TextureSide + x);
            // Ripples follow the contour lines of a slow field, so they curl without a wind
            // direction that a turned copy would contradict.
            double ripple = std::sin(2 * Pi * 6.0 * flow[i]);
            double light = 1.0 + rippleStrength * ripple + 0.5 * Bulge(body, x, y);
            pixels[i] = Scale(Mix(low, high, 0.3 + 0.45 * body[i]), light * Grain(random, 0.035));
        }
    return pixels;
}

// Warm light sand with fine ripples.
static void DrawSand(Canvas& canvas, ArtRandom& random)
{
    PutOpaque(canvas, SandPixels(random, Bytes(198, 142, 74), Bytes(234, 186, 114), 0.045));
    ScatterSpecks(canvas, random, SpeckStyle{14, 0.4, 0.8, Bytes(150, 104, 56), Bytes(176, 126, 72), Bytes(240, 206, 150), 0.8}, 0.5);
}

// Pale desert dust over hard, slightly darker pans, with a few pebbles.
static void DrawWueste(Canvas& canvas, ArtRandom& random)
{
    Field dust = SeamlessNoise(random, 5, 4, 0.55);
    Field pans = SeamlessNoise(random, 5, 2, 0.45);
    Rgb low = Bytes(206, 182, 132), high = Bytes(238, 222, 178), pan = Bytes(196, 170, 124);
    std::vector<Rgb> pixels(size_t(TextureSide * TextureSide));
    for (int y = 0; y < TextureSide; y++)
        for (int x = 0; x < TextureSide; x++) {
            size_t i = size_t(y * TextureSide + x);
            Rgb c = Mix(low, high, 0.15 + 0.75 * dust[i]);
            double panShare = std::clamp((pans[i] - 0.55) * 4.0, 0.0, 1.0);
            c = Mix(c, pan, 0.6 * panShare);
            pixels[i] = Scale(c, (1.0 + 0.4 * Bulge(dust, x, y)) * Grain(random, 0.03));
        }
    PutOpaque(canvas, pixels);
    ScatterSpecks(canvas, random, SpeckStyle{12, 0.6, 1.4, Bytes(120, 104, 84), Bytes(166, 148, 122), Bytes(220, 206, 184), 0.95}, 0.5);
}

// Grey-brown rock: ridged boulders whose creases run together into dark fissures.
static void DrawStein(Canvas& canvas, ArtRandom& random)
{
    Field base = SeamlessNoise(random, 5, 3, 0.5);
    Field tone = SeamlessNoise(random, 5, 2, 0.5);
    Field ridged(base.size());
    // Folding the noise at its middle leaves a sharp crease wherever it crossed the middle.
    for (size_t i = 0; i < base.size(); i++) ridged[i] = std::sqrt(std::abs(2 * base[i] - 1));
    Rgb low = Bytes(84, 74, 64), high = Bytes(168, 154, 134), warm = Bytes(150, 118, 86);
    std::vector<Rgb> pixels(size_t(TextureSide * TextureSide));
    for (int y = 0; y < TextureSide; y++)
        for (int x = 0; x < TextureSide; x++) {
            size_t i = size_t(y * TextureSide + x);
            Rgb c = Mix(Mix(low, high, 0.15 + 0.75 * ridged[i]), warm, 0.35 * tone[i]);
            double light = 1.0 + 0.5 * Bulge(ridged, x, y) + 0.35 * Facing(ridged, x, y);
            pixels[i] = Scale(c, light * Grain(random, 0.035));
        }
    PutOpaque(canvas, pixels);
    for (int i = 0; i < 2; i++) DrawCrack(canvas.cr, random, Bytes(62, 54, 46), Bytes(176, 162, 142), RandomRange(random, 0.6, 0.9));
    ScatterSpecks(canvas, random, SpeckStyle{8, 0.6, 1.2, Bytes(70, 62, 54), Bytes(128, 118, 104), Bytes(186, 176, 160), 0.9}, 0.5);
}

// Sand with rich orange-red spice specks and a rusty stain.
static void DrawSpice(Canvas& canvas, ArtRandom& random)
{
    std::vector<Rgb> pixels = SandPixels(random, Bytes(196, 128, 66), Bytes(226, 162, 96), 0.03);
    Field stain = SeamlessNoise(random, 5, 4, 0.5);
    for (size_t i = 0; i < pixels.size(); i++) pixels[i] = Mix(pixels[i], Bytes(190, 84, 40), 0.45 * stain[i]);
    PutOpaque(canvas, pixels);
    ScatterSpecks(canvas, random, SpeckStyle{70, 0.5, 1.2, Bytes(120, 36, 14), Bytes(212, 78, 28), Bytes(252, 156, 70), 0.95}, 0.5);
    ScatterSpecks(canvas, random, SpeckStyle{12, 1.2, 2.0, Bytes(110, 30, 12), Bytes(198, 60, 22), Bytes(250, 140, 60), 0.95}, 0.5);
}

// Sand with bluish and violet crystal specks.
static void DrawSmyron(Canvas& canvas, ArtRandom& random)
{
    std::vector<Rgb> pixels = SandPixels(random, Bytes(200, 160, 104), Bytes(230, 196, 140), 0.03);
    Field tint = SeamlessNoise(random, 5, 4, 0.5);
    for (size_t i = 0; i < pixels.size(); i++) pixels[i] = Mix(pixels[i], Bytes(150, 120, 160), 0.35 * tint[i]);
    PutOpaque(canvas, pixels);
    ScatterSpecks(canvas, random, SpeckStyle{45, 0.5, 1.1, Bytes(60, 40, 110), Bytes(128, 92, 210), Bytes(214, 196, 255), 0.95}, 0.5);
    ScatterSpecks(canvas, random, SpeckStyle{20, 0.5, 1.0, Bytes(40, 60, 120), Bytes(84, 130, 220), Bytes(196, 226, 255), 0.95}, 0.5);
}

// Water: deep green-blue with bright wavering lines where the light is bent.
static void DrawWasser(Canvas& canvas, ArtRandom& random)
{
    Field depth = SeamlessNoise(random, 5, 3, 0.5);
    Field waves = SeamlessNoise(random, 5, 2, 0.4);
    Rgb deep = Bytes(22, 66, 96), shallow = Bytes(52, 120, 146), glint = Bytes(170, 220, 230);
    std::vector<Rgb> pixels(size_t(TextureSide * TextureSide));
    for (int y = 0; y < TextureSide; y++)
        for (int x = 0; x < TextureSide; x++) {
            size_t i = size_t(y * TextureSide + x);
            double line = ContourLine(waves, x, y, 0.35, 0.6) + ContourLine(waves, x, y, 0.65, 0.6);
            Rgb c = Mix(deep, shallow, 0.2 + 0.7 * depth[i]);
            pixels[i] = Mix(c, glint, (0.1 + 0.35 * depth[i]) * line);
        }
    PutOpaque(canvas, pixels);
}

// The fog over unexplored land: nearly black, with a faint grain so it does not look like a hole.
static void DrawDunkel(Canvas& canvas, ArtRandom& random)
{
    Field murk = SeamlessNoise(random, 5, 3, 0.5);
    std::vector<Rgb> pixels(size_t(TextureSide * TextureSide));
    for (size_t i = 0; i < pixels.size(); i++) pixels[i] = Scale(Bytes(14, 12, 10), 0.8 + 0.4 * murk[i]);
    PutOpaque(canvas, pixels);
}

// ---- resource fields --------------------------------------------------------------------------------

// A spice field of growth stage 0..3, keyed over the ground: ever more and bigger heaps of spice.
static void DrawSpiceField(Canvas& canvas, ArtRandom& random, int stage)
{
    int heaps = 5 + 8 * stage;
    double biggest = 1.6 + 0.9 * stage;
    ScatterSpecks(canvas, random, SpeckStyle{heaps, 1.0, biggest, Bytes(112, 30, 10), Bytes(210, 74, 26), Bytes(252, 160, 74), 1.0}, 3);
    ScatterSpecks(canvas, random, SpeckStyle{heaps * 2, 0.8, 1.3, Bytes(130, 40, 14), Bytes(232, 110, 40), Bytes(255, 190, 110), 1.0}, 3);
}

// One crystal seen from above: a pointed hexagon cut into a lit, a middle and a shaded facet.
static void DrawCrystal(cairo_t* cr, double x, double y, double size, double angle, Rgb colour)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, angle);
    const double shape[6][2] = {{0, -1.0}, {0.45, -0.35}, {0.4, 0.6}, {0, 1.0}, {-0.4, 0.6}, {-0.45, -0.35}};
    cairo_move_to(cr, shape[0][0] * size, shape[0][1] * size);
    for (int i = 1; i < 6; i++) cairo_line_to(cr, shape[i][0] * size, shape[i][1] * size);
    cairo_close_path(cr);
    Rgb dark = Scale(colour, 0.45);
    cairo_set_source_rgb(cr, dark.r, dark.g, dark.b);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);
    // The ridge splits the crystal; the side towards the top-left light is the bright one.
    cairo_move_to(cr, 0, -size);
    cairo_line_to(cr, -0.45 * size, -0.35 * size);
    cairo_line_to(cr, -0.4 * size, 0.6 * size);
    cairo_line_to(cr, 0, size);
    cairo_close_path(cr);
    Rgb light = Mix(colour, Bytes(255, 255, 255), 0.45);
    cairo_set_source_rgb(cr, light.r, light.g, light.b);
    cairo_fill(cr);
    cairo_restore(cr);
}

// A crystal field of growth stage 0..3: clusters of violet and blue crystals that grow in
// number and size, each cluster a star of shards pointing away from its root.
static void DrawSmyronField(Canvas& canvas, ArtRandom& random, int stage)
{
    const Rgb colours[3] = {Bytes(156, 104, 232), Bytes(100, 134, 236), Bytes(194, 126, 226)};
    int clusters = 3 + 2 * stage;
    for (int c = 0; c < clusters; c++) {
        double size = RandomRange(random, 2.8 + 0.6 * stage, 3.6 + 1.3 * stage);
        double cx = RandomRange(random, 4 + size, TextureSide - 4 - size), cy = RandomRange(random, 4 + size, TextureSide - 4 - size);
        int shards = RandomInt(random, 2 + stage / 2, 3 + stage);
        double turn = RandomRange(random, 0, 2 * Pi);
        Rgb colour = colours[RandomInt(random, 0, 2)];
        for (int k = 0; k < shards; k++) {
            double angle = turn + k * 2 * Pi / shards + RandomRange(random, -0.3, 0.3);
            double s = size * RandomRange(random, 0.65, 1.0);
            DrawCrystal(canvas.cr, cx + std::sin(angle) * s * 0.6, cy - std::cos(angle) * s * 0.6, s, angle, colour);
        }
        cairo_arc(canvas.cr, cx, cy, 0.7 + 0.2 * stage, 0, 2 * Pi);
        Fill(canvas.cr, Bytes(236, 226, 255));
    }
}

// ---- decorations --------------------------------------------------------------------------------------

// One palm frond from the crown outwards: a tapering leaf with a light midrib and ragged edges.
static void DrawFrond(cairo_t* cr, ArtRandom& random, double angle, double length, Rgb leaf)
{
    cairo_save(cr);
    cairo_rotate(cr, angle);
    double width = length * 0.22;
    cairo_move_to(cr, 2, 0);
    const int teeth = 7;
    for (int i = 1; i <= teeth; i++) {
        double t = double(i) / teeth, w = width * std::sin(Pi * std::min(1.0, t * 1.1)) * (i % 2 ? 1.0 : 0.65);
        cairo_line_to(cr, 2 + t * length, -w);
    }
    for (int i = teeth; i >= 1; i--) {
        double t = double(i) / teeth, w = width * std::sin(Pi * std::min(1.0, t * 1.1)) * (i % 2 ? 0.65 : 1.0);
        cairo_line_to(cr, 2 + t * length, w);
    }
    cairo_close_path(cr);
    Fill(cr, Scale(leaf, RandomRange(random, 0.85, 1.1)));
    cairo_move_to(cr, 2, 0);
    cairo_line_to(cr, 2 + length * 0.95, 0);
    Rgb rib = Mix(leaf, Bytes(230, 220, 140), 0.55);
    cairo_set_source_rgb(cr, rib.r, rib.g, rib.b);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    cairo_restore(cr);
}

// A desert palm from above: a crown of fronds around a small brown heart.
static void DrawPalm(Canvas& canvas, ArtRandom& random)
{
    cairo_t* cr = canvas.cr;
    cairo_translate(cr, 32, 32);
    const int fronds = 9;
    for (int layer = 0; layer < 2; layer++)
        for (int i = 0; i < fronds; i++) {
            double angle = (i + 0.5 * layer) * 2 * Pi / fronds + RandomRange(random, -0.15, 0.15);
            double length = layer == 0 ? RandomRange(random, 24, 29) : RandomRange(random, 15, 20);
            DrawFrond(cr, random, angle, length, layer == 0 ? Bytes(70, 110, 40) : Bytes(104, 146, 54));
        }
    cairo_arc(cr, 0, 0, 4.5, 0, 2 * Pi);
    Fill(cr, Bytes(112, 78, 44));
    cairo_arc(cr, -1.2, -1.2, 2.2, 0, 2 * Pi);
    Fill(cr, Bytes(150, 112, 66));
}

// A barrel cactus from above: ribs like the spokes of a wheel, spines on the ribs, a pink
// flower on top, and two young ones beside it.
static void DrawBarrelCactus(cairo_t* cr, double x, double y, double radius, int ribs, int flower)
{
    cairo_arc(cr, x, y, radius, 0, 2 * Pi);
    Fill(cr, Bytes(46, 96, 52));
    cairo_pattern_t* light = cairo_pattern_create_radial(x - radius * 0.35, y - radius * 0.35, 0, x, y, radius);
    cairo_pattern_add_color_stop_rgba(light, 0, 0.55, 0.78, 0.45, 1);
    cairo_pattern_add_color_stop_rgba(light, 1, 0.2, 0.42, 0.22, 1);
    cairo_arc(cr, x, y, radius * 0.92, 0, 2 * Pi);
    cairo_set_source(cr, light);
    cairo_fill(cr);
    cairo_pattern_destroy(light);
    for (int i = 0; i < ribs; i++) {
        double a = i * 2 * Pi / ribs;
        cairo_move_to(cr, x + std::cos(a) * radius * 0.2, y + std::sin(a) * radius * 0.2);
        cairo_line_to(cr, x + std::cos(a) * radius * 0.9, y + std::sin(a) * radius * 0.9);
        cairo_set_source_rgb(cr, 0.16, 0.32, 0.18);
        cairo_set_line_width(cr, 0.9);
        cairo_stroke(cr);
        for (double t = 0.4; t < 0.95; t += 0.25) {
            cairo_arc(cr, x + std::cos(a + 0.18) * radius * t, y + std::sin(a + 0.18) * radius * t, 0.55, 0, 2 * Pi);
            Fill(cr, Bytes(236, 226, 180));
        }
    }
    if (flower) {
        for (int i = 0; i < 6; i++) {
            double a = i * Pi / 3;
            cairo_arc(cr, x + std::cos(a) * 1.8, y + std::sin(a) * 1.8, 1.5, 0, 2 * Pi);
            Fill(cr, Bytes(234, 96, 140));
        }
        cairo_arc(cr, x, y, 1.3, 0, 2 * Pi);
        Fill(cr, Bytes(250, 214, 80));
    }
}

// A barrel cactus with two young ones beside it.
static void DrawKaktus3(Canvas& canvas, ArtRandom&)
{
    DrawBarrelCactus(canvas.cr, 28, 30, 16, 12, 1);
    DrawBarrelCactus(canvas.cr, 48, 46, 8, 9, 0);
    DrawBarrelCactus(canvas.cr, 46, 16, 6, 8, 0);
}

// One prickly pear pad: a lit oval with rows of spine dots.
static void DrawPad(cairo_t* cr, ArtRandom& random, double x, double y, double length, double angle)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, angle);
    cairo_save(cr);
    cairo_scale(cr, length, length * 0.66);
    cairo_arc(cr, 0, 0, 1, 0, 2 * Pi);
    cairo_restore(cr);
    Fill(cr, Bytes(62, 112, 58));
    cairo_save(cr);
    cairo_scale(cr, length * 0.82, length * 0.52);
    cairo_arc(cr, -0.12, -0.12, 1, 0, 2 * Pi);
    cairo_restore(cr);
    Fill(cr, Bytes(104, 156, 84));
    for (int i = 0; i < 7; i++) {
        cairo_arc(cr, RandomRange(random, -0.7, 0.7) * length, RandomRange(random, -0.4, 0.4) * length, 0.6, 0, 2 * Pi);
        Fill(cr, Bytes(240, 228, 170));
    }
    cairo_restore(cr);
}

// A prickly pear from above: flat pads fanning out from the middle, two red fruits on top.
static void DrawKaktus4(Canvas& canvas, ArtRandom& random)
{
    const double pads[7][4] = {{32, 34, 12, 0.3},   {18, 24, 10, -0.9}, {46, 22, 10, 0.8}, {20, 46, 9, 2.2},
                               {44, 46, 10, -2.3}, {32, 14, 8, 1.6},   {32, 52, 8, 1.4}};
    for (const auto& pad : pads) DrawPad(canvas.cr, random, pad[0], pad[1], pad[2], pad[3]);
    const double fruits[3][2] = {{24, 17}, {51, 27}, {14, 32}};
    for (const auto& fruit : fruits) {
        cairo_arc(canvas.cr, fruit[0], fruit[1], 2.6, 0, 2 * Pi);
        Fill(canvas.cr, Bytes(176, 40, 70));
        cairo_arc(canvas.cr, fruit[0] - 0.8, fruit[1] - 0.8, 1.0, 0, 2 * Pi);
        Fill(canvas.cr, Bytes(240, 120, 140));
    }
}

// A bleached bone as a thick stroke with round ends and a shaded underside.
static void Bone(cairo_t* cr, double x1, double y1, double x2, double y2, double width)
{
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, x1 + 0.6, y1 + 0.6);
    cairo_line_to(cr, x2 + 0.6, y2 + 0.6);
    cairo_set_source_rgb(cr, 0.6, 0.55, 0.46);
    cairo_set_line_width(cr, width + 0.8);
    cairo_stroke(cr);
    cairo_move_to(cr, x1, y1);
    cairo_line_to(cr, x2, y2);
    cairo_set_source_rgb(cr, 0.93, 0.9, 0.8);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

// A thin curved bone (rib, horn) from (x1, y1) bending through (cx, cy) to (x2, y2).
static void CurvedBone(cairo_t* cr, double x1, double y1, double cx, double cy, double x2, double y2, double width)
{
    for (int pass = 0; pass < 2; pass++) {
        double shift = pass == 0 ? 0.5 : 0;
        cairo_move_to(cr, x1 + shift, y1 + shift);
        cairo_curve_to(cr, cx + shift, cy + shift, cx + shift, cy + shift, x2 + shift, y2 + shift);
        if (pass == 0) cairo_set_source_rgb(cr, 0.6, 0.55, 0.46);
        else cairo_set_source_rgb(cr, 0.92, 0.89, 0.78);
        cairo_set_line_width(cr, pass == 0 ? width + 0.6 : width);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_stroke(cr);
    }
}

// An ellipse path around (x, y).
static void EllipsePath(cairo_t* cr, double x, double y, double rx, double ry)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, 0, 2 * Pi);
    cairo_restore(cr);
}

// The bleached skeleton of a large horned animal lying in the sand: head to the left, ribs
// arching out from the spine towards the tail, the pelvis and four leg bones.
static void DrawSkelett(Canvas& canvas, ArtRandom& random)
{
    cairo_t* cr = canvas.cr;
    cairo_translate(cr, 32, 33);
    cairo_rotate(cr, -0.45);
    Bone(cr, -10, -5, -17, -15, 2.0);
    Bone(cr, -8, 5, -13, 16, 2.0);
    Bone(cr, 13, -5, 19, -16, 2.0);
    Bone(cr, 15, 5, 23, 13, 2.0);
    for (int i = 0; i < 6; i++) {
        double x = -11 + i * 3.6, reach = 10.5 - std::abs(i - 1.5) * 1.2;
        for (int side = -1; side <= 1; side += 2)
            CurvedBone(cr, x, 0, x - 1, side * reach, x + 3 + RandomRange(random, -0.4, 0.4), side * (reach - 1.5), 1.5);
    }
    Bone(cr, -15, 0, 22, 0, 2.4);
    for (int i = 0; i < 4; i++) {
        cairo_arc(cr, 24 + i * 2.4, 0.6 * i, 1.0 - i * 0.15, 0, 2 * Pi);
        Fill(cr, Bytes(226, 218, 194));
    }
    EllipsePath(cr, 15, -3.5, 3.2, 3.6);
    EllipsePath(cr, 15, 3.5, 3.2, 3.6);
    Fill(cr, Bytes(222, 214, 188));
    EllipsePath(cr, 15.5, -3.2, 1.2, 1.4);
    EllipsePath(cr, 15.5, 3.2, 1.2, 1.4);
    Fill(cr, Bytes(120, 108, 88));
    CurvedBone(cr, -18, -3.5, -17, -11, -12, -12, 1.8);
    CurvedBone(cr, -18, 3.5, -17, 11, -12, 12, 1.8);
    EllipsePath(cr, -20, 0, 4.6, 4.2);
    Fill(cr, Bytes(236, 230, 210));
    cairo_move_to(cr, -22, -3.2);
    cairo_line_to(cr, -29.5, -1.6);
    cairo_line_to(cr, -29.5, 1.6);
    cairo_line_to(cr, -22, 3.2);
    cairo_close_path(cr);
    Fill(cr, Bytes(228, 220, 198));
    EllipsePath(cr, -21, -2.2, 1.3, 1.1);
    EllipsePath(cr, -21, 2.2, 1.3, 1.1);
    Fill(cr, Bytes(70, 58, 46));
}

// ---- the table of pictures -------------------------------------------------------------------------------

// One picture of the ground and how it is drawn; opaque pictures cover the whole tile.
struct GroundPicture {
    const char* path;
    void (*draw)(Canvas&, ArtRandom&);
    int opaque;
};

static const GroundPicture GroundPictures[] = {
    {"BMP\\B\\TEX_Erde.bmp", DrawErde, 1},
    {"BMP\\B\\TEX_Sand.bmp", DrawSand, 1},
    {"BMP\\B\\TEX_Wueste.bmp", DrawWueste, 1},
    {"BMP\\B\\TEX_Stein.bmp", DrawStein, 1},
    {"BMP\\B\\TEX_Spice.bmp", DrawSpice, 1},
    {"BMP\\B\\TEX_Smyron.bmp", DrawSmyron, 1},
    {"BMP\\B\\TEX_Wasser.bmp", DrawWasser, 1},
    {"BMP\\B\\Dunkel.bmp", DrawDunkel, 1},
    {"BMP\\B\\DEKO_Baum_1.bmp", DrawPalm, 0},
    {"BMP\\B\\DEKO_Kaktus_3.bmp", DrawKaktus3, 0},
    {"BMP\\B\\DEKO_Kaktus_4.bmp", DrawKaktus4, 0},
    {"BMP\\B\\DEKO_Skelett.bmp", DrawSkelett, 0},
};

// Draws and saves one picture of the table.
static void MakeGroundPicture(const GroundPicture& picture)
{
    Canvas canvas = NewCanvasFor(picture.path);
    ArtRandom random = SeededRandom(picture.path);
    picture.draw(canvas, random);
    if (picture.opaque) SaveOpaqueBmp(canvas, picture.path);
    else SaveKeyedBmp(canvas, picture.path);
    FreeCanvas(canvas);
}

// Draws and saves the four growth stages of both resources.
static void MakeResourceFields()
{
    for (int stage = 0; stage < 4; stage++) {
        for (int kind = 0; kind < 2; kind++) {
            std::string path = std::string(kind == 0 ? "BMP\\B\\Spice" : "BMP\\B\\Smyron") + char('0' + stage) + ".bmp";
            Canvas canvas = NewCanvasFor(path);
            ArtRandom random = SeededRandom(path);
            if (kind == 0) DrawSpiceField(canvas, random, stage);
            else DrawSmyronField(canvas, random, stage);
            SaveKeyedBmp(canvas, path);
            FreeCanvas(canvas);
        }
    }
}

void DrawTerrain()
{
    for (const GroundPicture& picture : GroundPictures) MakeGroundPicture(picture);
    MakeResourceFields();
}
