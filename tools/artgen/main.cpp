// tools/artgen/main.cpp - the content maker: artgen <DATEN folder> <contact sheet png>
//
// Run by the build; writes every picture and sound of the game into the staged tree.
#include "artgen.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: artgen <DATEN folder> <contact sheet.png>\n");
        return 2;
    }
    OutputFolder = argv[1];
    if (OutputFolder.empty() || OutputFolder.back() != '/') OutputFolder += '/';
    std::error_code error;
    std::filesystem::create_directories(OutputFolder, error);

    DrawGlyphs();
    DrawEffects();
    DrawTerrain();
    DrawBuildings();
    DrawUnits();
    DrawIcons();
    MakeSounds();
    MakeVoices();
    MakeTitleFont();

    WriteContactSheet(argv[2]);
    std::printf("artgen: %zu pictures written\n", SheetEntries.size());
    for (SheetEntry& entry : SheetEntries) cairo_surface_destroy(entry.surface);
    for (SheetEntry& entry : PreviewEntries) cairo_surface_destroy(entry.surface);
    return 0;
}
