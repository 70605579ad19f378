// tools/artgen/common.cpp - canvases, deterministic randomness, writing files, the contact sheet.
#include "artgen.h"

#include "platform/image.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

std::string OutputFolder = "./";
std::vector<SheetEntry> SheetEntries;
std::vector<SheetEntry> PreviewEntries;

const int PlayerColours[5][3] = {
    {150, 150, 150}, // neutral
    {40, 110, 230},  // 1 blue
    {220, 50, 40},   // 2 red
    {60, 190, 70},   // 3 green
    {240, 200, 40},  // 4 yellow
};

// ---- randomness: a 64-bit FNV hash of the name seeds a SplitMix64 stream ----

ArtRandom SeededRandom(const std::string& name)
{
    uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : name) hash = (hash ^ c) * 1099511628211ull;
    return ArtRandom{hash};
}

static uint64_t NextBits(ArtRandom& random)
{
    uint64_t z = (random.state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double RandomUnit(ArtRandom& random) { return double(NextBits(random) >> 11) * (1.0 / 9007199254740992.0); }
double RandomRange(ArtRandom& random, double low, double high) { return low + (high - low) * RandomUnit(random); }
int RandomInt(ArtRandom& random, int low, int high) { return low + int(NextBits(random) % uint64_t(high - low + 1)); }

// ---- canvases ----

Canvas NewCanvas(int width, int height)
{
    Canvas canvas;
    canvas.width = width;
    canvas.height = height;
    canvas.surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    canvas.cr = cairo_create(canvas.surface);
    cairo_set_antialias(canvas.cr, CAIRO_ANTIALIAS_GOOD);
    return canvas;
}

Canvas NewCanvasFor(const std::string& path)
{
    ArtSize size = SizeOf(path);
    return NewCanvas(size.width, size.height);
}

void FreeCanvas(Canvas& canvas)
{
    if (canvas.cr) cairo_destroy(canvas.cr);
    if (canvas.surface) cairo_surface_destroy(canvas.surface);
    canvas = Canvas{};
}

// ---- output ----

// Game path ("BMP\\O\\Kaserne.bmp") -> OS path under OutputFolder, making the folders on the way.
static std::string PrepareOutput(const std::string& path)
{
    std::string osPath = OutputFolder;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            mkdir(osPath.c_str(), 0755);
            osPath += '/';
        } else {
            osPath += c;
        }
    }
    return osPath;
}

void SaveBytes(const std::string& path, const std::string& bytes)
{
    std::string osPath = PrepareOutput(path);
    FILE* file = std::fopen(osPath.c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        std::fprintf(stderr, "artgen: cannot write %s\n", osPath.c_str());
        std::exit(1);
    }
    std::fclose(file);
}

// How canvas pixels become picture pixels.
enum PixelRule {
    KeyedPixels,  // less than half covered is black, the rest full colour, drawn black lifted
    OpaquePixels, // composited over black, black lifted
    FlatPixels,   // composited over black, black kept black
};

// Canvas pixels (premultiplied ARGB) -> image. Un-premultiplying a keyed pixel gives its full
// colour; composited pixels keep the premultiplied values, which is the colour over black.
static Image CanvasImage(Canvas& canvas, PixelRule rule)
{
    cairo_surface_flush(canvas.surface);
    Image image;
    MakeImage(image, canvas.width, canvas.height, 0);
    const unsigned char* data = cairo_image_surface_get_data(canvas.surface);
    int stride = cairo_image_surface_get_stride(canvas.surface);
    for (int y = 0; y < canvas.height; y++) {
        const uint32_t* row = (const uint32_t*)(data + size_t(y) * size_t(stride));
        for (int x = 0; x < canvas.width; x++) {
            uint32_t p = row[x];
            int a = int(p >> 24), r = int((p >> 16) & 255), g = int((p >> 8) & 255), b = int(p & 255);
            if (rule == KeyedPixels) {
                if (a < 128) {
                    r = g = b = 0;
                } else {
                    r = std::min(255, r * 255 / a);
                    g = std::min(255, g * 255 / a);
                    b = std::min(255, b * 255 / a);
                    if (r + g + b == 0) r = g = b = 2;
                }
            } else if (rule == OpaquePixels && r + g + b == 0) {
                r = g = b = 2;
            }
            image.pixels[size_t(y) * size_t(canvas.width) + size_t(x)] = PackColour(r, g, b);
        }
    }
    return image;
}

// Keeps a copy of what was written for the contact sheet.
static void Remember(const std::string& path, const Image& image)
{
    cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_RGB24, image.width, image.height);
    unsigned char* data = cairo_image_surface_get_data(copy);
    int stride = cairo_image_surface_get_stride(copy);
    for (int y = 0; y < image.height; y++)
        for (int x = 0; x < image.width; x++)
            ((uint32_t*)(data + size_t(y) * size_t(stride)))[x] = image.pixels[size_t(y) * size_t(image.width) + size_t(x)];
    cairo_surface_mark_dirty(copy);
    SheetEntries.push_back(SheetEntry{path, copy});
}

static void CheckSize(const Canvas& canvas, const std::string& path)
{
    for (const ArtSize& size : SizeTable) {
        if (path == size.path && (size.width != canvas.width || size.height != canvas.height)) {
            std::fprintf(stderr, "artgen: %s drawn at %dx%d, the table says %dx%d\n", path.c_str(), canvas.width,
                         canvas.height, size.width, size.height);
            std::exit(1);
        }
    }
}

void SaveKeyedBmp(Canvas& canvas, const std::string& path)
{
    CheckSize(canvas, path);
    Image image = CanvasImage(canvas, KeyedPixels);
    SaveBytes(path, EncodeBmp24(image));
    Remember(path, image);
}

void SaveOpaqueBmp(Canvas& canvas, const std::string& path)
{
    CheckSize(canvas, path);
    Image image = CanvasImage(canvas, OpaquePixels);
    SaveBytes(path, EncodeBmp24(image));
    Remember(path, image);
}

void SaveJpeg(Canvas& canvas, const std::string& path)
{
    CheckSize(canvas, path);
    Image image = CanvasImage(canvas, FlatPixels);
    SaveBytes(path, EncodeJpeg(image, 90));
    Remember(path, image);
}

// ---- drawing helpers ----

void SetColour(cairo_t* cr, int r, int g, int b, double alpha)
{
    cairo_set_source_rgba(cr, r / 255.0, g / 255.0, b / 255.0, alpha);
}

void FillLit(cairo_t* cr, double x, double y, double w, double h, const int light[3], const int dark[3])
{
    cairo_pattern_t* gradient = cairo_pattern_create_linear(x, y, x + w, y + h);
    cairo_pattern_add_color_stop_rgb(gradient, 0, light[0] / 255.0, light[1] / 255.0, light[2] / 255.0);
    cairo_pattern_add_color_stop_rgb(gradient, 1, dark[0] / 255.0, dark[1] / 255.0, dark[2] / 255.0);
    cairo_set_source(cr, gradient);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(gradient);
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double radius)
{
    const double quarter = 1.5707963267948966;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - radius, y + radius, radius, -quarter, 0);
    cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, quarter);
    cairo_arc(cr, x + radius, y + h - radius, radius, quarter, 2 * quarter);
    cairo_arc(cr, x + radius, y + radius, radius, 2 * quarter, 3 * quarter);
    cairo_close_path(cr);
}

// ---- contact sheet: every picture on a grey board with its name below. Wide strips (the
// glyph fonts) get a full-width band each at double size, where a grid cell would shrink them
// to a line; everything else sits in a grid. ----

static int IsStrip(const SheetEntry& entry)
{
    return cairo_image_surface_get_width(entry.surface) > 8 * cairo_image_surface_get_height(entry.surface);
}

static void PaintScaled(cairo_t* cr, cairo_surface_t* surface, double x, double y, double scale)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
}

static void Label(cairo_t* cr, const std::string& path, double x, double y)
{
    SetColour(cr, 255, 240, 210);
    std::string name = path.substr(path.find_last_of('\\') + 1);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, name.c_str());
}

void WriteContactSheet(const std::string& pngPath)
{
    const int cell = 140, columns = 12, label = 14, sheetWidth = columns * cell;
    std::vector<SheetEntry> entries = SheetEntries;
    entries.insert(entries.end(), PreviewEntries.begin(), PreviewEntries.end());
    int stripHeight = 0, gridCount = 0;
    for (const SheetEntry& entry : entries) {
        if (IsStrip(entry)) stripHeight += 2 * cairo_image_surface_get_height(entry.surface) + label + 8;
        else gridCount++;
    }
    int rowHeight = cell + label + 6, rows = (gridCount + columns - 1) / columns;
    cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, sheetWidth, std::max(1, stripHeight + rows * rowHeight));
    cairo_t* cr = cairo_create(sheet);
    SetColour(cr, 96, 88, 80);
    cairo_paint(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 9);
    double y = 0;
    int index = 0;
    for (const SheetEntry& entry : entries) {
        double w = cairo_image_surface_get_width(entry.surface), h = cairo_image_surface_get_height(entry.surface);
        if (IsStrip(entry)) {
            PaintScaled(cr, entry.surface, 4, y + 4, std::min(2.0, (sheetWidth - 8) / w));
            Label(cr, entry.path, 4, y + 2 * h + label + 2);
            y += 2 * h + label + 8;
            continue;
        }
        double x0 = double(index % columns) * cell, y0 = stripHeight + double(index / columns) * rowHeight;
        double scale = std::min({1.0, (cell - 8) / w, (cell - 8) / h});
        if (w * scale < 24 && h * scale < 24) scale = std::min(4.0, 24.0 / std::max(w, h));
        PaintScaled(cr, entry.surface, x0 + (cell - w * scale) / 2, y0 + (cell - h * scale) / 2, scale);
        Label(cr, entry.path, x0 + 4, y0 + cell + label - 2);
        index++;
    }
    cairo_destroy(cr);
    cairo_surface_write_to_png(sheet, pngPath.c_str());
    cairo_surface_destroy(sheet);
}
