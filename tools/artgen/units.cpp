// tools/artgen/units.cpp - the unit pictures (BMP\E\): vehicles, troops and their ground marks.
//
// Every unit faces +x, to the right: the game turns a unit's picture by its heading, and
// heading 0 points along +x (90 points down the screen), so an unturned picture must already
// look along heading 0. Light falls from the top left of the unturned picture.
//
// A unit is drawn at half its picture size, so a 64-pixel vehicle covers one cell and a
// 32-pixel trooper half a cell: shapes are bold, outlined dark and lit on their top-left edge so
// that they read on sand and earth at that size.
//
// The pictures are shared by all players, so the owner's colour comes from beneath: the game
// lays a square of it under the unit's centre. Every unit is solid round its centre but for its
// team windows - a trooper's helmet, a speeder's chevron, a quad's tank, a turret's roof - cut
// clean through the picture near its centre, and the owner's colour shows through them as paint
// on the unit (see TeamWindow).
//
// The family's "=" picture is the ground mark a moving unit leaves behind (tracks, tyre prints,
// footprints, hover wash), laid every few pixels along its way and faded out, so it is short,
// low in contrast and centred on the unit's own wheel or track positions.
#include "artgen.h"
#include "shading.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

// Family and accent colours: neutral military bodies, weapon accents that tell the kinds apart.
const Rgb TrackGrey = {74, 70, 62};
const Rgb Steel = {150, 152, 150};
const Rgb Gunmetal = {86, 90, 92};
const Rgb Glass = {70, 120, 140};
const Rgb Olive = {112, 116, 70};
const Rgb DarkOlive = {88, 98, 62};
const Rgb DesertTan = {170, 148, 96};
const Rgb BlueGrey = {118, 132, 140};
const Rgb RobotGrey = {132, 128, 118};
const Rgb GliderGrey = {164, 162, 148};
const Rgb WorkAmber = {206, 152, 50};
const Rgb LaserRed = {255, 60, 40};
const Rgb PlasmaGreen = {90, 255, 80};
const Rgb IonBlue = {90, 210, 255};
const Rgb RocketTip = {210, 60, 40};
const Rgb Brass = {196, 160, 80};
const Rgb Spice = {230, 130, 40};
const Rgb MarkBrown = {112, 88, 58};

// A glowing dot: white-hot centre fading to the accent colour, fully opaque so the keying
// keeps it.
void Glow(cairo_t* cr, double x, double y, double r, Rgb c)
{
    cairo_pattern_t* g = cairo_pattern_create_radial(x - r * 0.25, y - r * 0.25, 0, x, y, r);
    cairo_pattern_add_color_stop_rgb(g, 0, 1, 1, 0.95);
    cairo_pattern_add_color_stop_rgb(g, 0.45, c.r / 255.0, c.g / 255.0, c.b / 255.0);
    Rgb edge = Scaled(c, 0.55);
    cairo_pattern_add_color_stop_rgb(g, 1, edge.r / 255.0, edge.g / 255.0, edge.b / 255.0);
    Circle(cr, x, y, r);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

// ---- weapons: drawn from a mount point (x, y) pointing along +x, sized by `s` ----------------

// Two thin barrels side by side with a small ammunition box.
void DrawMg(cairo_t* cr, double x, double y, double s)
{
    for (int side = -1; side <= 1; side += 2) {
        cairo_rectangle(cr, x, y + side * 2.6 * s - 1.1 * s, 13 * s, 2.2 * s);
        Solid(cr, Gunmetal, 0, 1.0);
        cairo_rectangle(cr, x + 11.5 * s, y + side * 2.6 * s - 1.5 * s, 2.5 * s, 3 * s);
        Solid(cr, Steel, 0, 0.9);
    }
    RoundedRect(cr, x - 5 * s, y - 4.5 * s, 7 * s, 9 * s, 1.5 * s);
    Solid(cr, Brass, 1.0, 1.1);
}

// A single thick cannon barrel with a muzzle brake.
void DrawCannon(cairo_t* cr, double x, double y, double s)
{
    cairo_rectangle(cr, x, y - 2.4 * s, 18 * s, 4.8 * s);
    Solid(cr, Steel, 1.0, 1.2);
    cairo_rectangle(cr, x + 15 * s, y - 3.6 * s, 5 * s, 7.2 * s);
    Solid(cr, Gunmetal, 0.8, 1.2);
    cairo_rectangle(cr, x + 1 * s, y - 3.2 * s, 3 * s, 6.4 * s);
    Solid(cr, Gunmetal, 0, 1.0);
}

// A slim barrel with cooling rings and a red lens at its tip.
void DrawLaser(cairo_t* cr, double x, double y, double s)
{
    cairo_rectangle(cr, x, y - 1.6 * s, 17 * s, 3.2 * s);
    Solid(cr, Steel, 0, 1.1);
    for (int i = 0; i < 3; i++) {
        cairo_rectangle(cr, x + (2 + 4 * i) * s, y - 3.2 * s, 2 * s, 6.4 * s);
        Solid(cr, Gunmetal, 0, 0.9);
    }
    Circle(cr, x + 18 * s, y, 3 * s);
    Stroke(cr, 1.0);
    Glow(cr, x + 18 * s, y, 2.6 * s, LaserRed);
}

// A rack of rockets lying side by side, warheads forward.
void DrawRockets(cairo_t* cr, double x, double y, double s)
{
    RoundedRect(cr, x - 6 * s, y - 8.5 * s, 14 * s, 17 * s, 2 * s);
    Solid(cr, Gunmetal, 1.2, 1.3);
    for (int i = -1; i <= 1; i++) {
        double ry = y + i * 5.2 * s;
        cairo_move_to(cr, x - 4 * s, ry - 2 * s);
        cairo_line_to(cr, x + 9 * s, ry - 2 * s);
        cairo_line_to(cr, x + 13 * s, ry);
        cairo_line_to(cr, x + 9 * s, ry + 2 * s);
        cairo_line_to(cr, x - 4 * s, ry + 2 * s);
        cairo_close_path(cr);
        Solid(cr, {216, 212, 196}, 0, 1.0);
        cairo_move_to(cr, x + 8 * s, ry - 2 * s);
        cairo_line_to(cr, x + 9 * s, ry - 2 * s);
        cairo_line_to(cr, x + 13 * s, ry);
        cairo_line_to(cr, x + 9 * s, ry + 2 * s);
        cairo_line_to(cr, x + 8 * s, ry + 2 * s);
        cairo_close_path(cr);
        Use(cr, RocketTip);
        cairo_fill(cr);
    }
}

// A bulbous emitter around a green plasma core.
void DrawPlasma(cairo_t* cr, double x, double y, double s)
{
    cairo_rectangle(cr, x, y - 2 * s, 9 * s, 4 * s);
    Solid(cr, Gunmetal, 0, 1.0);
    cairo_move_to(cr, x + 6 * s, y - 5.5 * s);
    cairo_line_to(cr, x + 14 * s, y - 6.5 * s);
    cairo_line_to(cr, x + 14 * s, y + 6.5 * s);
    cairo_line_to(cr, x + 6 * s, y + 5.5 * s);
    cairo_close_path(cr);
    Solid(cr, Steel, 1.0, 1.1);
    Circle(cr, x + 14 * s, y, 5 * s);
    Stroke(cr, 1.0);
    Glow(cr, x + 14 * s, y, 4.6 * s, PlasmaGreen);
}

// A coil of rings along a barrel, tipped with a blue spark.
void DrawIon(cairo_t* cr, double x, double y, double s)
{
    cairo_rectangle(cr, x, y - 1.8 * s, 16 * s, 3.6 * s);
    Solid(cr, Gunmetal, 0, 1.0);
    for (int i = 0; i < 4; i++) {
        double cx = x + (3 + 3.4 * i) * s;
        cairo_save(cr);
        cairo_translate(cr, cx, y);
        cairo_scale(cr, 1.4 * s, 5 * s);
        Circle(cr, 0, 0, 1);
        cairo_restore(cr);
        Use(cr, Scaled(IonBlue, 0.75));
        cairo_fill_preserve(cr);
        Stroke(cr, 0.9);
    }
    Circle(cr, x + 17.5 * s, y, 3 * s);
    Stroke(cr, 1.0);
    Glow(cr, x + 17.5 * s, y, 2.7 * s, IonBlue);
}

enum Weapon { MG, KUGEL, LASER, RAKETE, PLASMA, IONEN };

struct WeaponRow {
    Weapon weapon;
    void (*draw)(cairo_t*, double, double, double);
};
const WeaponRow WeaponDrawings[] = {
    {MG, DrawMg}, {KUGEL, DrawCannon}, {LASER, DrawLaser}, {RAKETE, DrawRockets}, {PLASMA, DrawPlasma}, {IONEN, DrawIon},
};

// Draws a weapon by its row in the table above.
void DrawWeapon(cairo_t* cr, Weapon weapon, double x, double y, double s)
{
    for (const WeaponRow& row : WeaponDrawings)
        if (row.weapon == weapon) row.draw(cr, x, y, s);
}

// ---- vehicle parts ---------------------------------------------------------------------------

// A track band from x0 to x1 between y0 and y1, with its cleats across.
void DrawTrack(cairo_t* cr, double x0, double x1, double y0, double y1)
{
    RoundedRect(cr, x0, y0, x1 - x0, y1 - y0, 2.5);
    Solid(cr, TrackGrey, 1.2, 1.4);
    cairo_save(cr);
    RoundedRect(cr, x0 + 1, y0 + 1, x1 - x0 - 2, y1 - y0 - 2, 2);
    cairo_clip(cr);
    for (double x = x0 + 2.5; x < x1 - 1; x += 4) {
        cairo_rectangle(cr, x, y0 + 1.5, 1.6, y1 - y0 - 3);
        SetColour(cr, 44, 41, 36);
        cairo_fill(cr);
        cairo_rectangle(cr, x + 1.6, y0 + 1.5, 0.8, y1 - y0 - 3);
        SetColour(cr, 120, 114, 100);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

// A tyre seen from above, length along x, with tread grooves.
void DrawWheel(cairo_t* cr, double cx, double cy, double length, double width)
{
    RoundedRect(cr, cx - length / 2, cy - width / 2, length, width, width * 0.35);
    Solid(cr, {58, 55, 50}, 1.0, 1.3);
    for (double x = cx - length / 2 + 2.5; x < cx + length / 2 - 1.5; x += 3) {
        cairo_move_to(cr, x, cy - width / 2 + 1.2);
        cairo_line_to(cr, x + 1.2, cy);
        cairo_line_to(cr, x, cy + width / 2 - 1.2);
        SetColour(cr, 30, 28, 25);
        cairo_set_line_width(cr, 0.9);
        cairo_stroke(cr);
    }
}

// A hatch: a small round lid with a rim.
void DrawHatch(cairo_t* cr, double x, double y, double r, Rgb base)
{
    Circle(cr, x, y, r);
    Solid(cr, Scaled(base, 0.9), 0.8, 1.0);
    Circle(cr, x - r * 0.25, y - r * 0.25, r * 0.35);
    Use(cr, Scaled(base, 1.35));
    cairo_fill(cr);
}

// A glass canopy: dark blue-green with a light glint at its top left.
void DrawCanopy(cairo_t* cr, double x, double y, double rx, double ry)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, rx, ry);
    Circle(cr, 0, 0, 1);
    cairo_restore(cr);
    Solid(cr, Glass, 1.0, 1.2);
    cairo_save(cr);
    cairo_translate(cr, x - rx * 0.3, y - ry * 0.35);
    cairo_scale(cr, rx * 0.4, ry * 0.25);
    Circle(cr, 0, 0, 1);
    cairo_restore(cr);
    SetColour(cr, 220, 245, 250, 0.85);
    cairo_fill(cr);
}

// Engine exhaust: a hot orange glow at the rear.
void DrawExhaust(cairo_t* cr, double x, double y, double r) { Glow(cr, x, y, r, {255, 150, 50}); }

// ---- families --------------------------------------------------------------------------------
// Bodies draw around the picture's centre (0, 0), nose toward +x; the mount table below says
// where each family carries its weapon.

// Tank: two broad tracks, a hull between them with an engine deck, a turret ring.
void DrawTankBody(cairo_t* cr)
{
    DrawTrack(cr, -28, 28, -27, -14);
    DrawTrack(cr, -28, 28, 14, 27);
    const double hull[] = {-25, -16, 19, -16, 26, -10, 26, 10, 19, 16, -25, 16};
    Polygon(cr, hull, 6);
    Solid(cr, DarkOlive, 1.8, 1.5);
    for (int i = 0; i < 4; i++) {
        cairo_rectangle(cr, -23 + i * 3.2, -10, 1.6, 20);
        SetColour(cr, 50, 56, 36);
        cairo_fill(cr);
    }
    Circle(cr, -3, 0, 12.5);
    Solid(cr, Scaled(DarkOlive, 1.05), 1.8, 1.5);
    Circle(cr, -2.5, 0, 8);
    TeamWindow(cr, 1.6);
    DrawHatch(cr, -8, -5, 3, DarkOlive);
}

// Quad: four fat round tyres standing out at the corners, a desert-tan body shell over their
// inner halves with a pointed nose, handlebars over a round tank in the owner's colour, the
// seat and a roll bar behind it.
void DrawQuadBody(cairo_t* cr)
{
    for (int sx = -1; sx <= 1; sx += 2)
        for (int sy = -1; sy <= 1; sy += 2) {
            RoundedRect(cr, sx * 17 - 8.5, sy * 21.5 - 6, 17, 12, 5.5);
            Solid(cr, {58, 55, 50}, 1.0, 1.4);
            Circle(cr, sx * 17, sy * 21.5, 2.6);
            Solid(cr, Steel, 0.6, 1.0);
        }
    const double shell[] = {-24, -12, -19, -19.5, 12, -19.5, 21, -13, 29, 0, 21, 13, 12, 19.5, -19, 19.5, -24, 12};
    Polygon(cr, shell, 9);
    Solid(cr, DesertTan, 1.8, 1.6);
    Circle(cr, 0.5, 0, 9.5);
    TeamWindow(cr, 1.5);
    RoundedRect(cr, -18, -6, 10, 12, 3);
    Solid(cr, {78, 70, 56}, 1.0, 1.3);
    for (int pass = 0; pass < 2; pass++) {
        cairo_move_to(cr, -22, -13);
        cairo_line_to(cr, -22, 13);
        Use(cr, pass == 0 ? Outline : Steel);
        cairo_set_line_width(cr, pass == 0 ? 3.6 : 1.8);
        cairo_stroke(cr);
        cairo_move_to(cr, 15, -15);
        cairo_line_to(cr, 18, -10);
        cairo_move_to(cr, 15, 15);
        cairo_line_to(cr, 18, 10);
        cairo_stroke(cr);
    }
}

// Speeder: a broad hover wedge between two jet nacelles, a team chevron on its back pointing
// the way it flies, a canopy at the nose; no wheels.
void DrawSpeederBody(cairo_t* cr)
{
    for (int side = -1; side <= 1; side += 2) {
        RoundedRect(cr, -28, side * 20 - 5.5, 44, 11, 5.5);
        Solid(cr, Scaled(BlueGrey, 0.85), 1.4, 1.5);
        DrawExhaust(cr, -27, side * 20, 4.2);
    }
    const double hull[] = {31, 0, 25, -7, 19, -18, -19, -18, -25, -10, -25, 10, -19, 18, 19, 18, 25, 7};
    Polygon(cr, hull, 9);
    Solid(cr, BlueGrey, 2.0, 1.6);
    const double chevron[] = {10, 0, 1, -9.5, -7, -7, -2, 0, -7, 7, 1, 9.5};
    Polygon(cr, chevron, 6);
    TeamWindow(cr, 1.5);
    DrawExhaust(cr, -25, 0, 3.5);
    DrawCanopy(cr, 18, 0, 7, 5);
}

// Walking robot: an armoured box body on four bent legs, knees out to the sides, broad feet;
// team armour plates round the sensor head.
void DrawRobotBody(cairo_t* cr)
{
    const double legs[4][6] = {{8, -12, 13, -27, 25, -25}, {-8, -12, -13, -27, -25, -25},
                               {8, 12, 13, 27, 25, 25},    {-8, 12, -13, 27, -25, 25}};
    for (const auto& leg : legs) {
        for (int pass = 0; pass < 2; pass++) {
            cairo_move_to(cr, leg[0], leg[1]);
            cairo_line_to(cr, leg[2], leg[3]);
            cairo_line_to(cr, leg[4], leg[5]);
            Use(cr, pass == 0 ? Outline : Scaled(RobotGrey, 0.8));
            cairo_set_line_width(cr, pass == 0 ? 7.4 : 4.4);
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
            cairo_stroke(cr);
        }
        Circle(cr, leg[2], leg[3], 3.4);
        Solid(cr, Gunmetal, 0.8, 1.1);
        cairo_save(cr);
        cairo_translate(cr, leg[4], leg[5]);
        cairo_scale(cr, 5.2, 3.4);
        Circle(cr, 0, 0, 1);
        cairo_restore(cr);
        Solid(cr, Scaled(RobotGrey, 0.72), 0.8, 1.2);
    }
    RoundedRect(cr, -19, -19, 38, 38, 6);
    Solid(cr, RobotGrey, 2.0, 1.6);
    RoundedRect(cr, -9, -9, 18, 18, 6);
    TeamWindow(cr, 1.5);
    RoundedRect(cr, -4.5, -4.5, 9.5, 9, 3);
    Solid(cr, Scaled(RobotGrey, 1.12), 1.2, 1.3);
    cairo_rectangle(cr, 3.5, -2.5, 2.2, 5);
    Use(cr, {255, 70, 40});
    cairo_fill(cr);
    for (int i = 0; i < 2; i++) {
        cairo_rectangle(cr, -3 + i * 2.6, -3, 1.3, 6);
        SetColour(cr, 70, 68, 62);
        cairo_fill(cr);
    }
}

// Glider: a broad blended wing body with swept tips, twin tail fins and a jet at the tail, a
// diamond in the owner's colour on its back.
void DrawGliderBody(cairo_t* cr)
{
    const double wings[] = {30, 0, 22, -8, 20, -18, -2, -29, -16, -31, -13, -21, -24, -18, -26, -8,
                            -26, 8, -24, 18, -13, 21, -16, 31, -2, 29, 20, 18, 22, 8};
    Polygon(cr, wings, 15);
    Solid(cr, GliderGrey, 1.8, 1.6);
    for (int side = -1; side <= 1; side += 2) {
        cairo_move_to(cr, 12, side * 17);
        cairo_line_to(cr, -4, side * 28);
        SetColour(cr, 90, 88, 78, 0.8);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
    }
    const double tail[] = {-20, -3, -28, -13, -31, -13, -28, -2, -28, 2, -31, 13, -28, 13, -20, 3};
    Polygon(cr, tail, 8);
    Solid(cr, Scaled(GliderGrey, 0.9), 1.2, 1.3);
    cairo_move_to(cr, 30, 0);
    cairo_curve_to(cr, 24, -5, 14, -5.5, 0, -5.5);
    cairo_line_to(cr, -26, -3.5);
    cairo_line_to(cr, -26, 3.5);
    cairo_line_to(cr, 0, 5.5);
    cairo_curve_to(cr, 14, 5.5, 24, 5, 30, 0);
    cairo_close_path(cr);
    Solid(cr, Scaled(GliderGrey, 1.05), 1.8, 1.5);
    const double diamond[] = {10, 0, 0, -10, -10, 0, 0, 10};
    Polygon(cr, diamond, 4);
    TeamWindow(cr, 1.4);
    DrawExhaust(cr, -27, 0, 3);
    DrawCanopy(cr, 16, 0, 7, 3.6);
}

enum Family { SPEEDER, QUAD, PANZER, ROBOTER, GLEITER };

struct FamilyRow {
    Family family;
    void (*body)(cairo_t*);
};
const FamilyRow Families[] = {
    {SPEEDER, DrawSpeederBody}, {QUAD, DrawQuadBody}, {PANZER, DrawTankBody}, {ROBOTER, DrawRobotBody}, {GLEITER, DrawGliderBody},
};

// Where each family carries its weapon: one mount, or two mirrored ones at +y and -y. A row
// for one weapon comes before the family's general row (ANY), and the first match counts.
struct MountRow {
    Family family;
    int weapon; // a Weapon, or ANY
    double x, y; // mount point; y > 0 means a pair at +y and -y
    double scale;
};
const int ANY = -1;
const MountRow Mounts[] = {
    {SPEEDER, MG, 2, 17, 0.85}, {SPEEDER, ANY, 12, 0, 0.9}, {QUAD, RAKETE, 12, 0, 0.8},
    {QUAD, ANY, 4, 0, 1.05},    {PANZER, LASER, 6, 0, 1.15}, {PANZER, RAKETE, 12, 0, 1.0}, {PANZER, ANY, 6, 0, 1.2},
    {ROBOTER, ANY, 8, 10.5, 0.75}, {GLEITER, ANY, -4, 15, 0.7},
};

struct UnitRow {
    const char* name;
    Family family;
    Weapon weapon;
};
const UnitRow CombatUnits[] = {
    {"MG-Speeder", SPEEDER, MG},     {"Laser-Speeder", SPEEDER, LASER},   {"Ionen-Speeder", SPEEDER, IONEN},
    {"Kugel-Quad", QUAD, KUGEL},     {"Raketen-Quad", QUAD, RAKETE},      {"Plasma-Quad", QUAD, PLASMA},
    {"Kugel-Panzer", PANZER, KUGEL}, {"Laser-Panzer", PANZER, LASER},     {"Raketen-Panzer", PANZER, RAKETE},
    {"MG-Roboter", ROBOTER, MG},     {"Plasma-Roboter", ROBOTER, PLASMA}, {"Ionen-Roboter", ROBOTER, IONEN},
    {"Raketen-Gleiter", GLEITER, RAKETE}, {"Plasma-Gleiter", GLEITER, PLASMA}, {"Ionen-Gleiter", GLEITER, IONEN},
};

// Game path of a unit picture.
std::string UnitPath(const std::string& name) { return "BMP\\E\\" + name + ".bmp"; }

// A canvas with the origin at the picture's centre.
Canvas CentredCanvas(const std::string& path)
{
    Canvas canvas = NewCanvasFor(path);
    cairo_translate(canvas.cr, canvas.width / 2.0, canvas.height / 2.0);
    cairo_set_line_cap(canvas.cr, CAIRO_LINE_CAP_ROUND);
    return canvas;
}

// A combat unit: its family's body, then its weapon at the family's mount.
void DrawCombatUnit(const UnitRow& unit)
{
    std::string path = UnitPath(unit.name);
    Canvas canvas = CentredCanvas(path);
    for (const FamilyRow& family : Families)
        if (family.family == unit.family) family.body(canvas.cr);
    for (const MountRow& mount : Mounts) {
        if (mount.family != unit.family || (mount.weapon != ANY && mount.weapon != unit.weapon)) continue;
        if (mount.y == 0) DrawWeapon(canvas.cr, unit.weapon, mount.x, 0, mount.scale);
        else {
            DrawWeapon(canvas.cr, unit.weapon, mount.x, -mount.y, mount.scale);
            DrawWeapon(canvas.cr, unit.weapon, mount.x, mount.y, mount.scale);
        }
        break;
    }
    SaveKeyedBmp(canvas, path);
    FreeCanvas(canvas);
}

// ---- work vehicles -----------------------------------------------------------------------------

// Builder: tracked, a cab at the back and a jointed arm on a swivel frame ending in a toothed
// shovel up front; a roundel in the owner's colour on the cab roof.
void DrawBagger(cairo_t* cr)
{
    DrawTrack(cr, -28, 14, -27, -14);
    DrawTrack(cr, -28, 14, 14, 27);
    RoundedRect(cr, -25, -16, 35, 32, 4);
    Solid(cr, WorkAmber, 1.8, 1.5);
    RoundedRect(cr, 7, -17.5, 12, 35, 3);
    Solid(cr, Scaled(Steel, 0.85), 1.2, 1.4);
    for (int i = 0; i < 3; i++) {
        cairo_rectangle(cr, -23 + i * 3.4, 3, 1.7, 9);
        SetColour(cr, 110, 78, 24);
        cairo_fill(cr);
    }
    RoundedRect(cr, -15, -14.5, 18, 13, 2.5);
    Solid(cr, Scaled(WorkAmber, 1.08), 1.4, 1.3);
    Circle(cr, -3, -5, 5);
    TeamWindow(cr, 1.2);
    RoundedRect(cr, -13.5, -12.5, 3, 9, 1);
    Solid(cr, Glass, 0, 1.0);
    // The arm: a thick boom from the deck to the elbow, then the stick down to the shovel, with
    // a steel ram along the boom.
    for (int pass = 0; pass < 2; pass++) {
        cairo_move_to(cr, -6, 6);
        cairo_line_to(cr, 12, 5);
        cairo_line_to(cr, 20, 2);
        Use(cr, pass == 0 ? Outline : Scaled(WorkAmber, 0.95));
        cairo_set_line_width(cr, pass == 0 ? 9.5 : 6.4);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
    }
    cairo_move_to(cr, -4, 6);
    cairo_line_to(cr, 11, 5);
    SetColour(cr, 255, 236, 170, 0.7);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    cairo_rectangle(cr, -2, 9.5, 13, 2.6);
    Solid(cr, Steel, 0, 1.0);
    Circle(cr, -6, 6, 3.8);
    Solid(cr, Gunmetal, 0.8, 1.1);
    Circle(cr, 12, 5, 3);
    Solid(cr, Gunmetal, 0.8, 1.1);
    const double shovel[] = {17, -11, 27, -13, 28, 15, 17, 13};
    Polygon(cr, shovel, 4);
    Solid(cr, Steel, 1.4, 1.5);
    for (int i = 0; i < 3; i++) {
        cairo_move_to(cr, 19 + i * 2.6, -10);
        cairo_line_to(cr, 19 + i * 2.6, 12);
        SetColour(cr, 96, 98, 96);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
    }
    for (int i = -2; i <= 3; i++) {
        cairo_move_to(cr, 27.5, i * 5 - 1.6);
        cairo_line_to(cr, 31, i * 5 + 0.2);
        cairo_line_to(cr, 27.5, i * 5 + 1.8);
        cairo_close_path(cr);
        Solid(cr, {206, 208, 204}, 0, 0.9);
    }
}

// Harvester: a broad body on six tyres, a wide intake with a toothed drum in front, a cab at
// the front left and a hopper of spice behind it; a roundel in the owner's colour on the deck
// between hopper and intake.
void DrawSammler(cairo_t* cr)
{
    for (int i = 0; i < 3; i++)
        for (int side = -1; side <= 1; side += 2) DrawWheel(cr, -18 + i * 13, side * 22, 11, 9);
    RoundedRect(cr, -28, -18, 44, 36, 4);
    Solid(cr, WorkAmber, 2.0, 1.5);
    RoundedRect(cr, -25, -4, 28, 19, 2.5);
    Solid(cr, Scaled(WorkAmber, 0.7), 1.2, 1.3);
    cairo_save(cr);
    RoundedRect(cr, -24, -3, 26, 17, 2);
    cairo_clip(cr);
    ArtRandom random = SeededRandom("Sammler spice");
    for (int i = 0; i < 60; i++) {
        Circle(cr, RandomRange(random, -24, 2), RandomRange(random, -3, 14), RandomRange(random, 1.2, 2.4));
        Use(cr, Scaled(Spice, RandomRange(random, 0.75, 1.15)));
        cairo_fill(cr);
    }
    cairo_restore(cr);
    for (int i = 0; i < 4; i++) {
        cairo_move_to(cr, -25, -4 + i * 6.3);
        cairo_line_to(cr, 3, -4 + i * 6.3);
        Use(cr, Scaled(WorkAmber, 0.5));
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
    }
    Circle(cr, 6.5, 2, 5.5);
    TeamWindow(cr, 1.2);
    RoundedRect(cr, -2, -16, 14, 11, 2.5);
    Solid(cr, Scaled(WorkAmber, 1.1), 1.4, 1.3);
    RoundedRect(cr, 7, -14.5, 4, 8, 1);
    Solid(cr, Glass, 0, 1.0);
    // The intake: a flared mouth wider than the body, a drum of teeth turning inside.
    const double mouth[] = {15, -17, 24, -28, 30, -28, 30, 28, 24, 28, 15, 17};
    Polygon(cr, mouth, 6);
    Solid(cr, Steel, 1.6, 1.5);
    cairo_rectangle(cr, 22, -24, 6, 48);
    Solid(cr, Gunmetal, 1.0, 1.2);
    for (int i = -5; i <= 5; i++) {
        cairo_move_to(cr, 22.5, i * 4.3 - 1);
        cairo_line_to(cr, 27.5, i * 4.3 + 1);
        SetColour(cr, 200, 200, 196);
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
    }
}

// ---- troops -------------------------------------------------------------------------------------
// A trooper from straight above, filling his picture: a helmet in the owner's colour in the
// middle, shoulders and arms in the uniform, a pack behind and the weapon held forward. At half size he covers 16 pixels, so the kinds differ in what stands out of
// that outline: a rifle, a rocket tube on the shoulder, a glowing laser, an engineer's big pack
// and cutter.

struct TrooperRow {
    const char* name;
    Rgb uniform;
    Rgb helmet;
    int kind; // 0 rifle, 1 rocket tube, 2 laser rifle, 3 engineer with pack and tool
};
const TrooperRow Troopers[] = {
    {"Infanterie", {104, 110, 66}, {70, 78, 46}, 0},
    {"Panzerfaust", {112, 104, 72}, {70, 74, 48}, 1},
    {"Lasertrup", {92, 104, 112}, {196, 204, 212}, 2},
    {"Pionier", {120, 100, 70}, {236, 176, 40}, 3},
};

// A thick line with the dark outline round it: arms, barrels and tubes.
void OutlinedLine(cairo_t* cr, double x0, double y0, double x1, double y1, double width, Rgb colour)
{
    for (int pass = 0; pass < 2; pass++) {
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        Use(cr, pass == 0 ? Outline : colour);
        cairo_set_line_width(cr, pass == 0 ? width + 2.2 : width);
        cairo_stroke(cr);
    }
}

// The pack on the back: an engineer carries a bigger one, striped for his trade.
void DrawPack(cairo_t* cr, int kind)
{
    if (kind == 3) {
        RoundedRect(cr, -15.5, -11.5, 11.5, 23, 3);
        Solid(cr, {150, 120, 70}, 1.0, 1.3);
        for (int i = 0; i < 3; i++) {
            cairo_rectangle(cr, -14.5 + i * 3.4, -10.5, 1.6, 21);
            Use(cr, {236, 176, 40});
            cairo_fill(cr);
        }
        return;
    }
    RoundedRect(cr, -14, -10.5, 10, 21, 3);
    Solid(cr, {96, 84, 60}, 1.0, 1.3);
}

// What a trooper carries forward: rifle, rocket tube on the right shoulder, laser rifle, or
// the engineer's cutter.
void DrawTrooperWeapon(cairo_t* cr, int kind)
{
    switch (kind) {
    case 0:
        OutlinedLine(cr, 4, 4, 15.5, 4, 1.8, Gunmetal);
        break;
    case 1:
        OutlinedLine(cr, -13, 10, 12, 10, 4.4, {118, 126, 76});
        cairo_rectangle(cr, 11, 7.2, 4, 5.6);
        Solid(cr, RocketTip, 0, 1.1);
        break;
    case 2:
        OutlinedLine(cr, 4, 4, 13.5, 4, 2.0, Steel);
        for (double x : {6.0, 9.0}) {
            cairo_rectangle(cr, x, 1.8, 1.4, 4.4);
            Use(cr, Gunmetal);
            cairo_fill(cr);
        }
        Glow(cr, 14, 4, 2.3, LaserRed);
        break;
    default:
        OutlinedLine(cr, 4, 5, 12, 5, 1.6, Steel);
        Circle(cr, 13, 5, 2.4);
        Solid(cr, {206, 208, 204}, 0, 1.1);
        break;
    }
}

// One trooper: pack, shoulders, helmet, arms, weapon.
void DrawTrooper(const TrooperRow& trooper)
{
    std::string path = UnitPath(trooper.name);
    Canvas canvas = CentredCanvas(path);
    cairo_t* cr = canvas.cr;
    DrawPack(cr, trooper.kind);
    // Shoulders from one arm to the other, the forearms held before the chest; the helmet is
    // cut into them.
    RoundedRect(cr, -9.5, -14, 19, 28, 6);
    Solid(cr, trooper.uniform, 1.2, 1.4);
    RoundedRect(cr, 3, -8.5, 11, 17, 4.5);
    Solid(cr, Scaled(trooper.uniform, 1.08), 1.0, 1.3);
    Circle(cr, 0, 0, 6.5);
    TeamWindow(cr, 1.2);
    // The helmet's crest, in the kind's own colour.
    cairo_rectangle(cr, -3.5, -0.8, 4.5, 1.6);
    Use(cr, trooper.helmet);
    cairo_fill_preserve(cr);
    Stroke(cr, 0.7);
    DrawTrooperWeapon(cr, trooper.kind);
    SaveKeyedBmp(canvas, path);
    FreeCanvas(canvas);
}

// ---- ground marks ("=" pictures) -----------------------------------------------------------------

// One band of track imprints: cleat bars across a pressed strip.
void MarkTreads(cairo_t* cr, double length, double y0, double y1)
{
    cairo_rectangle(cr, -length / 2, y0, length, y1 - y0);
    Use(cr, Scaled(MarkBrown, 1.25));
    cairo_fill(cr);
    for (double x = -length / 2 + 1; x < length / 2 - 1; x += 4) {
        cairo_rectangle(cr, x, y0 + 1, 2, y1 - y0 - 2);
        Use(cr, MarkBrown);
        cairo_fill(cr);
    }
}

// A tyre print: a strip of chevrons.
void MarkTyre(cairo_t* cr, double length, double y, double width)
{
    for (double x = -length / 2; x < length / 2; x += 3.5) {
        cairo_move_to(cr, x, y - width / 2);
        cairo_line_to(cr, x + 2, y);
        cairo_line_to(cr, x, y + width / 2);
        Use(cr, MarkBrown);
        cairo_set_line_width(cr, 1.6);
        cairo_stroke(cr);
    }
}

// A boot or claw print centred at (x, y), toes forward.
void MarkFoot(cairo_t* cr, double x, double y, double size, int claws)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, size, size);
    if (claws) {
        Circle(cr, 0, 0, 1.2);
        for (int i = -1; i <= 1; i++) {
            cairo_move_to(cr, 0.6, i * 0.5);
            cairo_line_to(cr, 2.4, i * 1.3);
        }
        cairo_set_line_width(cr, 0.7);
        Use(cr, MarkBrown);
        cairo_stroke(cr);
        Circle(cr, 0, 0, 1.1);
        Use(cr, MarkBrown);
        cairo_fill(cr);
    } else {
        cairo_scale(cr, 1.6, 0.75);
        Circle(cr, 0, 0, 1);
        Use(cr, MarkBrown);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

// A hover or downwash wake: faint arcs of blown sand around the centre.
void MarkWake(cairo_t* cr, double radius, double spread)
{
    for (int i = 0; i < 2; i++) {
        double r = radius - i * 5;
        cairo_new_sub_path(cr);
        cairo_arc(cr, 6, 0, r, M_PI - spread, M_PI + spread);
        Use(cr, Scaled(MarkBrown, 1.15 + 0.1 * i));
        cairo_set_line_width(cr, 2.0);
        cairo_stroke(cr);
    }
}

// The marks of each family, laid where its tracks, tyres or feet touch the ground.
void MarkPanzer(cairo_t* cr)
{
    MarkTreads(cr, 22, -26, -15);
    MarkTreads(cr, 22, 15, 26);
}
void MarkBagger(cairo_t* cr)
{
    MarkTreads(cr, 20, -25, -15);
    MarkTreads(cr, 20, 15, 25);
}
void MarkSammler(cairo_t* cr)
{
    MarkTyre(cr, 20, -22, 8);
    MarkTyre(cr, 20, 22, 8);
}
void MarkQuad(cairo_t* cr)
{
    MarkTyre(cr, 18, -20, 9);
    MarkTyre(cr, 18, 20, 9);
}
void MarkSpeeder(cairo_t* cr) { MarkWake(cr, 24, 0.7); }
void MarkGleiter(cairo_t* cr) { MarkWake(cr, 20, 0.5); }
void MarkRoboter(cairo_t* cr)
{
    MarkFoot(cr, 8, -22, 2.4, 1);
    MarkFoot(cr, -8, 22, 2.4, 1);
}
void MarkTrup(cairo_t* cr)
{
    MarkFoot(cr, 3, -3, 2.4, 0);
    MarkFoot(cr, -3, 3, 2.4, 0);
}

struct MarkRow {
    const char* name;
    void (*draw)(cairo_t*);
};
const MarkRow Marks[] = {
    {"Bagger =", MarkBagger}, {"Sammler =", MarkSammler}, {"Speeder =", MarkSpeeder}, {"Quad =", MarkQuad},
    {"Panzer =", MarkPanzer}, {"Roboter =", MarkRoboter}, {"Gleiter =", MarkGleiter}, {"Trup =", MarkTrup},
};

// One family's ground mark.
void DrawMark(const MarkRow& mark)
{
    std::string path = UnitPath(mark.name);
    Canvas canvas = CentredCanvas(path);
    mark.draw(canvas.cr);
    SaveKeyedBmp(canvas, path);
    FreeCanvas(canvas);
}

struct WorkRow {
    const char* name;
    void (*draw)(cairo_t*);
};
const WorkRow WorkVehicles[] = {{"Bagger", DrawBagger}, {"Sammler", DrawSammler}};

// The builder or the harvester.
void DrawWorkVehicle(const WorkRow& vehicle)
{
    std::string path = UnitPath(vehicle.name);
    Canvas canvas = CentredCanvas(path);
    vehicle.draw(canvas.cr);
    SaveKeyedBmp(canvas, path);
    FreeCanvas(canvas);
}

// ---- the units as the game shows them, for the contact sheet -----------------------------------

// A written picture, from the contact sheet's copy, with its black made see-through again.
cairo_surface_t* KeyedCopy(const std::string& path)
{
    for (const SheetEntry& entry : SheetEntries) {
        if (entry.path != path) continue;
        int w = cairo_image_surface_get_width(entry.surface), h = cairo_image_surface_get_height(entry.surface);
        cairo_surface_t* keyed = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
        cairo_surface_flush(entry.surface);
        const unsigned char* from = cairo_image_surface_get_data(entry.surface);
        unsigned char* to = cairo_image_surface_get_data(keyed);
        int fromStride = cairo_image_surface_get_stride(entry.surface), toStride = cairo_image_surface_get_stride(keyed);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                uint32_t rgb = ((const uint32_t*)(from + y * fromStride))[x] & 0xFFFFFFu;
                ((uint32_t*)(to + y * toStride))[x] = rgb ? (0xFF000000u | rgb) : 0u;
            }
        cairo_surface_mark_dirty(keyed);
        return keyed;
    }
    return nullptr;
}

// One strip per player: every unit turned a little, at the size the game draws it at zoom 1
// on a 1024-wide screen, over the unturned square of the player's colour the game lays
// beneath it.
void PreviewUnitsAsPlayed()
{
    std::vector<std::string> paths;
    for (const TrooperRow& trooper : Troopers) paths.push_back(UnitPath(trooper.name));
    for (const UnitRow& unit : CombatUnits) paths.push_back(UnitPath(unit.name));
    for (const WorkRow& vehicle : WorkVehicles) paths.push_back(UnitPath(vehicle.name));
    for (const char* tower : {"Kugel-Wachturm", "Raketen-Wachturm", "Ionen-Wachturm"})
        paths.push_back(std::string("BMP\\O\\") + tower + ".bmp");
    const int cell = 36;
    const Rgb grounds[4] = {{0, 0, 0}, {204, 170, 116}, {112, 80, 54}, {204, 170, 116}};
    for (int player = 1; player <= 3; player++) {
        Canvas strip = NewCanvas(cell * int(paths.size()), cell);
        cairo_t* cr = strip.cr;
        Use(cr, grounds[player]);
        cairo_paint(cr);
        for (size_t i = 0; i < paths.size(); i++) {
            cairo_surface_t* picture = KeyedCopy(paths[i]);
            if (!picture) continue;
            double width = cairo_image_surface_get_width(picture), half = TeamSquareHalf(int(width)) / 2;
            cairo_save(cr);
            cairo_translate(cr, cell * (double(i) + 0.5), cell / 2.0);
            cairo_rectangle(cr, -half, -half, 2 * half, 2 * half);
            SetColour(cr, PlayerColours[player][0], PlayerColours[player][1], PlayerColours[player][2]);
            cairo_fill(cr);
            cairo_rotate(cr, (double(i % 5) * 25 - 50) * M_PI / 180);
            cairo_scale(cr, 0.5, 0.5);
            cairo_set_source_surface(cr, picture, -width / 2, -width / 2);
            cairo_paint(cr);
            cairo_restore(cr);
            cairo_surface_destroy(picture);
        }
        cairo_surface_flush(strip.surface);
        cairo_surface_reference(strip.surface);
        PreviewEntries.push_back(
            SheetEntry{"(Vorschau)\\Einheiten wie im Spiel, Spieler " + std::to_string(player), strip.surface});
        FreeCanvas(strip);
    }
}

} // namespace

// Every unit picture and every family's ground mark; then the contact sheet's view of them as
// the game shows them, with the towers drawn among the buildings before.
void DrawUnits()
{
    for (const WorkRow& vehicle : WorkVehicles) DrawWorkVehicle(vehicle);
    for (const UnitRow& unit : CombatUnits) DrawCombatUnit(unit);
    for (const TrooperRow& trooper : Troopers) DrawTrooper(trooper);
    for (const MarkRow& mark : Marks) DrawMark(mark);
    PreviewUnitsAsPlayed();
}
