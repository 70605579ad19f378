// tools/artgen/icons.cpp - shots (BMP\M\) and the interface pictures (BMP\ICON\): markers,
// pointers, colour tiles, loading bar, team marks, selection corners, sidebar symbols and buttons.
//
// Shots fly along their heading, and heading 0 is +x, so every M_ picture points to the right.
// M_Kugel to M_Ionen double as the weapon research icons, so each is a whole, centred object that
// also reads as a button picture. The S_ pictures are the trails that shots leave; effects are
// added onto the screen, so a trail is a soft glow on black, where black adds nothing.
#include "artgen.h"
#include "shading.h"

#include <cmath>
#include <string>

namespace {

const Rgb Steel = {150, 152, 150};
const Rgb Brass = {206, 164, 72};
const Rgb Gold = {236, 184, 60};
const Rgb LaserRed = {255, 50, 30};
const Rgb PlasmaGreen = {80, 255, 70};
const Rgb IonBlue = {80, 200, 255};
const Rgb Flame = {255, 150, 40};
const Rgb Spice = {236, 130, 36};
const Rgb Plate = {70, 66, 58};
const Rgb Light = {242, 236, 212};

// A bold stroke with a dark outline: the line drawn twice, wide dark then narrow in colour.
void OutlinedLine(cairo_t* cr, Rgb colour, double width, double outline = 1.4)
{
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    Use(cr, Outline);
    cairo_set_line_width(cr, width + 2 * outline);
    cairo_stroke(cr);
    cairo_append_path(cr, path);
    Use(cr, colour);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
    cairo_path_destroy(path);
}

// An opaque glowing ellipse: white-hot centre through the colour to a darker rim. Opaque, so
// the keying keeps all of it.
void HotEllipse(cairo_t* cr, double x, double y, double rx, double ry, Rgb c)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, rx, ry);
    cairo_pattern_t* g = cairo_pattern_create_radial(-0.2, -0.2, 0, 0, 0, 1);
    cairo_pattern_add_color_stop_rgb(g, 0, 1, 1, 0.96);
    cairo_pattern_add_color_stop_rgb(g, 0.4, c.r / 255.0, c.g / 255.0, c.b / 255.0);
    Rgb rim = Scaled(c, 0.5);
    cairo_pattern_add_color_stop_rgb(g, 1, rim.r / 255.0, rim.g / 255.0, rim.b / 255.0);
    Circle(cr, 0, 0, 1);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_restore(cr);
}

// A soft glow that fades to black at its rim: for pictures that are added onto the screen.
// Every pixel inside is opaque, so the keying keeps the fade instead of cutting it off.
void SoftGlow(cairo_t* cr, double x, double y, double rx, double ry, Rgb c, double core = 0.25)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, rx, ry);
    cairo_pattern_t* g = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
    cairo_pattern_add_color_stop_rgb(g, 0, 1, 1, 0.95);
    cairo_pattern_add_color_stop_rgb(g, core, c.r / 255.0, c.g / 255.0, c.b / 255.0);
    cairo_pattern_add_color_stop_rgb(g, 0.65, c.r / 510.0, c.g / 510.0, c.b / 510.0);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.012, 0.012, 0.012);
    Circle(cr, 0, 0, 1);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_restore(cr);
}

// A canvas with the origin at its centre.
Canvas CentredCanvas(const std::string& path)
{
    Canvas canvas = NewCanvasFor(path);
    cairo_translate(canvas.cr, canvas.width / 2.0, canvas.height / 2.0);
    return canvas;
}

// ---- shots: 64 x 64, centred, flying toward +x ------------------------------------------------

// Tracer: a long yellow streak with a white head.
void ShotMg(cairo_t* cr)
{
    HotEllipse(cr, -2, 0, 26, 7, {255, 160, 40});
    HotEllipse(cr, 6, 0, 16, 4, {255, 236, 150});
}

// Cannon shell: brass case, copper band, steel nose.
void ShotKugel(cairo_t* cr)
{
    cairo_move_to(cr, -22, -9);
    cairo_line_to(cr, 6, -9);
    cairo_curve_to(cr, 16, -9, 24, -4, 27, 0);
    cairo_curve_to(cr, 24, 4, 16, 9, 6, 9);
    cairo_line_to(cr, -22, 9);
    cairo_close_path(cr);
    Solid(cr, Brass, 2.4, 1.8);
    cairo_move_to(cr, 6, -9);
    cairo_curve_to(cr, 16, -9, 24, -4, 27, 0);
    cairo_curve_to(cr, 24, 4, 16, 9, 6, 9);
    cairo_close_path(cr);
    Solid(cr, Steel, 2.0, 1.6);
    cairo_rectangle(cr, -4, -9.5, 4, 19);
    Solid(cr, {184, 104, 60}, 1.0, 1.2);
    cairo_rectangle(cr, -25, -10.5, 4, 21);
    Solid(cr, Scaled(Brass, 0.85), 1.0, 1.4);
}

// Laser bolt: a long red beam with a white core.
void ShotLaser(cairo_t* cr)
{
    HotEllipse(cr, 0, 0, 30, 8, LaserRed);
    HotEllipse(cr, 4, 0, 22, 3.4, {255, 200, 190});
}

// Rocket: a pale body, red warhead, four fins and a flame behind.
void ShotRakete(cairo_t* cr)
{
    HotEllipse(cr, -22, 0, 9, 6, Flame);
    for (int side = -1; side <= 1; side += 2) {
        const double fin[] = {-18, side * 4.0, -12, side * 4.0, -20, side * 13.0, -24, side * 13.0};
        Polygon(cr, fin, 4);
        Solid(cr, {176, 60, 44}, 0.8, 1.3);
    }
    cairo_move_to(cr, -18, -5.5);
    cairo_line_to(cr, 12, -5.5);
    cairo_curve_to(cr, 20, -5.5, 26, -2, 29, 0);
    cairo_curve_to(cr, 26, 2, 20, 5.5, 12, 5.5);
    cairo_line_to(cr, -18, 5.5);
    cairo_close_path(cr);
    Solid(cr, {226, 222, 208}, 2.0, 1.6);
    cairo_move_to(cr, 12, -5.5);
    cairo_curve_to(cr, 20, -5.5, 26, -2, 29, 0);
    cairo_curve_to(cr, 26, 2, 20, 5.5, 12, 5.5);
    cairo_close_path(cr);
    Solid(cr, {210, 56, 40}, 1.4, 1.6);
    cairo_rectangle(cr, -4, -5.5, 3, 11);
    Use(cr, {90, 90, 86});
    cairo_fill(cr);
}

// Plasma: a green ball of fire with a curl of brighter gas.
void ShotPlasma(cairo_t* cr)
{
    HotEllipse(cr, -4, 0, 20, 15, Scaled(PlasmaGreen, 0.8));
    HotEllipse(cr, 2, 0, 14, 12, PlasmaGreen);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 1, 0, 9, -2.4, 1.2);
    SetColour(cr, 230, 255, 220, 0.9);
    cairo_set_line_width(cr, 2.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
}

// Ion charge: a blue-white orb inside two crossing rings of charge.
void ShotIonen(cairo_t* cr)
{
    for (int i = 0; i < 2; i++) {
        cairo_save(cr);
        cairo_rotate(cr, i == 0 ? 0.5 : -0.5);
        cairo_scale(cr, 22, 9);
        Circle(cr, 0, 0, 1);
        cairo_restore(cr);
        Use(cr, Scaled(IonBlue, 0.55));
        cairo_set_line_width(cr, 4.5);
        cairo_stroke_preserve(cr);
        Use(cr, {190, 240, 255});
        cairo_set_line_width(cr, 1.8);
        cairo_stroke(cr);
    }
    HotEllipse(cr, 0, 0, 12, 12, IonBlue);
}

// Harvest and unload shot: a clump of glowing spice grains.
void ShotSammler(cairo_t* cr)
{
    ArtRandom random = SeededRandom("M_Sammler");
    HotEllipse(cr, 0, 0, 15, 13, Spice);
    for (int i = 0; i < 14; i++) {
        double angle = RandomRange(random, 0, 2 * M_PI), distance = RandomRange(random, 0, 12);
        double r = RandomRange(random, 3, 5.5);
        HotEllipse(cr, std::cos(angle) * distance, std::sin(angle) * distance * 0.9, r, r,
                   Scaled({255, 170, 50}, RandomRange(random, 0.95, 1.1)));
    }
}

// A gear with `teeth` teeth between radius `inner` and `outer`, its hub left open.
void GearPath(cairo_t* cr, double x, double y, double inner, double outer, int teeth, double hole)
{
    for (int i = 0; i < teeth * 4; i++) {
        double angle = i * 2 * M_PI / (teeth * 4);
        double r = (i % 4 == 1 || i % 4 == 2) ? outer : inner;
        double px = x + std::cos(angle) * r, py = y + std::sin(angle) * r;
        if (i == 0) cairo_move_to(cr, px, py);
        else cairo_line_to(cr, px, py);
    }
    cairo_close_path(cr);
    cairo_new_sub_path(cr);
    cairo_arc_negative(cr, x, y, hole, 2 * M_PI, 0);
    cairo_close_path(cr);
}

// Builder's hammer shot: a hot golden cog of repair work.
void ShotBagger(cairo_t* cr)
{
    GearPath(cr, 0, 0, 14, 20, 8, 6);
    Solid(cr, Gold, 2.2, 1.8);
    HotEllipse(cr, 0, 0, 5, 5, {255, 230, 120});
}

struct PictureRow {
    const char* path;
    void (*draw)(cairo_t*);
};
const PictureRow Shots[] = {
    {"BMP\\M\\M_MG.bmp", ShotMg},         {"BMP\\M\\M_Kugel.bmp", ShotKugel},       {"BMP\\M\\M_Laser.bmp", ShotLaser},
    {"BMP\\M\\M_Rakete.bmp", ShotRakete}, {"BMP\\M\\M_Plasma.bmp", ShotPlasma},     {"BMP\\M\\M_Ionen.bmp", ShotIonen},
    {"BMP\\M\\M_Sammler.bmp", ShotSammler}, {"BMP\\M\\M_Bagger.bmp", ShotBagger},
};

// ---- trails: 32 x 32, centred, soft glows on black ---------------------------------------------

// Tracer spark, cannon smoke, laser afterglow, rocket flame in smoke, plasma cloud, ion sparkle.
void TrailMg(cairo_t* cr) { SoftGlow(cr, 0, 0, 12, 4, {255, 190, 60}); }
void TrailKugel(cairo_t* cr) { SoftGlow(cr, 0, 0, 13, 11, {150, 140, 124}, 0.05); }
void TrailLaser(cairo_t* cr) { SoftGlow(cr, 0, 0, 16, 4.5, LaserRed, 0.2); }
void TrailRakete(cairo_t* cr)
{
    SoftGlow(cr, 0, 0, 14, 12, {140, 120, 100}, 0.05);
    SoftGlow(cr, 2, 0, 9, 7, Flame);
}
void TrailPlasma(cairo_t* cr) { SoftGlow(cr, 0, 0, 13, 13, PlasmaGreen, 0.2); }
void TrailIonen(cairo_t* cr)
{
    SoftGlow(cr, 0, 0, 15, 3, IonBlue, 0.15);
    SoftGlow(cr, 0, 0, 3, 15, IonBlue, 0.15);
    SoftGlow(cr, 0, 0, 8, 8, IonBlue, 0.3);
}

const PictureRow Trails[] = {
    {"BMP\\M\\S_MG.bmp", TrailMg},         {"BMP\\M\\S_Kugel.bmp", TrailKugel},   {"BMP\\M\\S_Laser.bmp", TrailLaser},
    {"BMP\\M\\S_Rakete.bmp", TrailRakete}, {"BMP\\M\\S_Plasma.bmp", TrailPlasma}, {"BMP\\M\\S_Ionen.bmp", TrailIonen},
};

// The soft glows of two trails overlap; lighten keeps the brighter of the two instead of
// painting the second over the first.
void DrawTrail(const PictureRow& row)
{
    Canvas canvas = CentredCanvas(row.path);
    cairo_set_operator(canvas.cr, CAIRO_OPERATOR_LIGHTEN);
    row.draw(canvas.cr);
    SaveKeyedBmp(canvas, row.path);
    FreeCanvas(canvas);
}

// A picture drawn around its centre at its own size.
void DrawCentred(const PictureRow& row)
{
    Canvas canvas = CentredCanvas(row.path);
    cairo_set_line_cap(canvas.cr, CAIRO_LINE_CAP_ROUND);
    row.draw(canvas.cr);
    SaveKeyedBmp(canvas, row.path);
    FreeCanvas(canvas);
}

// A crosshair of radius r at (x, y): ring and ticks outlined together, so that no outline
// cuts across a crossing.
void Crosshair(cairo_t* cr, double x, double y, double r, Rgb colour)
{
    Circle(cr, x, y, r * 0.62);
    for (int i = 0; i < 4; i++) {
        double c = std::cos(i * M_PI / 2), s = std::sin(i * M_PI / 2);
        cairo_move_to(cr, x + c * r * 0.4, y + s * r * 0.4);
        cairo_line_to(cr, x + c * r, y + s * r);
    }
    OutlinedLine(cr, colour, 2.4);
}

// ---- map markers and symbols: drawn on a 32-unit square centred at 0 ------------------------------

// A five-pointed star of radius r.
void StarPath(cairo_t* cr, double r)
{
    for (int i = 0; i < 10; i++) {
        double angle = -M_PI / 2 + i * M_PI / 5, radius = (i % 2 == 0) ? r : r * 0.45;
        if (i == 0) cairo_move_to(cr, std::cos(angle) * radius, std::sin(angle) * radius);
        else cairo_line_to(cr, std::cos(angle) * radius, std::sin(angle) * radius);
    }
    cairo_close_path(cr);
}

// A golden star with a bright heart.
void IconStern(cairo_t* cr)
{
    StarPath(cr, 15);
    Solid(cr, Gold, 1.6, 1.1);
    cairo_save(cr);
    cairo_scale(cr, 0.5, 0.5);
    StarPath(cr, 12);
    cairo_restore(cr);
    SetColour(cr, 255, 244, 190, 0.8);
    cairo_fill(cr);
}

// The regeneration heart: red, lit, with a glint.
void IconHerz(cairo_t* cr)
{
    cairo_move_to(cr, 0, 13);
    cairo_curve_to(cr, -10, 5, -15, -1, -14, -6);
    cairo_curve_to(cr, -13, -13, -3, -14, 0, -6.5);
    cairo_curve_to(cr, 3, -14, 13, -13, 14, -6);
    cairo_curve_to(cr, 15, -1, 10, 5, 0, 13);
    cairo_close_path(cr);
    Solid(cr, {226, 40, 50}, 2.4, 1.4);
    cairo_save(cr);
    cairo_translate(cr, -7, -7);
    cairo_rotate(cr, -0.6);
    cairo_scale(cr, 3.5, 2);
    Circle(cr, 0, 0, 1);
    cairo_restore(cr);
    SetColour(cr, 255, 210, 210, 0.9);
    cairo_fill(cr);
}

// Attack marker: a red reticle with four ticks and a centre dot.
void IconFeind(cairo_t* cr)
{
    const Rgb red = {236, 44, 32};
    Crosshair(cr, 0, 0, 15, red);
    Circle(cr, 0, 0, 2);
    Use(cr, red);
    cairo_fill_preserve(cr);
    Stroke(cr, 1.0);
}

// Four arrowheads pointing in at the centre, in the given colour.
void InwardArrows(cairo_t* cr, Rgb colour, double from, double to, double half)
{
    for (int i = 0; i < 4; i++) {
        cairo_save(cr);
        cairo_rotate(cr, i * M_PI / 2);
        const double head[] = {from, -half, to, 0, from, half};
        Polygon(cr, head, 3);
        Solid(cr, colour, 1.0, 1.2);
        cairo_restore(cr);
    }
}

// Move marker: a green ring with four arrowheads pointing at the spot.
void IconZiel(cairo_t* cr)
{
    const Rgb green = {90, 226, 80};
    Circle(cr, 0, 0, 7.5);
    OutlinedLine(cr, green, 2.2);
    InwardArrows(cr, green, 15, 9, 4.5);
}

// Plain target point: an amber dashed ring around a small cross.
void IconZielMinus(cairo_t* cr)
{
    const Rgb amber = {246, 196, 64};
    for (int i = 0; i < 4; i++) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, 0, 0, 11, i * M_PI / 2 + 0.25, (i + 1) * M_PI / 2 - 0.25);
        OutlinedLine(cr, amber, 2.6);
    }
    cairo_move_to(cr, -4, 0);
    cairo_line_to(cr, 4, 0);
    cairo_move_to(cr, 0, -4);
    cairo_line_to(cr, 0, 4);
    OutlinedLine(cr, amber, 2.0);
}

// Rally point: a pennant on a pole whose foot stands on the spot, with a ring on the ground.
void IconSammelpunkt(cairo_t* cr)
{
    cairo_save(cr);
    cairo_scale(cr, 1, 0.45);
    Circle(cr, 0, 0, 9);
    cairo_restore(cr);
    OutlinedLine(cr, Light, 1.8, 1.0);
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, 0, -15);
    OutlinedLine(cr, {200, 196, 180}, 1.6, 1.0);
    const double flag[] = {1, -15, 14, -11, 1, -6};
    Polygon(cr, flag, 3);
    Solid(cr, {236, 230, 200}, 1.0, 1.2);
}

// Magnifier with a minus or plus in the lens.
void Magnifier(cairo_t* cr, int plus)
{
    cairo_move_to(cr, 5, 5);
    cairo_line_to(cr, 13, 13);
    OutlinedLine(cr, {140, 100, 50}, 4.4);
    Circle(cr, -3, -3, 10);
    Use(cr, {60, 110, 130});
    cairo_fill_preserve(cr);
    OutlinedLine(cr, Steel, 3.0);
    cairo_move_to(cr, -8, -3);
    cairo_line_to(cr, 2, -3);
    if (plus) {
        cairo_move_to(cr, -3, -8);
        cairo_line_to(cr, -3, 2);
    }
    OutlinedLine(cr, Light, 2.6, 1.0);
}
// Zoom out and zoom in.
void IconZoomMinus(cairo_t* cr) { Magnifier(cr, 0); }
void IconZoomPlus(cairo_t* cr) { Magnifier(cr, 1); }

// ---- sidebar symbols: a dark plate with a lit sign ----------------------------------------------

// The dark rounded plate every symbol sits on.
void SymbolPlate(cairo_t* cr)
{
    RoundedRect(cr, -14.5, -14.5, 29, 29, 5);
    Solid(cr, Plate, 2.0, 1.2);
}

// Minus in red, plus in green, percent in gold.
void SymbolMinus(cairo_t* cr)
{
    SymbolPlate(cr);
    cairo_move_to(cr, -8, 0);
    cairo_line_to(cr, 8, 0);
    OutlinedLine(cr, {240, 80, 60}, 4.4);
}

void SymbolPlus(cairo_t* cr)
{
    SymbolPlate(cr);
    cairo_move_to(cr, -8, 0);
    cairo_line_to(cr, 8, 0);
    cairo_move_to(cr, 0, -8);
    cairo_line_to(cr, 0, 8);
    OutlinedLine(cr, {110, 230, 90}, 4.4);
}

void SymbolPercent(cairo_t* cr)
{
    SymbolPlate(cr);
    cairo_move_to(cr, 8, -9);
    cairo_line_to(cr, -8, 9);
    OutlinedLine(cr, Gold, 2.8);
    Circle(cr, -5.5, -5.5, 3);
    OutlinedLine(cr, Gold, 2.4);
    Circle(cr, 5.5, 5.5, 3);
    OutlinedLine(cr, Gold, 2.4);
}

// Spice: a heap of orange grains with a few bright ones on top.
void SymbolSpice(cairo_t* cr)
{
    SymbolPlate(cr);
    cairo_move_to(cr, -11, 8);
    cairo_curve_to(cr, -7, -6, 7, -6, 11, 8);
    cairo_close_path(cr);
    Solid(cr, Spice, 1.6, 1.2);
    ArtRandom random = SeededRandom("Spice symbol");
    for (int i = 0; i < 9; i++) {
        double x = RandomRange(random, -7, 7), y = RandomRange(random, -1, 6);
        Circle(cr, x, y, 1.3);
        SetColour(cr, 255, 214, 120);
        cairo_fill(cr);
    }
}

// The letters V and H, drawn as strokes so that no font is needed.
void SymbolV(cairo_t* cr)
{
    SymbolPlate(cr);
    cairo_move_to(cr, -8, -8);
    cairo_line_to(cr, 0, 9);
    cairo_line_to(cr, 8, -8);
    OutlinedLine(cr, Gold, 4.0);
}

void SymbolH(cairo_t* cr)
{
    SymbolPlate(cr);
    cairo_move_to(cr, -7, -9);
    cairo_line_to(cr, -7, 9);
    cairo_move_to(cr, 7, -9);
    cairo_line_to(cr, 7, 9);
    cairo_move_to(cr, -7, 0);
    cairo_line_to(cr, 7, 0);
    OutlinedLine(cr, Gold, 4.0);
}

// ---- stance buttons: 40 x 40, drawn on a 32-unit square scaled up ----------------------------------

// Passive: a shield with a pause sign - hold fire, do nothing.
void StancePassive(cairo_t* cr)
{
    cairo_move_to(cr, 0, -14);
    cairo_curve_to(cr, 5, -11, 9, -11, 12, -11);
    cairo_curve_to(cr, 12, 2, 8, 9, 0, 14);
    cairo_curve_to(cr, -8, 9, -12, 2, -12, -11);
    cairo_curve_to(cr, -9, -11, -5, -11, 0, -14);
    cairo_close_path(cr);
    Solid(cr, {110, 140, 170}, 2.2, 1.4);
    cairo_move_to(cr, -3.5, -5);
    cairo_line_to(cr, -3.5, 5);
    cairo_move_to(cr, 3.5, -5);
    cairo_line_to(cr, 3.5, 5);
    OutlinedLine(cr, Light, 3.0, 1.0);
}

// Aggressive, holding ground: a reticle inside corner brackets of the zone it guards. Light
// signs, so that they read on the red and the green state overlay alike.
void StanceHold(cairo_t* cr)
{
    for (int i = 0; i < 4; i++) {
        cairo_save(cr);
        cairo_rotate(cr, i * M_PI / 2);
        cairo_move_to(cr, -14, -8);
        cairo_line_to(cr, -14, -14);
        cairo_line_to(cr, -8, -14);
        cairo_restore(cr);
    }
    OutlinedLine(cr, Gold, 2.4, 1.0);
    Crosshair(cr, 0, 0, 11, Light);
}

// Aggressive, pursuing: a reticle with a double arrow running on ahead of it.
void StancePursue(cairo_t* cr)
{
    Crosshair(cr, -4, 0, 11, Light);
    for (int i = 0; i < 2; i++) {
        double x = 6 + i * 4.5;
        cairo_move_to(cr, x, -6);
        cairo_line_to(cr, x + 5, 0);
        cairo_line_to(cr, x, 6);
    }
    OutlinedLine(cr, Gold, 2.6, 1.0);
}

// Routine work: a cog and a spanner.
void StanceWork(cairo_t* cr)
{
    GearPath(cr, -3, -3, 8, 11.5, 8, 3.5);
    Solid(cr, Gold, 1.8, 1.3);
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, 9, 9);
    OutlinedLine(cr, Steel, 3.6);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 11, 11, 4.2, 0, 2 * M_PI);
    cairo_new_sub_path(cr);
    cairo_arc_negative(cr, 12.5, 12.5, 2.2, 2 * M_PI, 0);
    Solid(cr, Steel, 0.8, 1.2);
}

// Sell: a price tag with a euro sign; drawn on a 32-unit square, since the game squeezes the
// 64 x 32 picture onto a 32 x 32 button.
void IconVerkauf(cairo_t* cr)
{
    const double tag[] = {-13, -6, -5, -13, 13, -13, 13, 13, -5, 13, -13, 6};
    Polygon(cr, tag, 6);
    Solid(cr, {232, 206, 140}, 2.0, 1.4);
    Circle(cr, -8.5, 0, 1.8);
    Use(cr, Outline);
    cairo_fill(cr);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 4, 0, 7, 0.8, 2 * M_PI - 0.8);
    cairo_move_to(cr, -5.5, -2.2);
    cairo_line_to(cr, 3, -2.2);
    cairo_move_to(cr, -5.5, 2.2);
    cairo_line_to(cr, 3, 2.2);
    OutlinedLine(cr, {40, 120, 50}, 2.2, 0.8);
}

// Draws a design made for a 32-unit square, centred and scaled onto the whole canvas.
void DrawFitted(const PictureRow& row)
{
    Canvas canvas = NewCanvasFor(row.path);
    cairo_translate(canvas.cr, canvas.width / 2.0, canvas.height / 2.0);
    cairo_scale(canvas.cr, canvas.width / 32.0, canvas.height / 32.0);
    cairo_set_line_cap(canvas.cr, CAIRO_LINE_CAP_ROUND);
    row.draw(canvas.cr);
    SaveKeyedBmp(canvas, row.path);
    FreeCanvas(canvas);
}

const PictureRow FittedIcons[] = {
    {"BMP\\ICON\\Stern.bmp", IconStern},
    {"BMP\\ICON\\Herz.bmp", IconHerz},
    {"BMP\\ICON\\Ziel-.bmp", IconZielMinus},
    {"BMP\\ICON\\Feind.bmp", IconFeind},
    {"BMP\\ICON\\Ziel.bmp", IconZiel},
    {"BMP\\ICON\\Sammelpunkt.bmp", IconSammelpunkt},
    {"BMP\\ICON\\-.bmp", SymbolMinus},
    {"BMP\\ICON\\+.bmp", SymbolPlus},
    {"BMP\\ICON\\%.bmp", SymbolPercent},
    {"BMP\\ICON\\Spice.bmp", SymbolSpice},
    {"BMP\\ICON\\V.bmp", SymbolV},
    {"BMP\\ICON\\H.bmp", SymbolH},
    {"BMP\\ICON\\auto_0.bmp", StancePassive},
    {"BMP\\ICON\\auto_1.bmp", StanceHold},
    {"BMP\\ICON\\auto_2.bmp", StancePursue},
    {"BMP\\ICON\\auto_3.bmp", StanceWork},
    {"BMP\\ICON\\Verkauf.bmp", IconVerkauf},
    {"BMP\\ICON\\ZOOM_-.bmp", IconZoomMinus},
    {"BMP\\ICON\\ZOOM_+.bmp", IconZoomPlus},
};

// ---- pointers -------------------------------------------------------------------------------------
// Every pointer is drawn with its top-left corner at the mouse, so the arrow's tip is the
// picture's top-left pixel. The team pointer is drawn first in full colour and the plain pointer
// over it, translucent: that one is only the outline and the lit edge, so the team colour stays
// clear inside; in the menus the same outline lies over the sand-coloured menu pointer.

// The arrow: its tip on the top-left pixel, a notch between its two wings.
void ArrowPath(cairo_t* cr)
{
    const double arrow[] = {0.8, 0.8, 27, 11, 16, 15.5, 11.5, 27};
    Polygon(cr, arrow, 4);
}

// A full arrow in one colour: the menu pointer and the team pointers.
void DrawArrow(const std::string& path, Rgb fill)
{
    Canvas canvas = NewCanvasFor(path);
    ArrowPath(canvas.cr);
    Solid(canvas.cr, fill, 2.4, 1.6);
    SaveKeyedBmp(canvas, path);
    FreeCanvas(canvas);
}

// The plain pointer: only the arrow's outline and its lit edges, hollow inside.
void DrawArrowOverlay(const std::string& path)
{
    Canvas canvas = NewCanvasFor(path);
    cairo_t* cr = canvas.cr;
    ArrowPath(cr);
    Use(cr, Outline);
    cairo_set_line_width(cr, 2.4);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
    cairo_move_to(cr, 2.6, 2.6);
    cairo_line_to(cr, 24, 11.2);
    cairo_move_to(cr, 2.6, 2.6);
    cairo_line_to(cr, 11.6, 24);
    Use(cr, {255, 252, 236});
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
    SaveKeyedBmp(canvas, path);
    FreeCanvas(canvas);
}

// The hit shapes the interface tests for overlap: the pointer's is its one hot-spot pixel, a
// button's is the whole button.
void DrawHotSpot(const std::string& path)
{
    Canvas canvas = NewCanvasFor(path);
    cairo_rectangle(canvas.cr, 0, 0, 1, 1);
    SetColour(canvas.cr, 255, 255, 255);
    cairo_fill(canvas.cr);
    SaveKeyedBmp(canvas, path);
    FreeCanvas(canvas);
}

void DrawHitShape(const std::string& path)
{
    Canvas canvas = NewCanvasFor(path);
    cairo_rectangle(canvas.cr, 0, 0, canvas.width, canvas.height);
    SetColour(canvas.cr, 96, 96, 96);
    cairo_fill(canvas.cr);
    cairo_rectangle(canvas.cr, 0.5, 0.5, canvas.width - 1, canvas.height - 1);
    SetColour(canvas.cr, 160, 160, 160);
    cairo_set_line_width(canvas.cr, 1);
    cairo_stroke(canvas.cr);
    SaveKeyedBmp(canvas, path);
    FreeCanvas(canvas);
}

// Every pointer and hit shape.
void DrawPointers()
{
    DrawArrowOverlay("BMP\\ICON\\MAUS.bmp");
    DrawArrow("BMP\\ICON\\Maus_Menue.bmp", {226, 190, 110});
    for (int team = 0; team <= 4; team++) {
        const int* c = PlayerColours[team];
        DrawArrow("BMP\\ICON\\Maus_Team" + std::to_string(team) + ".bmp", {c[0], c[1], c[2]});
    }
    DrawHotSpot("BMP\\ICON\\Maus_P.bmp");
    DrawHitShape("BMP\\ICON\\Maus_F.bmp");
    DrawHitShape("BMP\\ICON\\Maus_F2.bmp");
    DrawHitShape("BMP\\ICON\\Maus_F3.bmp");
}

// ---- plain tiles, loading bar, team marks, selection corners ----------------------------------------

// A tile of one solid colour.
void DrawPlain(const std::string& path, Rgb colour)
{
    Canvas canvas = NewCanvasFor(path);
    cairo_rectangle(canvas.cr, 0, 0, canvas.width, canvas.height);
    Use(canvas.cr, colour);
    cairo_fill(canvas.cr);
    SaveKeyedBmp(canvas, path);
    FreeCanvas(canvas);
}

struct TileRow {
    const char* path;
    Rgb colour;
};
// The dark box behind texts is drawn translucent, so it must not be the transparent black:
// it is the darkest grey that still counts as a colour.
const TileRow ColourTiles[] = {
    {"BMP\\ICON\\FF0000.bmp", {255, 0, 0}},   {"BMP\\ICON\\FFFF00.bmp", {255, 255, 0}}, {"BMP\\ICON\\00FF00.bmp", {0, 255, 0}},
    {"BMP\\ICON\\000000.bmp", {2, 2, 2}},     {"BMP\\ICON\\0000FF.bmp", {0, 0, 255}},   {"BMP\\ICON\\404040.bmp", {64, 64, 64}},
    {"BMP\\ICON\\00FFFF.bmp", {0, 255, 255}},
};

// A loading-bar piece: shaded top to bottom only, since the game stretches it sideways.
void DrawBarPiece(const std::string& path, const Rgb* stops, int count)
{
    Canvas canvas = NewCanvasFor(path);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, canvas.height);
    for (int i = 0; i < count; i++)
        cairo_pattern_add_color_stop_rgb(g, double(i) / (count - 1), stops[i].r / 255.0, stops[i].g / 255.0,
                                         stops[i].b / 255.0);
    cairo_rectangle(canvas.cr, 0, 0, canvas.width, canvas.height);
    cairo_set_source(canvas.cr, g);
    cairo_fill(canvas.cr);
    cairo_pattern_destroy(g);
    SaveKeyedBmp(canvas, path);
    FreeCanvas(canvas);
}

// The empty groove of the loading bar and its glowing filled part.
void DrawLoadingBar()
{
    const Rgb remaining[] = {{22, 18, 14}, {48, 40, 32}, {64, 56, 46}, {40, 34, 28}};
    const Rgb finished[] = {{255, 236, 170}, {250, 180, 70}, {220, 120, 30}, {130, 60, 12}};
    DrawBarPiece("BMP\\ICON\\50a.bmp", remaining, 4);
    DrawBarPiece("BMP\\ICON\\50b.bmp", finished, 4);
}

// Selection corners, named by the keypad digits of their two arms (8 up, 2 down, 4 left,
// 6 right): "48" is the top-left corner, "86" top right, "62" bottom right, "24" bottom left.
struct CornerRow {
    const char* path;
    int quarterTurns; // clockwise from the top-left corner
};
const CornerRow Corners[] = {
    {"BMP\\ICON\\48.bmp", 0}, {"BMP\\ICON\\86.bmp", 1}, {"BMP\\ICON\\62.bmp", 2}, {"BMP\\ICON\\24.bmp", 3}};

// One selection corner: two light arms with a dark edge on their inner side.
void DrawCorner(const CornerRow& corner)
{
    Canvas canvas = NewCanvasFor(corner.path);
    cairo_t* cr = canvas.cr;
    cairo_translate(cr, canvas.width / 2.0, canvas.height / 2.0);
    cairo_rotate(cr, corner.quarterTurns * M_PI / 2);
    cairo_translate(cr, -canvas.width / 2.0, -canvas.height / 2.0);
    const double arms[] = {0, 0, 16, 0, 16, 5, 5, 5, 5, 16, 0, 16};
    Polygon(cr, arms, 6);
    Use(cr, Light);
    cairo_fill_preserve(cr);
    Stroke(cr, 2.0);
    SaveKeyedBmp(canvas, corner.path);
    FreeCanvas(canvas);
}

} // namespace

// Every shot, trail and interface picture.
void DrawIcons()
{
    for (const PictureRow& row : Shots) DrawCentred(row);
    for (const PictureRow& row : Trails) DrawTrail(row);
    for (const PictureRow& row : FittedIcons) DrawFitted(row);
    DrawPointers();
    for (const TileRow& tile : ColourTiles) DrawPlain(tile.path, tile.colour);
    DrawLoadingBar();
    for (int team = 1; team <= 4; team++) {
        const int* c = PlayerColours[team];
        DrawPlain("BMP\\ICON\\Team" + std::to_string(team) + ".bmp", {c[0], c[1], c[2]});
    }
    for (const CornerRow& corner : Corners) DrawCorner(corner);
}
