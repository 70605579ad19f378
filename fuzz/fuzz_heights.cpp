// fuzz/fuzz_heights.cpp - arbitrary bytes as the shadow maker's list (both layouts) and as a
// height image, whose shadow is then drawn for an hour picked from the input.
#include "tools/terrashade/terrashade.h"

#include <cstdlib>
#include <string>

namespace {

// Names are what the list promises: at most 14, none empty, blanks cut, at most 1000 characters.
void CheckNames(int count, int most)
{
    if (count != int(HeightNames.size()) || count > most) abort();
    for (const std::string& name : HeightNames) {
        if (name.empty() || name.size() > size_t(MaxValueLength)) abort();
        if (name.front() == ' ' || name.back() == ' ') abort();
        ShadowFileName(name, LastShadowHour);
        SingleShadowFileName(name, LastShadowHour);
    }
}

// The canvas is the height image with its border, and holds only black and the shadow grey.
void CheckShadow(const Image& canvas)
{
    if (canvas.width != HeightImageWidth + 2 * ShadowBorder) abort();
    if (canvas.height != HeightImageHeight + 2 * ShadowBorder) abort();
    for (uint32_t pixel : canvas.pixels)
        if ((pixel & 0xFFFFFFu) != 0 && (pixel & 0xFFFFFFu) != 0x323232u) abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    CheckNames(ReadHeightList(text), MaxHeightNames);
    CheckNames(ReadSingleBuildingList(text), 1);
    Image heights;
    if (!DecodeBmp(data, size, heights)) return 0;
    int fits = heights.width <= HeightTableSide && heights.height <= HeightTableSide;
    if (FillHeightTables(heights) != fits) abort();
    if (!fits) return 0;
    Image canvas;
    DrawShadow(FirstShadowHour + int(size % 14), canvas);
    CheckShadow(canvas);
    return 0;
}
