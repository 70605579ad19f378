// game/base/assets.cpp - the numbered pictures and sounds, in the order the loading screen shows.
#include "game/base/assets.h"

#include "game/base/config.h"
#include "game/base/frame.h"
#include "platform/dialog.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/install_record.h"
#include "platform/latin1.h"
#include "platform/pictures.h"
#include "platform/process.h"
#include "platform/sound.h"
#include "platform/sprites.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int FreeMapCount = 0;
int CampaignMapCount = 0;

int FreeMapFor(int setting)
{
    if (FreeMapCount < 1) return 0;
    return setting < 1 ? 1 : setting > FreeMapCount ? FreeMapCount : setting;
}

struct NumberedFile {
    int number;
    const char* file;
};

// Free maps take the numbers below the first effect sprite (18); campaign maps 101 up to the
// first research icon (712).
constexpr int MaxFreeMaps = 17;
constexpr int MaxCampaignMaps = 99;
constexpr int PlanetColumns = 37;
constexpr int PlanetRows = 19;

static const NumberedFile EffectPictures[] = {
    {18, "BMP\\Explosion_-1.bmp"}, {19, "BMP\\Explosion_0.bmp"}, {20, "BMP\\Explosion_1.bmp"},
    {21, "BMP\\Explosion_2.bmp"},  {22, "BMP\\Rauch2.bmp"},      {24, "BMP\\Rauch.bmp"},
    {31, "BMP\\Sandsturm.bmp"},    {32, "BMP\\Sandsturm.bmp"},   {33, "BMP\\Sandsturm.bmp"},
};

static const NumberedFile ResearchIcons[] = {
    {712, "BMP\\M\\M_Kugel.bmp"}, {713, "BMP\\M\\M_Laser.bmp"}, {714, "BMP\\M\\M_Rakete.bmp"},
    {715, "BMP\\M\\M_Plasma.bmp"}, {716, "BMP\\M\\M_Ionen.bmp"}, {722, "BMP\\E\\MG-Speeder.bmp"},
    {723, "BMP\\E\\Raketen-Quad.bmp"}, {724, "BMP\\E\\Kugel-Panzer.bmp"}, {725, "BMP\\E\\MG-Roboter.bmp"},
    {726, "BMP\\E\\Plasma-Gleiter.bmp"}, {730, "BMP\\ICON\\Stern.bmp"}, {731, "BMP\\O\\Arzt.bmp"},
    {732, "BMP\\O\\Solarzelle.bmp"}, {733, "BMP\\E\\Sammler.bmp"}, {734, "BMP\\O\\Verbrennungsanlage.bmp"},
};

static const NumberedFile BuildingPictures[] = {
    {1052, "BMP\\O\\Kugel-Wachturm.bmp"}, {1054, "BMP\\O\\Raketen-Wachturm.bmp"},
    {1056, "BMP\\O\\Ionen-Wachturm.bmp"}, {1100, "BMP\\O\\Solarzelle.bmp"},
    {1102, "BMP\\O\\Verb_Solarzelle.bmp"}, {1200, "BMP\\O\\kleine-Fabrik.bmp"},
    {1210, "BMP\\O\\Kaserne.bmp"}, {1220, "BMP\\O\\Speeder-Fabrik.bmp"}, {1230, "BMP\\O\\Quad-Fabrik.bmp"},
    {1240, "BMP\\O\\Panzer-Fabrik.bmp"}, {1250, "BMP\\O\\Roboter-Fabrik.bmp"},
    {1260, "BMP\\O\\Gleiter-Fabrik.bmp"}, {1300, "BMP\\O\\Verbrennungsanlage.bmp"},
    {1400, "BMP\\O\\Forschungslabor.bmp"}, {1410, "BMP\\O\\Radarzentrale.bmp"},
    {1412, "BMP\\O\\Radarzentrale(.bmp"}, {1420, "BMP\\O\\Arzt.bmp"}, {1422, "BMP\\ICON\\Herz.bmp"},
    {1500, "BMP\\ICON\\Ziel-.bmp"}, {1501, "BMP\\ICON\\Feind.bmp"}, {1502, "BMP\\ICON\\Ziel.bmp"},
    {1503, "BMP\\ICON\\Sammelpunkt.bmp"},
};

// Unit id, its own picture, and its family's second picture (loaded as id + 50).
static const struct {
    int id;
    const char* picture;
    const char* family;
} UnitPictures[] = {
    {2001, "Bagger", "Bagger ="},          {2002, "Sammler", "Sammler ="},
    {2101, "Infanterie", "Trup ="},        {2102, "Panzerfaust", "Trup ="},
    {2103, "Lasertrup", "Trup ="},         {2107, "Pionier", "Trup ="},
    {2201, "MG-Speeder", "Speeder ="},     {2203, "Laser-Speeder", "Speeder ="},
    {2206, "Ionen-Speeder", "Speeder ="},  {2302, "Kugel-Quad", "Quad ="},
    {2304, "Raketen-Quad", "Quad ="},      {2305, "Plasma-Quad", "Quad ="},
    {2402, "Kugel-Panzer", "Panzer ="},    {2403, "Laser-Panzer", "Panzer ="},
    {2404, "Raketen-Panzer", "Panzer ="},  {2501, "MG-Roboter", "Roboter ="},
    {2505, "Plasma-Roboter", "Roboter ="}, {2506, "Ionen-Roboter", "Roboter ="},
    {2604, "Raketen-Gleiter", "Gleiter ="}, {2605, "Plasma-Gleiter", "Gleiter ="},
    {2606, "Ionen-Gleiter", "Gleiter ="},
};

static const NumberedFile ProjectilePictures[] = {
    {3011, "BMP\\M\\M_Bagger.bmp"}, {3012, "BMP\\M\\M_Sammler.bmp"}, {3001, "BMP\\M\\M_MG.bmp"},
    {3002, "BMP\\M\\M_Kugel.bmp"},  {3003, "BMP\\M\\M_Laser.bmp"},   {3004, "BMP\\M\\M_Rakete.bmp"},
    {3005, "BMP\\M\\M_Plasma.bmp"}, {3006, "BMP\\M\\M_Ionen.bmp"},   {3007, "BMP\\M\\M_Sammler.bmp"},
    {3101, "BMP\\M\\S_MG.bmp"},     {3102, "BMP\\M\\S_Kugel.bmp"},   {3103, "BMP\\M\\S_Laser.bmp"},
    {3104, "BMP\\M\\S_Rakete.bmp"}, {3105, "BMP\\M\\S_Plasma.bmp"},  {3106, "BMP\\M\\S_Ionen.bmp"},
    {3900, "BMP\\B\\Dunkel.bmp"},
};

static const char* const TerrainPairs[] = {"Erde-Sand", "Wueste-Sand", "Stein-Sand", "Spice-Sand", "Stein-Erde", "Wueste-Smyron"};
static const int TileCodes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 21, 22, 23, 24, 31, 32, 33, 34};

static const NumberedFile GroundPictures[] = {
    {4901, "BMP\\B\\DEKO_Baum_1.bmp"}, {4913, "BMP\\B\\DEKO_Kaktus_3.bmp"}, {4914, "BMP\\B\\DEKO_Kaktus_4.bmp"},
    {4921, "BMP\\B\\DEKO_Skelett.bmp"}, {4000, "BMP\\B\\Spice0.bmp"},       {4001, "BMP\\B\\Spice1.bmp"},
    {4002, "BMP\\B\\Spice2.bmp"},       {4003, "BMP\\B\\Spice3.bmp"},       {4010, "BMP\\B\\Smyron0.bmp"},
    {4011, "BMP\\B\\Smyron1.bmp"},      {4012, "BMP\\B\\Smyron2.bmp"},      {4013, "BMP\\B\\Smyron3.bmp"},
};

static const NumberedFile LightPictures[] = {{800, "BMP\\R.jpg"}, {9020, "BMP\\Kegel3.jpg"}, {9021, "BMP\\Licht.jpg"}};

static const NumberedFile Pointers[] = {
    {9000, "BMP\\ICON\\Maus.bmp"},   {9001, "BMP\\ICON\\Maus_Menue.bmp"}, {9005, "BMP\\ICON\\Maus_P.bmp"},
    {9006, "BMP\\ICON\\Maus_F.bmp"}, {9007, "BMP\\ICON\\Maus_F2.bmp"},    {9008, "BMP\\ICON\\Maus_F3.bmp"},
};

static const NumberedFile ColourTiles[] = {
    {9009, "BMP\\ICON\\FF0000.bmp"}, {9010, "BMP\\ICON\\FFFF00.bmp"}, {9011, "BMP\\ICON\\00FF00.bmp"},
    {9012, "BMP\\ICON\\000000.bmp"}, {9013, "BMP\\ICON\\0000FF.bmp"}, {9014, "BMP\\ICON\\404040.bmp"},
    {9015, "BMP\\ICON\\00FFFF.bmp"},
};

static const NumberedFile InterfacePictures[] = {
    {9090, "BMP\\ICON\\Maus_Team0.bmp"}, {9091, "BMP\\ICON\\Maus_Team1.bmp"},
    {9092, "BMP\\ICON\\Maus_Team2.bmp"}, {9093, "BMP\\ICON\\Maus_Team3.bmp"}, {9094, "BMP\\ICON\\Maus_Team4.bmp"},
    {9101, "BMP\\ICON\\Team1.bmp"}, {9102, "BMP\\ICON\\Team2.bmp"}, {9103, "BMP\\ICON\\Team3.bmp"},
    {9104, "BMP\\ICON\\Team4.bmp"}, {9224, "BMP\\ICON\\24.bmp"}, {9248, "BMP\\ICON\\48.bmp"},
    {9262, "BMP\\ICON\\62.bmp"}, {9286, "BMP\\ICON\\86.bmp"}, {9300, "BMP\\ICON\\-.bmp"},
    {9301, "BMP\\ICON\\+.bmp"}, {9302, "BMP\\ICON\\%.bmp"}, {9303, "BMP\\ICON\\Spice.bmp"},
    {9304, "BMP\\ICON\\V.bmp"}, {9305, "BMP\\ICON\\H.bmp"}, {9500, "BMP\\ICON\\auto_0.bmp"},
    {9501, "BMP\\ICON\\auto_1.bmp"}, {9502, "BMP\\ICON\\auto_2.bmp"}, {9503, "BMP\\ICON\\auto_3.bmp"},
    {9504, "BMP\\ICON\\Verkauf.bmp"}, {9506, "BMP\\ICON\\ZOOM_-.bmp"}, {9507, "BMP\\ICON\\ZOOM_+.bmp"},
};

static const NumberedFile VoicesFirst[] = {
    {11, "Was_ist"}, {12, "Jaaa"}, {13, "Worum_gehts"}, {14, "Was_soll_ich_machen"}, {21, "Jawohl_Sir"},
    {22, "Bin_auf_dem_Weg"}, {23, "Sofort"}, {24, "Wie_soll_ich_da_hinkommen"}, {25, "Ich_tue_was_ich_kann"},
    {26, "Einer_muss_es_ja_machen"}, {27, "Schon_dabei"}, {28, "Das_ist_nicht_moeglich"}, {31, "Wird_ausgebildet"},
    {32, "Wird_gebaut"}, {33, "Wird_erforscht"},
};

static const NumberedFile VoicesSecond[] = {
    {41, "Neue_Einheit_verfuegbar"}, {42, "Neue_Einheit_fertiggestellt"}, {44, "Gebaeude_fertig"},
    {51, "Neue_Waffe_erforscht"}, {52, "Neue_Einheit_erforscht"}, {53, "Neue_Technologie_erforscht"},
    {54, "Technologie_verbessert"}, {61, "Abgebrochen"}, {71, "Zu_wenig_Energie"}, {72, "Gebaeude_unter_Beschuss"},
    {73, "Basis_unter_Beschuss"}, {74, "Wir_werden_angegriffen"}, {82, "Gebaeude_Verloren"}, {84, "Einheit_Verloren"},
};

static const NumberedFile EffectSounds[] = {
    {1, "WAV\\Effekte\\bib.wav"},       {2, "WAV\\Effekte\\siu.wav"},       {3, "WAV\\Effekte\\klick.wav"},
    {1200, "WAV\\Effekte\\Explo0.wav"}, {1201, "WAV\\Effekte\\Explo1.wav"}, {1102, "WAV\\Effekte\\Explo2.wav"},
    {1103, "WAV\\Effekte\\Explo3.wav"}, {1211, "WAV\\Effekte\\Schrei1.wav"}, {1212, "WAV\\Effekte\\Schrei2.wav"},
};

static const NumberedFile WeaponSounds[] = {
    {3011, "WAV\\Effekte\\Hammer.wav"}, {3012, "WAV\\Effekte\\Spice.wav"}, {3001, "WAV\\Effekte\\MG.wav"},
    {3002, "WAV\\Effekte\\Kugel.wav"},  {3003, "WAV\\Effekte\\Laser.wav"}, {3004, "WAV\\Effekte\\Rakete.wav"},
    {3005, "WAV\\Effekte\\Plasma.wav"}, {3006, "WAV\\Effekte\\Ionen.wav"}, {3007, "WAV\\Effekte\\Spice.wav"},
    {4000, "WAV\\Effekte\\SpiceExplo.wav"},
};

// Building picture names and the numbers their shadows take; the towers borrow the solar cell's.
static const NumberedFile ShadowNames[] = {
    {1301, "Verbrennungsanlage"}, {1101, "Solarzelle"},     {1103, "Verb_Solarzelle"}, {1201, "kleine-Fabrik"},
    {1211, "Kaserne"},            {1221, "Speeder-Fabrik"}, {1231, "Quad-Fabrik"},     {1241, "Panzer-Fabrik"},
    {1251, "Roboter-Fabrik"},     {1261, "Gleiter-Fabrik"}, {1401, "Forschungslabor"}, {1411, "Radarzentrale"},
    {1421, "Arzt"},               {1053, "Solarzelle"},     {1055, "Solarzelle"},      {1057, "Solarzelle"},
};

template <size_t N>
static void LoadTextureSprites(const NumberedFile (&files)[N])
{
    for (const NumberedFile& entry : files) LoadTextureSprite(entry.number, entry.file);
}

// A picture and its 3-D sprite that the game can do without: no message when missing.
static void LoadOptionalSprite(int number, const std::string& file)
{
    if (LoadPicture(number, file)) CreateSprite3D(number);
}

// Maps in listing order: "Karte..." free maps 1, 2, ..., "Missi..." campaign maps 101, ...
static void LoadMaps()
{
    FreeMapCount = CampaignMapCount = 0;
    for (const std::string& name : ListFolder("KARTEN\\*.bmp")) {
        std::string prefix = name.substr(0, 5);
        if (SameIgnoringCase(prefix, "Karte") && FreeMapCount < MaxFreeMaps)
            LoadTextureSprite(++FreeMapCount, "KARTEN\\" + name);
        else if (SameIgnoringCase(prefix, "Missi") && CampaignMapCount < MaxCampaignMaps)
            LoadTextureSprite(101 + CampaignMapCount++, "KARTEN\\" + name);
    }
}

// A 1 x 1 picture of one colour with its 3-D sprite.
static void CreateColourSprite(int number, int r, int g, int b)
{
    Image image;
    MakeImage(image, 1, 1, PackColour(r, g, b));
    SetPictureImage(number, image);
    CreateSprite3D(number);
}

// The 16 wall pieces in the order the loader has always used; the number is 1000 + the mask.
static void LoadWalls()
{
    static const int order[] = {0, 8, 4, 12, 2, 10, 6, 14, 1, 9, 5, 13, 3, 11, 7, 15};
    for (int mask : order) LoadTextureSprite(1000 + mask, "BMP\\O\\" + std::to_string(mask) + ".bmp");
}

static void LoadUnits()
{
    for (const auto& unit : UnitPictures) {
        LoadTextureSprite(unit.id, std::string("BMP\\E\\") + unit.picture + ".bmp");
        LoadTextureSprite(unit.id + 50, std::string("BMP\\E\\") + unit.family + ".bmp");
    }
}

void LoadRulePictures()
{
    for (const NumberedFile& entry : BuildingPictures) LoadPicture(entry.number, entry.file);
    for (int mask = 0; mask < 16; mask++) LoadPicture(1000 + mask, "BMP\\O\\" + std::to_string(mask) + ".bmp");
    for (const auto& unit : UnitPictures) LoadPicture(unit.id, std::string("BMP\\E\\") + unit.picture + ".bmp");
}

static std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

static void LoadTerrainTiles()
{
    for (int pair = 1; pair <= 6; pair++) {
        ShowLoadingProgress(25 + (100 * pair) / 20);
        for (int code : TileCodes)
            LoadTextureSprite(4000 + 100 * pair + code,
                              std::string("BMP\\B\\") + TerrainPairs[pair - 1] + "-" + TwoDigits(code) + ".bmp");
    }
}

// Sprites drawn at fixed sizes are sized once here.
static void SizeSprites()
{
    float game = GameScreenScale;
    SetSpriteSize(800, 128 * UiScale, 128 * UiScale);
    SetSpriteSize(3900, 64 * game, 64 * game);
    for (int number = 4000; number <= 6000; number++) SetSpriteSize(number, 32 * game, 32 * game);
    for (int number : {9224, 9248, 9262, 9286}) SetSpriteSize(number, 8, 8);
}

// The program ends without a message when the space scene's pictures are missing.
[[noreturn]] static void EndSilently()
{
    CloseDisplay();
    StopLayers();
    std::exit(1);
}

// The planet texture cut into 37 x 19 slices, each its own sprite 5000 + 100 row + column (the
// slices are small and drawn thousands of times). They are cut in memory: nothing is written
// into the installed tree, which may well be read-only.
static void LoadPlanetSlices()
{
    static const int rowHeights[PlanetRows] = {12, 16, 20, 20, 24, 28, 32, 32, 32, 32, 32, 32, 28, 24, 20, 20, 16, 12, 1};
    if (!LoadPicture(3999, "BMP\\text9.jpg")) EndSilently();
    for (int column = 0; column < PlanetColumns; column++) {
        ShowLoadingProgress(65 + column / 2);
        int top = 0;
        for (int row = 0; row < PlanetRows; row++) {
            int number = 5000 + 100 * row + column;
            if (!CutPicture(3999, 24 * column, top, 24, rowHeights[row], number)) EndSilently();
            CreateSprite3D(number);
            top += rowHeights[row];
        }
    }
}

// ---- atlases ----

// The pictures drawn many times a frame, packed by the layer that draws them, so that a layer
// is one batch: the ground (tiles, fog, decorations, tracks, debris), the objects (buildings,
// units, shots and what is drawn on them), the glowing effects, the interface, the planet.
enum AtlasGroup { GroundAtlas = 1, ObjectAtlas, EffectAtlas, InterfaceAtlas, PlanetAtlas, ShadowAtlas };

// Pictures larger than this are drawn once or twice a frame: they keep textures of their own.
constexpr int LargestAtlasPicture = 256;

static void AddSmall(std::vector<int>& numbers, int number)
{
    if (Sprite3DExists(number) && PictureWidth(number) <= LargestAtlasPicture && PictureHeight(number) <= LargestAtlasPicture)
        numbers.push_back(number);
}

template <size_t N>
static void AddSmall(std::vector<int>& numbers, const NumberedFile (&files)[N])
{
    for (const NumberedFile& entry : files) AddSmall(numbers, entry.number);
}

static void PackAtlases()
{
    std::vector<int> ground, objects, effects, interface, planet;
    AddSmall(ground, 3900);
    AddSmall(ground, 19);
    for (int number = 4000; number < 5000; number++) AddSmall(ground, number);
    for (const auto& unit : UnitPictures) AddSmall(ground, unit.id + 50); // their tracks

    AddSmall(objects, 900);
    for (int mask = 0; mask < 16; mask++) AddSmall(objects, 1000 + mask);
    for (const NumberedFile& entry : BuildingPictures)
        if (entry.number != 1422) AddSmall(objects, entry.number);
    for (const auto& unit : UnitPictures) AddSmall(objects, unit.id);
    for (const NumberedFile& entry : ProjectilePictures)
        if (entry.number < 3100) AddSmall(objects, entry.number);
    AddSmall(objects, ColourTiles);
    for (int number : {9101, 9102, 9103, 9104, 9224, 9248, 9262, 9286}) AddSmall(objects, number);

    AddSmall(effects, EffectPictures);
    AddSmall(effects, LightPictures);
    AddSmall(effects, 1422);
    for (int number = 3101; number <= 3106; number++) AddSmall(effects, number);

    AddSmall(interface, ResearchIcons);
    AddSmall(interface, Pointers);
    AddSmall(interface, InterfacePictures); // the team marks and corners are with the objects already

    for (int row = 0; row < PlanetRows; row++)
        for (int column = 0; column < PlanetColumns; column++) AddSmall(planet, 5000 + 100 * row + column);

    PackSpriteAtlas(GroundAtlas, ground);
    PackSpriteAtlas(ObjectAtlas, objects);
    PackSpriteAtlas(EffectAtlas, effects);
    PackSpriteAtlas(InterfaceAtlas, interface);
    PackSpriteAtlas(PlanetAtlas, planet);
}

void LoadAssets()
{
    LoadPicture(7771, GlyphStripFile(ScreenWidthPx));
    LoadPicture(7773, "BMP\\Gruppe.bmp");
    LoadMaps();
    ShowLoadingProgress(5);
    LoadTextureSprites(EffectPictures);
    CreateColourSprite(50, 255, 128, 0);
    CreateColourSprite(51, 255, 0, 0);
    LoadTextureSprites(ResearchIcons);
    ShowLoadingProgress(10);
    LoadTextureSprite(900, "BMP\\O\\leer.bmp");
    LoadWalls();
    LoadTextureSprites(BuildingPictures);
    ShowLoadingProgress(15);
    LoadUnits();
    LoadTextureSprites(ProjectilePictures);
    LoadTerrainTiles();
    for (const NumberedFile& entry : GroundPictures) {
        LoadTextureSprite(entry.number, entry.file);
        if (entry.number == 4921) ShowLoadingProgress(55);
    }
    for (const NumberedFile& entry : LightPictures) LoadOptionalSprite(entry.number, entry.file);
    LoadTextureSprites(Pointers);
    LoadTextureSprites(ColourTiles);
    ShowLoadingProgress(60);
    LoadTextureSprites(InterfacePictures);
    SizeSprites();
    if (!LoadPicture(7001, "BMP\\Sonne.jpg") || !CreateSprite3D(7001)) EndSilently();
    ShowLoadingProgress(65);
    LoadPlanetSlices();
    ClearScreen(0, 0, 0);
    SetTransparentColour(1, 2, 3);
    LoadOptionalSprite(4999, "BMP\\Licht.jpg");
    SetTransparentColour(0, 0, 0);
    PackAtlases();
}

template <size_t N>
static void LoadSoundList(const NumberedFile (&files)[N], const std::string& folder, const std::string& extension)
{
    for (const NumberedFile& entry : files) LoadSound(entry.number, folder + entry.file + extension);
}

void LoadSounds()
{
    ShowLoadingProgress(85);
    LoadSoundList(VoicesFirst, "WAV\\Sprache\\", ".MP3");
    ShowLoadingProgress(88);
    LoadSoundList(VoicesSecond, "WAV\\Sprache\\", ".MP3");
    ShowLoadingProgress(90);
    LoadSoundList(EffectSounds, "", "");
    ShowLoadingProgress(92);
    LoadSoundList(WeaponSounds, "", "");
    ShowLoadingProgress(95);
    LoadSound(5002, "WAV\\HGM2.wav");
    ShowLoadingProgress(100);
}

void LoadBuildingShadows(int hour)
{
    for (const NumberedFile& shadow : ShadowNames)
        LoadOptionalSprite(shadow.number, std::string("BMP\\O\\Schatten\\") + shadow.file + "_" + std::to_string(hour) + ".bmp");
    // Every hour's shadows have the same sizes, so they take the places of the last ones; only
    // shadows new to the atlas have it packed again.
    std::vector<int> shadows;
    int unplaced = 0;
    for (const NumberedFile& shadow : ShadowNames) {
        AddSmall(shadows, shadow.number);
        unplaced += Sprite3DExists(shadow.number) && SpriteAtlasPage(shadow.number) < 0;
    }
    if (unplaced) PackSpriteAtlas(ShadowAtlas, shadows);
}

// The folder the generators live in below. The tree the game runs from comes first: its own
// tiles and shadows are the ones missing, and the generators write beside themselves. Only when
// it lacks them is the top folder the installer recorded asked (its DATEN). The empty result
// means ProgramFolder.
std::string GeneratorFolder()
{
    if (FileExists("BMP\\B\\" + ProgramFile("texgen"))) return "";
    std::string record;
    ReadWholeFile("Installationsort.ini", record);
    std::string top = TopFolderFromRecord(record);
    if (top.empty()) return "";
    std::string daten = ResolvePathFrom(top, "DATEN") + "/";
    return OsFileExists(ResolvePathFrom(daten, "BMP\\B\\" + ProgramFile("texgen"))) ? daten : "";
}

void RunFirstStartGeneration()
{
    ShowMessageBox("HINWEIS",
                   L1("Da sie zum ersten mal des Programm starten,\n"
                      "müssen zuerst einige Grafiken erstellt werden.\n"
                      "Dieser Vorgang kann 1-2 min dauern.\n"
                      "Der Bildschirm wird dabei Schwarz bleiben,\n"
                      "bitte den Vorgang nicht unterbrechen."),
                   MessageOk);
    std::string folder = GeneratorFolder();
    StartProgramBelow(folder, "BMP\\B\\" + ProgramFile("texgen"), 1);
    StartProgramBelow(folder, "BMP\\O\\" + ProgramFile("terrashade"), 1);
    MakeTextures = 0;
}
