// launch/launchart.cpp - launchart <bmp> <png>: draws the launcher's picture.
//
// 350 x 410 pixels: the name in metal letters over a dusk sky, table mountains and dunes with
// Spice fields, and the five entries drawn in as plates along the right-hand band where the
// entry windows cut it (x 140..350, y 190..390, 40 pixels each). The same bytes on every run.
#include "platform/image.h"

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

static const double Pi = 3.14159265358979323846;
static const int Width = 350, Height = 410;

static void Stop(cairo_pattern_t* p, double at, int r, int g, int b, double a = 1.0)
{
    cairo_pattern_add_color_stop_rgba(p, at, r / 255.0, g / 255.0, b / 255.0, a);
}

static void Sky(cairo_t* cr)
{
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, 240);
    Stop(sky, 0.0, 22, 14, 40);
    Stop(sky, 0.45, 92, 38, 52);
    Stop(sky, 0.8, 196, 96, 52);
    Stop(sky, 1.0, 242, 170, 84);
    cairo_rectangle(cr, 0, 0, Width, 240);
    cairo_set_source(cr, sky);
    cairo_fill(cr);
    cairo_pattern_destroy(sky);
    // A few stars high up, placed by a fixed rule so every build draws the same sky.
    for (int i = 0; i < 40; i++) {
        double x = std::fmod(i * 97.3 + 13, Width), y = std::fmod(i * 53.7 + 7, 90);
        cairo_arc(cr, x, y, (i % 5 == 0) ? 1.1 : 0.6, 0, 2 * Pi);
        cairo_set_source_rgba(cr, 1, 0.95, 0.85, 0.25 + 0.5 * (1 - y / 90));
        cairo_fill(cr);
    }
}

static void Sun(cairo_t* cr)
{
    cairo_pattern_t* glow = cairo_pattern_create_radial(92, 214, 30, 92, 214, 170);
    Stop(glow, 0, 255, 190, 90, 0.55);
    Stop(glow, 1, 255, 140, 60, 0.0);
    cairo_set_source(cr, glow);
    cairo_paint(cr);
    cairo_pattern_destroy(glow);
    cairo_pattern_t* disc = cairo_pattern_create_linear(0, 160, 0, 270);
    Stop(disc, 0, 255, 240, 170);
    Stop(disc, 0.6, 250, 160, 60);
    Stop(disc, 1, 210, 80, 30);
    cairo_arc(cr, 92, 214, 50, 0, 2 * Pi);
    cairo_set_source(cr, disc);
    cairo_fill(cr);
    cairo_pattern_destroy(disc);
}

// Table mountains on the horizon, darker the nearer they stand.
static void Mesas(cairo_t* cr)
{
    struct Point { double x, y; };
    const Point far[] = {{0, 236}, {0, 214}, {14, 210}, {30, 212}, {38, 222}, {150, 226}, {160, 196}, {168, 182}, {236, 180},
                         {246, 194}, {258, 214}, {280, 216}, {292, 200}, {330, 198}, {340, 212}, {350, 214}, {350, 236}};
    cairo_move_to(cr, far[0].x, far[0].y);
    for (const Point& p : far) cairo_line_to(cr, p.x, p.y);
    cairo_close_path(cr);
    cairo_pattern_t* rock = cairo_pattern_create_linear(0, 180, 0, 236);
    Stop(rock, 0, 120, 58, 48);
    Stop(rock, 1, 70, 34, 34);
    cairo_set_source(cr, rock);
    cairo_fill(cr);
    cairo_pattern_destroy(rock);
    // The lit western cliff faces of the big mesa.
    cairo_move_to(cr, 160, 196);
    cairo_line_to(cr, 168, 182);
    cairo_line_to(cr, 176, 182);
    cairo_line_to(cr, 170, 226);
    cairo_line_to(cr, 150, 226);
    cairo_close_path(cr);
    cairo_set_source_rgba(cr, 0.95, 0.55, 0.3, 0.45);
    cairo_fill(cr);
}

static void Dunes(cairo_t* cr)
{
    struct Dune {
        double y, amplitude, phase, frequency;
        int light[3], dark[3];
    };
    const Dune dunes[4] = {{238, 6, 0.4, 2.0, {214, 140, 70}, {150, 84, 44}},
                           {262, 12, 1.9, 1.6, {226, 156, 80}, {160, 92, 46}},
                           {300, 16, 3.3, 1.3, {236, 172, 96}, {172, 104, 52}},
                           {346, 20, 5.0, 1.1, {244, 186, 110}, {184, 116, 60}}};
    for (const Dune& d : dunes) {
        cairo_move_to(cr, 0, Height);
        for (int x = 0; x <= Width; x += 2) {
            double t = double(x) / Width;
            cairo_line_to(cr, x, d.y - d.amplitude * std::sin(t * Pi * d.frequency + d.phase));
        }
        cairo_line_to(cr, Width, Height);
        cairo_close_path(cr);
        cairo_pattern_t* shade = cairo_pattern_create_linear(0, d.y - d.amplitude, 0, d.y + 60);
        Stop(shade, 0, d.light[0], d.light[1], d.light[2]);
        Stop(shade, 1, d.dark[0], d.dark[1], d.dark[2]);
        cairo_set_source(cr, shade);
        cairo_fill(cr);
        cairo_pattern_destroy(shade);
    }
}

// Red Spice fields on the dunes in front, each a cluster of soft blots.
static void Spice(cairo_t* cr)
{
    const double fields[3][3] = {{46, 318, 1.0}, {108, 372, 0.8}, {20, 384, 0.6}};
    for (const auto& f : fields)
        for (int i = 0; i < 14; i++) {
            double a = i * 2.39996, r = 4 + 2.2 * i;
            double x = f[0] + std::cos(a) * r * 1.6 * f[2], y = f[1] + std::sin(a) * r * 0.45 * f[2];
            cairo_save(cr);
            cairo_translate(cr, x, y);
            cairo_scale(cr, 1.8, 0.6);
            cairo_arc(cr, 0, 0, 5 * f[2] + (i % 3), 0, 2 * Pi);
            cairo_restore(cr);
            cairo_set_source_rgba(cr, 0.72, 0.12, 0.08, 0.55);
            cairo_fill(cr);
        }
}

// A harvester on the nearest dune, seen from the side: the machine the whole war is about.
static void Harvester(cairo_t* cr)
{
    cairo_save(cr);
    cairo_translate(cr, 62, 344);
    cairo_rotate(cr, -0.06);
    cairo_set_source_rgb(cr, 0.2, 0.12, 0.08);
    cairo_rectangle(cr, -26, -14, 44, 12);
    cairo_fill(cr);
    cairo_rectangle(cr, -8, -24, 20, 11);
    cairo_fill(cr);
    cairo_move_to(cr, 18, -12);
    cairo_line_to(cr, 32, -4);
    cairo_line_to(cr, 18, -2);
    cairo_close_path(cr);
    cairo_fill(cr);
    for (int i = 0; i < 4; i++) {
        cairo_arc(cr, -20 + i * 12, 0, 5, 0, 2 * Pi);
        cairo_fill(cr);
    }
    cairo_set_source_rgba(cr, 0.98, 0.75, 0.4, 0.8);
    cairo_rectangle(cr, -6, -22, 7, 4);
    cairo_fill(cr);
    cairo_restore(cr);
}

static cairo_pattern_t* Metal(double top, double bottom)
{
    cairo_pattern_t* metal = cairo_pattern_create_linear(0, top, 0, bottom);
    Stop(metal, 0.0, 255, 242, 204);
    Stop(metal, 0.45, 219, 168, 92);
    Stop(metal, 0.52, 133, 82, 36);
    Stop(metal, 0.75, 199, 133, 61);
    Stop(metal, 1.0, 250, 214, 143);
    return metal;
}

// A line of metal lettering centred on x with its baseline at y, dark-outlined.
static void MetalText(cairo_t* cr, const char* text, double x, double y, double size, double outline)
{
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text, &e);
    cairo_new_path(cr);
    cairo_move_to(cr, x - e.width / 2 - e.x_bearing, y);
    cairo_text_path(cr, text);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_source_rgb(cr, 0.14, 0.08, 0.04);
    cairo_set_line_width(cr, outline);
    cairo_stroke_preserve(cr);
    cairo_pattern_t* metal = Metal(y + e.y_bearing, y + e.y_bearing + e.height);
    cairo_set_source(cr, metal);
    cairo_fill(cr);
    cairo_pattern_destroy(metal);
}

static void Title(cairo_t* cr)
{
    MetalText(cr, "KORAX", 175, 78, 66, 6);
    MetalText(cr, "3050", 175, 126, 40, 5);
    cairo_set_source_rgb(cr, 0.86, 0.66, 0.36);
    cairo_rectangle(cr, 40, 108, 66, 3);
    cairo_rectangle(cr, 244, 108, 66, 3);
    cairo_fill(cr);
}

// The entry plates: dark glass with a metal rim over the landscape, the label in the lettering's
// metal, a small diamond in front. Entry k fills y 150 + 40k .. 190 + 40k right of x = 140.
static void Entries(cairo_t* cr)
{
    const char* labels[5] = {"Spielen", "Updaten", "Hilfe", "Homepage", "Beenden"};
    for (int k = 1; k <= 5; k++) {
        double top = 150 + 40 * k;
        double x = 146, y = top + 4, w = 198, h = 32, r = 6;
        cairo_new_sub_path(cr);
        cairo_arc(cr, x + w - r, y + r, r, -Pi / 2, 0);
        cairo_arc(cr, x + w - r, y + h - r, r, 0, Pi / 2);
        cairo_arc(cr, x + r, y + h - r, r, Pi / 2, Pi);
        cairo_arc(cr, x + r, y + r, r, Pi, 3 * Pi / 2);
        cairo_close_path(cr);
        cairo_pattern_t* glass = cairo_pattern_create_linear(0, y, 0, y + h);
        Stop(glass, 0, 60, 34, 20, 0.82);
        Stop(glass, 1, 20, 10, 6, 0.9);
        cairo_set_source(cr, glass);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(glass);
        cairo_pattern_t* rim = Metal(y, y + h);
        cairo_set_source(cr, rim);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        cairo_pattern_destroy(rim);
        // The diamond
        double dx = 164, dy = top + 20;
        cairo_move_to(cr, dx, dy - 6);
        cairo_line_to(cr, dx + 6, dy);
        cairo_line_to(cr, dx, dy + 6);
        cairo_line_to(cr, dx - 6, dy);
        cairo_close_path(cr);
        cairo_set_source_rgb(cr, 0.85, 0.25, 0.12);
        cairo_fill(cr);
        cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        cairo_set_font_size(cr, 19);
        cairo_new_path(cr);
        cairo_move_to(cr, 182, top + 27);
        cairo_text_path(cr, labels[k - 1]);
        cairo_pattern_t* metal = Metal(top + 12, top + 28);
        cairo_set_source(cr, metal);
        cairo_fill(cr);
        cairo_pattern_destroy(metal);
    }
}

static void Border(cairo_t* cr)
{
    cairo_rectangle(cr, 1, 1, Width - 2, Height - 2);
    cairo_set_source_rgb(cr, 0.16, 0.09, 0.05);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
}

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: launchart <bmp> <png>\n");
        return 2;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, Width, Height);
    cairo_t* cr = cairo_create(surface);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    Sky(cr);
    Sun(cr);
    Mesas(cr);
    Dunes(cr);
    Spice(cr);
    Harvester(cr);
    Title(cr);
    Entries(cr);
    Border(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);

    Image picture;
    MakeImage(picture, Width, Height, 0);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < Height; y++)
        for (int x = 0; x < Width; x++)
            picture.pixels[size_t(y * Width + x)] = reinterpret_cast<const uint32_t*>(data + y * stride)[x] | 0xFF000000u;
    std::ofstream bmp(argv[1], std::ios::binary | std::ios::trunc);
    bmp << EncodeBmp24(picture);
    int ok = bool(bmp) && cairo_surface_write_to_png(surface, argv[2]) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!ok) std::fprintf(stderr, "launchart: cannot write %s\n", argv[1]);
    return ok ? 0 : 1;
}
