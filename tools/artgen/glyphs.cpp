// tools/artgen/glyphs.cpp - the bitmap font strips for the five screen widths and the group
// marker.
//
// The game writes text by cutting glyph g (character code - 30) out of a one-row strip: the cell
// starts at round(g * w) and is round(w - 1) wide and round(h) high, with w = 12 and h = 20 at a
// 1280 wide screen, scaled with the width. Every glyph is drawn into exactly that rectangle, so
// the text lines up at every resolution. The game draws the strip with black transparent and
// over any ground, so each glyph is light sand-white inside a dark rim.
#include "artgen.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

static constexpr int FirstCode = 30;  // code of glyph 0
static constexpr int GlyphCount = 120; // codes 30..149

// A letter drawn pixel by pixel: rows from the top separated by '/', '#' lit, '.' not; rows left
// out at the end are empty.
struct PixelGlyph {
    int code;
    const char* rows;
};

// A hand-made pixel font for cells too small for a scalable font to stay readable.
struct PixelFont {
    const PixelGlyph* glyphs;
    int count;
    int left, top; // where row 0, column 0 of a letter lies in its cell
};

// 5 x 7 letters for the 800 wide screen (cells of 7 x 13): row 0 carries the dots of the capital
// umlauts, rows 1..7 stand on the baseline, rows 8..9 are for descenders.
static const PixelGlyph Pixels5x7[] = {
    {'!', "/..#../..#../..#../..#../..#../...../..#.."}, {'"', "/.#.#./.#.#./.#.#."},
    {'#', "/.#.#./.#.#./#####/.#.#./#####/.#.#./.#.#."}, {'$', "/..#../.####/#.#../.###./..#.#/####./..#.."},
    {'%', "/##.../##..#/...#./..#../.#.../#..##/...##"}, {'&', "/.##../#..#./#.#../.#.../#.#.#/#..#./.##.#"},
    {'\'', "/..#../..#../.#..."}, {'(', "/...#./..#../.#.../.#.../.#.../..#../...#."},
    {')', "/.#.../..#../...#./...#./...#./..#../.#..."}, {'*', "//..#../#.#.#/.###./#.#.#/..#.."},
    {'+', "//..#../..#../#####/..#../..#.."}, {',', "//////.##../.##../..#../.#..."},
    {'-', "////.###."}, {'.', "//////.##../.##.."},
    {'/', "/....#/....#/...#./..#../.#.../#..../#...."}, {'0', "/.###./#...#/#..##/#.#.#/##..#/#...#/.###."},
    {'1', "/..#../.##../..#../..#../..#../..#../.###."}, {'2', "/.###./#...#/....#/...#./..#../.#.../#####"},
    {'3', "/#####/...#./..#../...#./....#/#...#/.###."}, {'4', "/...#./..##./.#.#./#..#./#####/...#./...#."},
    {'5', "/#####/#..../####./....#/....#/#...#/.###."}, {'6', "/..##./.#.../#..../####./#...#/#...#/.###."},
    {'7', "/#####/....#/...#./..#../.#.../.#.../.#..."}, {'8', "/.###./#...#/#...#/.###./#...#/#...#/.###."},
    {'9', "/.###./#...#/#...#/.####/....#/...#./.##.."}, {':', "///.##../.##..//.##../.##.."},
    {';', "///.##../.##..//.##../.##../..#../.#..."}, {'<', "/...#./..#../.#.../#..../.#.../..#../...#."},
    {'=', "///#####//#####"}, {'>', "/.#.../..#../...#./....#/...#./..#../.#..."},
    {'?', "/.###./#...#/....#/...#./..#..//..#.."}, {'@', "/.###./#...#/#.###/#.#.#/#.###/#..../.####"},
    {'A', "/.###./#...#/#...#/#####/#...#/#...#/#...#"}, {'B', "/####./#...#/#...#/####./#...#/#...#/####."},
    {'C', "/.###./#...#/#..../#..../#..../#...#/.###."}, {'D', "/####./#...#/#...#/#...#/#...#/#...#/####."},
    {'E', "/#####/#..../#..../####./#..../#..../#####"}, {'F', "/#####/#..../#..../####./#..../#..../#...."},
    {'G', "/.###./#...#/#..../#.###/#...#/#...#/.####"}, {'H', "/#...#/#...#/#...#/#####/#...#/#...#/#...#"},
    {'I', "/.###./..#../..#../..#../..#../..#../.###."}, {'J', "/..###/...#./...#./...#./...#./#..#./.##.."},
    {'K', "/#...#/#..#./#.#../##.../#.#../#..#./#...#"}, {'L', "/#..../#..../#..../#..../#..../#..../#####"},
    {'M', "/#...#/##.##/#.#.#/#.#.#/#...#/#...#/#...#"}, {'N', "/#...#/#...#/##..#/#.#.#/#..##/#...#/#...#"},
    {'O', "/.###./#...#/#...#/#...#/#...#/#...#/.###."}, {'P', "/####./#...#/#...#/####./#..../#..../#...."},
    {'Q', "/.###./#...#/#...#/#...#/#.#.#/#..#./.##.#"}, {'R', "/####./#...#/#...#/####./#.#../#..#./#...#"},
    {'S', "/.####/#..../#..../.###./....#/....#/####."}, {'T', "/#####/..#../..#../..#../..#../..#../..#.."},
    {'U', "/#...#/#...#/#...#/#...#/#...#/#...#/.###."}, {'V', "/#...#/#...#/#...#/#...#/#...#/.#.#./..#.."},
    {'W', "/#...#/#...#/#...#/#.#.#/#.#.#/#.#.#/.#.#."}, {'X', "/#...#/#...#/.#.#./..#../.#.#./#...#/#...#"},
    {'Y', "/#...#/#...#/.#.#./..#../..#../..#../..#.."}, {'Z', "/#####/....#/...#./..#../.#.../#..../#####"},
    {'[', "/.###./.#.../.#.../.#.../.#.../.#.../.###."}, {'\\', "/#..../#..../.#.../..#../...#./....#/....#"},
    {']', "/.###./...#./...#./...#./...#./...#./.###."}, {'^', "/..#../.#.#./#...#"},
    {'_', "////////#####"}, {'`', "/.#.../..#.."},
    {'a', "///.###./....#/.####/#...#/.####"}, {'b', "/#..../#..../####./#...#/#...#/#...#/####."},
    {'c', "///.###./#..../#..../#...#/.###."}, {'d', "/....#/....#/.####/#...#/#...#/#...#/.####"},
    {'e', "///.###./#...#/#####/#..../.###."}, {'f', "/..##./.#..#/.#.../###../.#.../.#.../.#..."},
    {'g', "///.####/#...#/#...#/#...#/.####/....#/.###."}, {'h', "/#..../#..../#.##./##..#/#...#/#...#/#...#"},
    {'i', "/..#..//.##../..#../..#../..#../.###."}, {'j', "/...#.//..##./...#./...#./...#./...#./#..#./.##.."},
    {'k', "/#..../#..../#..#./#.#../##.../#.#../#..#."}, {'l', "/.##../..#../..#../..#../..#../..#../.###."},
    {'m', "///##.#./#.#.#/#.#.#/#.#.#/#.#.#"}, {'n', "///#.##./##..#/#...#/#...#/#...#"},
    {'o', "///.###./#...#/#...#/#...#/.###."}, {'p', "///####./#...#/#...#/#...#/####./#..../#...."},
    {'q', "///.####/#...#/#...#/#...#/.####/....#/....#"}, {'r', "///#.##./##..#/#..../#..../#...."},
    {'s', "///.####/#..../.###./....#/####."}, {'t', "/.#.../.#.../###../.#.../.#.../.#..#/..##."},
    {'u', "///#...#/#...#/#...#/#..##/.##.#"}, {'v', "///#...#/#...#/#...#/.#.#./..#.."},
    {'w', "///#...#/#...#/#.#.#/#.#.#/.#.#."}, {'x', "///#...#/.#.#./..#../.#.#./#...#"},
    {'y', "///#...#/#...#/#...#/#...#/.####/....#/.###."}, {'z', "///#####/...#./..#../.#.../#####"},
    {'{', "/...##/..#../..#../.#.../..#../..#../...##"}, {'|', "/..#../..#../..#../..#../..#../..#../..#../..#.."},
    {'}', "/##.../..#../..#../...#./..#../..#../##..."}, {'~', "///.#.../#.#.#/...#."},
    {130, ".#.#./.../.###./#...#/#####/#...#/#...#/#...#"}, {131, ".#.#./.../.###./#...#/#...#/#...#/#...#/.###."},
    {132, ".#.#./.../#...#/#...#/#...#/#...#/#...#/.###."}, {133, "/.#.#.//.###./....#/.####/#...#/.####"},
    {134, "/.#.#.//.###./#...#/#...#/#...#/.###."}, {135, "/.#.#.//#...#/#...#/#...#/#..##/.##.#"},
    {136, "/.##../#..#./#..#./#.#../#..#./#...#/#.##."}, {137, "/.###./#..../###../#..#./..###/....#/.###."},
};

// 4 x 6 letters for the 640 wide screen (cells of 5 x 10): rows 0..5 stand on the baseline, rows
// 6..7 are for descenders, and the capital umlauts shorten their letter under the dots. A few
// wide letters take a fifth column and give up their right rim for it.
static const PixelGlyph Pixels4x6[] = {
    {'!', ".#../.#../.#../.#../..../.#.."}, {'"', "#.#./#.#."}, {'#', ".#.#./#####/.#.#./.#.#./#####/.#.#."},
    {'$', "..#./.###/#.../.##./...#/###./..#."}, {'%', "#..#/...#/..#./.#../#.../#..#"}, {'&', ".#../#.#./.#../##.#/#.#./.#.#"},
    {'\'', ".#../.#.."}, {'(', "..#./.#../.#../.#../.#../..#."}, {')', ".#../..#./..#./..#./..#./.#.."},
    {'*', "/#.#./.#../#.#."}, {'+', "//.#../###./.#.."}, {',', "/////.#../#..."},
    {'-', "///###."}, {'.', "/////.#.."}, {'/', "...#/...#/..#./.#../#.../#..."},
    {'0', ".##./#..#/#.##/##.#/#..#/.##."}, {'1', ".#../##../.#../.#../.#../###."}, {'2', ".##./#..#/..#./.#../#.../####"},
    {'3', "###./...#/.##./...#/...#/###."}, {'4', "..#./.##./#.#./####/..#./..#."}, {'5', "####/#.../###./...#/...#/###."},
    {'6', ".##./#.../###./#..#/#..#/.##."}, {'7', "####/...#/..#./.#../.#../.#.."}, {'8', ".##./#..#/.##./#..#/#..#/.##."},
    {'9', ".##./#..#/#..#/.###/...#/.##."}, {':', "//.#..///.#.."}, {';', "//.#..///.#../#..."},
    {'<', "/..#./.#../#.../.#../..#."}, {'=', "//###./..../###."}, {'>', "/#.../.#../..#./.#../#..."},
    {'?', ".##./#..#/..#./.#../..../.#.."}, {'@', ".##./#..#/#.##/#.##/#.../.###"},
    {'A', ".##./#..#/#..#/####/#..#/#..#"}, {'B', "###./#..#/###./#..#/#..#/###."}, {'C', ".###/#.../#.../#.../#.../.###"},
    {'D', "###./#..#/#..#/#..#/#..#/###."}, {'E', "####/#.../###./#.../#.../####"}, {'F', "####/#.../###./#.../#.../#..."},
    {'G', ".###/#.../#.##/#..#/#..#/.###"}, {'H', "#..#/#..#/####/#..#/#..#/#..#"}, {'I', "###./.#../.#../.#../.#../###."},
    {'J', "..##/...#/...#/...#/#..#/.##."}, {'K', "#..#/#.#./##../#.#./#..#/#..#"}, {'L', "#.../#.../#.../#.../#.../####"},
    {'M', "#...#/##.##/#.#.#/#...#/#...#/#...#"}, {'N', "#..#/##.#/##.#/#.##/#.##/#..#"}, {'O', ".##./#..#/#..#/#..#/#..#/.##."},
    {'P', "###./#..#/#..#/###./#.../#..."}, {'Q', ".##./#..#/#..#/#..#/#.#./.#.#"}, {'R', "###./#..#/#..#/###./#.#./#..#"},
    {'S', ".###/#.../.##./...#/...#/###."}, {'T', "###./.#../.#../.#../.#../.#.."}, {'U', "#..#/#..#/#..#/#..#/#..#/.##."},
    {'V', "#...#/#...#/#...#/.#.#./.#.#./..#.."}, {'W', "#...#/#...#/#.#.#/#.#.#/##.##/#...#"},
    {'X', "#..#/#..#/.##./.##./#..#/#..#"}, {'Y', "#.#./#.#./#.#./.#../.#../.#.."}, {'Z', "####/...#/..#./.#../#.../####"},
    {'[', ".##./.#../.#../.#../.#../.##."}, {'\\', "#.../#.../.#../..#./...#/...#"}, {']', ".##./..#./..#./..#./..#./.##."},
    {'^', ".#../#.#."}, {'_', "//////####"}, {'`', "#.../.#.."},
    {'a', "//.###/#..#/#..#/.###"}, {'b', "#.../#.../###./#..#/#..#/###."}, {'c', "//.###/#.../#.../.###"},
    {'d', "...#/...#/.###/#..#/#..#/.###"}, {'e', "//.##./####/#.../.##."}, {'f', "..##/.#../###./.#../.#../.#.."},
    {'g', "//.###/#..#/#..#/.###/...#/.##."}, {'h', "#.../#.../###./#..#/#..#/#..#"}, {'i', ".#..//##../.#../.#../###."},
    {'j', "..#.//.##./..#./..#./..#./..#./##.."}, {'k', "#.../#.../#.#./##../#.#./#..#"}, {'l', "##../.#../.#../.#../.#../###."},
    {'m', "//####./#.#.#/#.#.#/#.#.#"}, {'n', "//###./#..#/#..#/#..#"}, {'o', "//.##./#..#/#..#/.##."},
    {'p', "//###./#..#/#..#/###./#.../#..."}, {'q', "//.###/#..#/#..#/.###/...#/...#"}, {'r', "//#.##/##../#.../#..."},
    {'s', "//.###/##../..##/###."}, {'t', ".#../.#../###./.#../.#../..##"}, {'u', "//#..#/#..#/#..#/.###"},
    {'v', "//#...#/#...#/.#.#./..#.."}, {'w', "//#...#/#.#.#/#.#.#/.#.#."}, {'x', "//#..#/.##./.##./#..#"},
    {'y', "//#..#/#..#/#..#/.###/...#/.##."}, {'z', "//####/..#./.#../####"}, {'{', "..#./.#../##../.#../.#../..#."},
    {'|', ".#../.#../.#../.#../.#../.#../.#.."}, {'}', ".#../..#./..##/..#./..#./.#.."}, {'~', "//.#.#/#.#."},
    {130, "#..#/.##./#..#/####/#..#/#..#"}, {131, "#..#/.##./#..#/#..#/#..#/.##."}, {132, "#..#//#..#/#..#/#..#/.##."},
    {133, "#..#//.###/#..#/#..#/.###"}, {134, "#..#//.##./#..#/#..#/.##."}, {135, "#..#//#..#/#..#/#..#/.###"},
    {136, ".##./#..#/#.#./#..#/#..#/#.#."}, {137, ".###/#.../.##./#..#/.##./...#/###."},
};

static const PixelFont Font5x7 = {Pixels5x7, int(sizeof(Pixels5x7) / sizeof(Pixels5x7[0])), 1, 1};
static const PixelFont Font4x6 = {Pixels4x6, int(sizeof(Pixels4x6) / sizeof(Pixels4x6[0])), 0, 1};

// One strip: the screen width it is made for, its file, and its pixel font (none: the letters
// come from a scalable font, hinted to the pixel grid).
struct GlyphStrip {
    int screenWidth;
    const char* path;
    const PixelFont* pixels;
};

static const GlyphStrip GlyphStrips[] = {
    {1280, "BMP\\Zeichensatz1280-.bmp", nullptr}, {1152, "BMP\\Zeichensatz1152-.bmp", nullptr},
    {1024, "BMP\\Zeichensatz1024-.bmp", nullptr}, {800, "BMP\\Zeichensatz800-.bmp", &Font5x7},
    {640, "BMP\\Zeichensatz640-.bmp", &Font4x6},
};

// The letters outside plain ASCII, at the codes the text drawing maps them to.
struct SpecialGlyph {
    int code;
    const char* utf8;
};

static const SpecialGlyph SpecialGlyphs[] = {
    {130, "\xC3\x84"}, {131, "\xC3\x96"}, {132, "\xC3\x9C"}, {133, "\xC3\xA4"},
    {134, "\xC3\xB6"}, {135, "\xC3\xBC"}, {136, "\xC3\x9F"}, {137, "\xC2\xA7"},
};

// The cell of one glyph in a strip, in pixels.
struct GlyphCell {
    int left, width, height;
};

// Font size and placement shared by all glyphs of a strip.
struct StripFont {
    double size;     // font size in pixels
    double baseline; // from the top of the cell
};

static const char* FontFamily = "DejaVu Sans Mono";
static const double Body[3] = {0.98, 0.93, 0.82};   // light sand-white
static const double Rim[3] = {20 / 255.0, 16 / 255.0, 10 / 255.0}; // dark, never the key black

// The text (UTF-8) of a character code; empty when the code has no glyph.
static std::string GlyphText(int code)
{
    if (code >= 32 && code <= 126) return std::string(1, char(code));
    for (const SpecialGlyph& special : SpecialGlyphs)
        if (special.code == code) return special.utf8;
    return "";
}

// Where glyph g lies in the strip of a screen width, rounded as the text drawing rounds.
static GlyphCell CellOf(int screenWidth, int g)
{
    double w = 12.0 * screenWidth / 1280.0, h = 20.0 * screenWidth / 1280.0;
    return GlyphCell{int(std::lround(g * w)), int(std::lround(w - 1)), int(std::lround(h))};
}

// Sets the font of a strip on a drawing context: bold, grey antialiasing, hinted to the pixel
// grid so that the small strips stay crisp.
static void UseFont(cairo_t* cr, double size, double squeeze)
{
    cairo_select_font_face(cr, FontFamily, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_matrix_t matrix;
    cairo_matrix_init_scale(&matrix, size * squeeze, size);
    cairo_set_font_matrix(cr, &matrix);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

// The highest ink above and the deepest ink below the baseline over all glyphs at a size.
static void InkReach(cairo_t* cr, double size, double& above, double& below)
{
    UseFont(cr, size, 1.0);
    above = below = 0;
    for (int code = FirstCode; code < FirstCode + GlyphCount; code++) {
        std::string text = GlyphText(code);
        if (text.empty()) continue;
        cairo_text_extents_t extents;
        cairo_text_extents(cr, text.c_str(), &extents);
        above = std::max(above, -extents.y_bearing);
        below = std::max(below, extents.height + extents.y_bearing);
    }
}

// The largest font size whose glyphs, umlauts and descenders included, fit the cell height
// together with a rim row above and below, and the baseline that puts them there.
static StripFont FitFont(const GlyphStrip& strip)
{
    GlyphCell cell = CellOf(strip.screenWidth, 0);
    Canvas probe = NewCanvas(8, 8);
    StripFont font{double(cell.height), 0};
    for (; font.size > 4; font.size -= 0.25) {
        double above = 0, below = 0;
        InkReach(probe.cr, font.size, above, below);
        if (std::ceil(above) + std::ceil(below) + 2 <= cell.height) {
            font.baseline = 1 + std::ceil(above);
            break;
        }
    }
    FreeCanvas(probe);
    return font;
}

// Renders the letter shape of one glyph as coverage 0..1 per pixel of its cell: centred across
// the room left by the rim, squeezed sideways when it would not fit.
static std::vector<double> LetterCoverage(const std::string& text, const GlyphCell& cell, const StripFont& font)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, cell.width, cell.height);
    cairo_t* cr = cairo_create(surface);
    double room = cell.width - 2, squeeze = 1.0;
    cairo_text_extents_t extents;
    UseFont(cr, font.size, squeeze);
    cairo_text_extents(cr, text.c_str(), &extents);
    if (extents.width > room) {
        squeeze = room / extents.width;
        UseFont(cr, font.size, squeeze);
        cairo_text_extents(cr, text.c_str(), &extents);
    }
    // Letters sit where the font's even pitch puts them, which spaces a word evenly; only a
    // letter whose ink would leave the room is moved back into it.
    double x = std::round(1 + (room - extents.x_advance) / 2);
    if (x + extents.x_bearing < 1 || x + extents.x_bearing + extents.width > 1 + room)
        x = std::round(1 + (room - extents.width) / 2 - extents.x_bearing);
    cairo_move_to(cr, x, font.baseline);
    cairo_show_text(cr, text.c_str());
    cairo_surface_flush(surface);
    std::vector<double> coverage(size_t(cell.width * cell.height));
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < cell.height; y++)
        for (int x = 0; x < cell.width; x++) coverage[size_t(y * cell.width + x)] = data[y * stride + x] / 255.0;
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return coverage;
}

// The letter shape of one glyph from a pixel font, as coverage 0 or 1 per pixel of its cell.
static std::vector<double> PixelCoverage(int code, const GlyphCell& cell, const PixelFont& font)
{
    std::vector<double> coverage(size_t(cell.width * cell.height), 0.0);
    for (int i = 0; i < font.count; i++) {
        if (font.glyphs[i].code != code) continue;
        int row = 0, column = 0;
        for (const char* c = font.glyphs[i].rows; *c; c++) {
            if (*c == '/') {
                row++;
                column = 0;
                continue;
            }
            int x = font.left + column++, y = font.top + row;
            if (*c == '#' && x < cell.width && y < cell.height) coverage[size_t(y * cell.width + x)] = 1.0;
        }
    }
    return coverage;
}

// Whether pixel (x, y) of a cell lies on the dark rim of the letter: next to a letter pixel in
// any of the eight directions.
static int OnRim(const std::vector<double>& coverage, const GlyphCell& cell, int x, int y)
{
    for (int dy = -1; dy <= 1; dy++)
        for (int dx = -1; dx <= 1; dx++) {
            int nx = x + dx, ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= cell.width || ny >= cell.height) continue;
            if (coverage[size_t(ny * cell.width + nx)] >= 0.35) return 1;
        }
    return 0;
}

// Draws one glyph into its cell of the strip: the letter light over its dark rim, its soft edge
// pixels blended towards the rim so that they never fringe with the background.
static void DrawGlyph(Canvas& canvas, int code, const GlyphStrip& strip, const StripFont& font)
{
    std::string text = GlyphText(code);
    if (text.empty()) return;
    GlyphCell cell = CellOf(strip.screenWidth, code - FirstCode);
    std::vector<double> coverage = strip.pixels ? PixelCoverage(code, cell, *strip.pixels) : LetterCoverage(text, cell, font);
    cairo_surface_flush(canvas.surface);
    unsigned char* data = cairo_image_surface_get_data(canvas.surface);
    int stride = cairo_image_surface_get_stride(canvas.surface);
    for (int y = 0; y < cell.height; y++)
        for (int x = 0; x < cell.width; x++) {
            double cover = coverage[size_t(y * cell.width + x)];
            if (cover < 0.5 && !OnRim(coverage, cell, x, y)) continue;
            uint32_t channels[3];
            for (int k = 0; k < 3; k++) channels[k] = uint32_t(std::lround(255.0 * (Rim[k] + (Body[k] - Rim[k]) * cover)));
            ((uint32_t*)(data + size_t(y) * size_t(stride)))[cell.left + x] =
                0xFF000000u | (channels[0] << 16) | (channels[1] << 8) | channels[2];
        }
    cairo_surface_mark_dirty(canvas.surface);
}

// Draws and saves one strip.
static void MakeStrip(const GlyphStrip& strip)
{
    Canvas canvas = NewCanvasFor(strip.path);
    StripFont font = strip.pixels ? StripFont{0, 0} : FitFont(strip);
    for (int code = FirstCode; code < FirstCode + GlyphCount; code++) DrawGlyph(canvas, code, strip, font);
    SaveKeyedBmp(canvas, strip.path);
    FreeCanvas(canvas);
}

// The group marker: a small dark badge with a bevelled sand-gold rim, the ground for a group
// number beside a unit.
static void MakeGroupMarker()
{
    const char* path = "BMP\\Gruppe.bmp";
    Canvas canvas = NewCanvasFor(path);
    cairo_t* cr = canvas.cr;
    const int gold[3] = {236, 200, 120}, bronze[3] = {130, 86, 36};
    RoundedRect(cr, 0.5, 0.5, 15, 15, 3.5);
    FillLit(cr, 0.5, 0.5, 15, 15, gold, bronze);
    cairo_new_path(cr);
    const int inside[3] = {58, 46, 32}, deep[3] = {26, 20, 14};
    RoundedRect(cr, 2.5, 2.5, 11, 11, 2);
    FillLit(cr, 2.5, 2.5, 11, 11, inside, deep);
    cairo_new_path(cr);
    SaveKeyedBmp(canvas, path);
    FreeCanvas(canvas);
}

void DrawGlyphs()
{
    for (const GlyphStrip& strip : GlyphStrips) MakeStrip(strip);
    MakeGroupMarker();
}
