// tools/terrashade/terrashade.cpp - height tables, the sun by the hour and the shadow strokes.
#include "tools/terrashade/terrashade.h"

#include "platform/files.h"
#include "platform/latin1.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

int HeightListAngle = 0;
double HeightListStretch = 0;
std::vector<std::string> HeightNames;

int TopHeight[HeightTableSide][HeightTableSide];
int BottomHeight[HeightTableSide][HeightTableSide];
int HeightImageWidth = 0;
int HeightImageHeight = 0;

static const uint32_t Black = PackColour(0, 0, 0);
static const uint32_t ShadowGrey = PackColour(50, 50, 50);

// Pi / 180 as the single-precision value the sun has always been turned with; a double here
// would move some shadow ends by a pixel.
static const float DegreesToRadians = 0.017453292f;

std::string ListValue(const std::string& line)
{
    if (line.size() <= size_t(LabelWidth)) return "";
    std::string value = line.substr(LabelWidth, MaxValueLength);
    size_t first = value.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    size_t last = value.find_last_not_of(' ');
    return value.substr(first, last - first + 1);
}

// A whole number at the start of a value; 0 when there is none or it does not fit.
static int LeadingWhole(const std::string& value)
{
    int number = 0;
    std::from_chars_result result = std::from_chars(value.data(), value.data() + value.size(), number);
    return result.ec == std::errc() ? number : 0;
}

// A real number at the start of a value; 0 when there is none.
static double LeadingReal(const std::string& value)
{
    double number = 0;
    std::from_chars_result result = std::from_chars(value.data(), value.data() + value.size(), number);
    return result.ec == std::errc() && std::isfinite(number) ? number : 0;
}

// Empties the list before a read, so a short file leaves nothing of an earlier one.
static void ClearHeightList()
{
    HeightNames.clear();
    HeightListAngle = 0;
    HeightListStretch = 0;
}

int ReadHeightList(const std::string& text)
{
    ClearHeightList();
    LineReader reader = MakeLineReader(text);
    std::string line;
    if (!ReadLine(reader, line)) return 0;
    HeightListAngle = LeadingWhole(ListValue(line));
    if (!ReadLine(reader, line)) return 0;
    HeightListStretch = LeadingReal(ListValue(line));
    while (int(HeightNames.size()) < MaxHeightNames && ReadLine(reader, line)) {
        std::string name = ListValue(line);
        if (name.empty()) break;
        HeightNames.push_back(name);
    }
    return int(HeightNames.size());
}

int ReadSingleBuildingList(const std::string& text)
{
    ClearHeightList();
    LineReader reader = MakeLineReader(text);
    std::string line;
    if (!ReadLine(reader, line)) return 0;
    std::string name = ListValue(line);
    if (ReadLine(reader, line)) HeightListAngle = LeadingWhole(ListValue(line));
    if (ReadLine(reader, line)) HeightListStretch = LeadingReal(ListValue(line));
    if (name.empty()) return 0;
    HeightNames.push_back(name);
    return 1;
}

int RoundHalfEven(double value)
{
    if (!(std::fabs(value) < 1e9)) return 0;
    double below = std::floor(value), rest = value - below;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(below, 2.0) != 0)) below += 1;
    return int(below);
}

int TenthsToUnits(int tenths)
{
    int units = tenths / 10, rest = tenths % 10;
    if (rest > 5 || (rest == 5 && units % 2 != 0)) units++;
    return units;
}

int FillHeightTables(const Image& heightImage)
{
    for (int x = 0; x < HeightTableSide; x++)
        for (int y = 0; y < HeightTableSide; y++) TopHeight[x][y] = BottomHeight[x][y] = 0;
    HeightImageWidth = HeightImageHeight = 0;
    int w = heightImage.width, h = heightImage.height;
    if (w < 1 || h < 1 || w > HeightTableSide || h > HeightTableSide) return 0;
    if (heightImage.pixels.size() < size_t(w) * size_t(h)) return 0;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            uint32_t pixel = heightImage.pixels[size_t(y) * size_t(w) + size_t(x)];
            TopHeight[x][y] = TenthsToUnits(ColourRed(pixel));
            BottomHeight[x][y] = TenthsToUnits(ColourGreen(pixel));
        }
    HeightImageWidth = w;
    HeightImageHeight = h;
    return 1;
}

Sun SunOfHour(int hour)
{
    Sun sun;
    sun.angle = float((hour - 6) * 15) * DegreesToRadians;
    sun.stretch = float((hour - 12) * (hour - 12)) / 30.0f + 0.5f;
    return sun;
}

// Where each height lands at one sun, as offsets from the pixel's own position. The angle and
// the stretch are single-precision values but the products are taken in double, so five units
// at six o'clock reach 5 x 1.70000005 = 8.50000024 and round to 9, not to the even 8.
static void SunOffsets(const Sun& sun, int dx[MaxHeightUnits + 1], int dy[MaxHeightUnits + 1])
{
    double c = std::cos(double(sun.angle)), s = std::sin(double(sun.angle));
    for (int units = 0; units <= MaxHeightUnits; units++) {
        dx[units] = RoundHalfEven(c * units * double(sun.stretch));
        dy[units] = RoundHalfEven(s * units * double(sun.stretch));
    }
}

// Sets one pixel when it lies on the canvas.
static void PlotClipped(Image& canvas, int x, int y, uint32_t colour)
{
    if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return;
    canvas.pixels[size_t(y) * size_t(canvas.width) + size_t(x)] = colour;
}

void DrawRasterLine(Image& canvas, int x0, int y0, int x1, int y1, uint32_t colour)
{
    // Bresenham over all octants; the walk stops on arriving at the end, which stays unset,
    // so a stroke from a pixel's bottom to its top is exactly its matter and no more.
    int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    while (x0 != x1 || y0 != y1) {
        PlotClipped(canvas, x0, y0, colour);
        int twice = 2 * error;
        if (twice >= dy) error += dy, x0 += sx;
        if (twice <= dx) error += dx, y0 += sy;
    }
}

void DrawShadow(int hour, Image& canvas)
{
    MakeImage(canvas, HeightImageWidth + 2 * ShadowBorder, HeightImageHeight + 2 * ShadowBorder, Black);
    int dx[MaxHeightUnits + 1], dy[MaxHeightUnits + 1];
    SunOffsets(SunOfHour(hour), dx, dy);
    for (int x = HeightImageWidth - 1; x >= 0; x--)
        for (int y = HeightImageHeight - 1; y >= 0; y--) {
            int bottom = BottomHeight[x][y], top = TopHeight[x][y];
            if (bottom == top) continue; // bare ground throws nothing
            int px = x + ShadowBorder, py = y + ShadowBorder;
            DrawRasterLine(canvas, px + dx[bottom], py + dy[bottom], px + dx[top], py + dy[top], ShadowGrey);
        }
}

std::string ShadowFileName(const std::string& name, int hour)
{
    return "Schatten\\" + name + "_" + std::to_string(hour) + ".bmp";
}

std::string SingleShadowFileName(const std::string& name, int hour)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02d", hour);
    return name + "_Schatten_" + digits + ".bmp";
}

int IsPlainBuildingName(const std::string& name)
{
    return name.find_first_of("/\\") == std::string::npos;
}

// Loads N + "_H.bmp" into the height tables; 0 when it is missing, broken or too large.
static int LoadHeightImage(const std::string& name)
{
    std::string bytes;
    Image heights;
    if (!ReadWholeFile(name + "_H.bmp", bytes)) return 0;
    if (!DecodeBmp(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), heights)) return 0;
    return FillHeightTables(heights);
}

int MakeBuildingShadows(const std::string& name, int firstHour, int lastHour,
                        std::string (*fileName)(const std::string& name, int hour))
{
    // A name like "..\..\x" or "/etc/x" would read and write outside the program's folder;
    // such a building is left out and the list goes on.
    if (!IsPlainBuildingName(name)) return 0;
    // The height tables hold 257 x 257 pixels, so a larger image is no building of ours and
    // gets no shadows, like a missing one, rather than shadows of a cut-off part of it.
    if (!LoadHeightImage(name)) return 0;
    int written = 0;
    Image canvas;
    for (int hour = firstHour; hour <= lastHour; hour++) {
        DrawShadow(hour, canvas);
        // A failed write (no "Schatten" folder, say) is no error: the next file is tried.
        written += WriteWholeFile(fileName(name, hour), EncodeBmp24(canvas));
    }
    return written;
}

int RunTerrashade()
{
    std::string text;
    if (!ReadWholeFile(L1("Höhen.ini"), text)) return 0;
    ReadHeightList(text);
    int written = 0;
    for (const std::string& name : HeightNames)
        written += MakeBuildingShadows(name, FirstShadowHour, LastShadowHour, ShadowFileName);
    return written;
}

int RunTerrashade2()
{
    std::string text;
    if (!ReadWholeFile(L1("Höhen.ini"), text)) return 0;
    if (!ReadSingleBuildingList(text)) return 0;
    return MakeBuildingShadows(HeightNames[0], FirstShadowHour + 1, LastShadowHour, SingleShadowFileName);
}
