// game/save/savefile.cpp - the save file: its sections in order and the writer; a file read by
// the reader (saveformat) goes into the running game only when the whole of it was good.
#include "game/save/savefile.h"

#include "game/save/recordrules.h"
#include "game/save/records.h"
#include "game/save/saveformat.h"

#include "game/base/config.h"
#include "game/base/frame.h"
#include "game/base/messages.h"
#include "game/sim/buildings.h"
#include "game/sim/combat.h"
#include "game/sim/effects.h"
#include "game/sim/gamestate.h"
#include "game/sim/statsamples.h"
#include "game/sim/units.h"
#include "game/sim/world.h"
#include "platform/files.h"
#include "platform/latin1.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

int LoadFailed = 0;

namespace {

struct Writer {
    std::string out;
    void Long(int value) { AppendLong(out, value); }
    void Float(float value) { Long(RoundedField(value)); }
    void Cells(float value) { Long(RoundedField(value * 32)); }
    void Within(int value, int, int) { Long(value); }
    void Text(const std::string& text)
    {
        out += text;
        out += "\r\n";
    }
};

void WriteGame(Writer& w)
{
    w.Long(int(Buildings.size()));
    for (const Building& b : Buildings) BuildingFields(w, b, RecordUse::SaveFile);
    w.Long(int(Units.size()));
    for (const Unit& u : Units) UnitFields(w, u, RecordUse::SaveFile);
    w.Long(int(Projectiles.size()));
    for (const Projectile& p : Projectiles) ShotFields(w, p);
    w.Float(CamX);
    w.Float(CamY);
    w.Long(MapNumber);
    w.Long(MapWidth);
    w.Long(MapHeight);
    for (int y = 1; y <= MapHeight - 1; y++)
        for (int x = 1; x <= MapWidth - 1; x++) w.Long(int(TerrainGrid[x][y]));
    w.Long(NextObjectId);
    w.Long(TimeOfDay);
    for (int p = 1; p <= MaxPlayers; p++) {
        w.Long(WithinMoney(Players[p].money));
        w.Long(Players[p].energy);
        for (int flag : Players[p].research) w.Long(flag ? 1 : 0);
    }
    w.Long(PlayerCount);
    w.Long(LocalPlayer);
    for (int y = 0; y <= MapHeight; y++)
        for (int x = 0; x <= MapWidth; x++) w.Long(FogGrid[x][y]);
    w.Long(std::clamp(ElapsedSeconds, 0, MostElapsedSeconds));
    w.Long(MissionMode);
    for (int p = 1; p <= MaxPlayers; p++) {
        const Player& player = Players[p];
        for (int counter : {player.spiceMoney, player.unitsLost, player.unitsKilled, player.buildingsLost, player.buildingsDestroyed})
            w.Long(std::clamp(counter, 0, MostMoney));
        for (int value : {player.kind, player.startX, player.startY}) w.Long(value);
    }
    w.Long(StatSampleIndex);
    for (int s = 0; s <= StatSampleIndex; s++)
        for (int p = 1; p <= 4; p++) {
            StatSample sample = size_t(s) < StatTable[p].size() ? StatTable[p][size_t(s)] : StatSample{};
            w.Long(std::clamp(sample.units, 0, MostUnits));
            w.Long(std::clamp(sample.buildings, 0, MostBuildings));
            w.Long(WithinMoney(sample.money));
        }
    w.Long(int(Decorations.size()));
    for (const Decoration& d : Decorations) {
        w.Long(d.sprite);
        w.Long(d.x);
        w.Long(d.y);
        w.Long(d.angle);
    }
    w.Long(int(Sandstorms.size()));
    for (const Sandstorm& storm : Sandstorms) StormFields(w, storm);
    // The settings come from the configuration, which holds them to these ranges already.
    w.Long(std::clamp(StormSetting, 0, 3));
    w.Long(std::clamp(Difficulty, 1, 3));
    w.Long(DayNightSetting);
}

void PutInPlace(SavedGame& g)
{
    ResetGameState();
    // The ticker told of the game that was running, the save it may have just written among it.
    ClearMessages();
    Buildings = std::move(g.buildings);
    Units = std::move(g.units);
    Projectiles = std::move(g.shots);
    Effects.clear();
    CamX = g.camX;
    CamY = g.camY;
    // The pointer starts in the middle, as in a new game: left at the screen's edge it would
    // scroll the loaded view away at once.
    CursorX = ScreenWidthPx / 2;
    CursorY = ScreenHeightPx / 2;
    MapNumber = g.mapNumber;
    MapWidth = g.mapWidth;
    MapHeight = g.mapHeight;
    for (int x = 0; x <= MaxMapSide; x++)
        for (int y = 0; y <= MaxMapSide; y++) {
            TerrainGrid[x][y] = g.terrain[SavedCell(x, y)];
            FogGrid[x][y] = g.fog[SavedCell(x, y)];
        }
    NextObjectId = g.nextObjectId;
    TimeOfDay = g.timeOfDay;
    for (int p = 1; p <= MaxPlayers; p++) {
        Player& player = Players[p];
        const SavedGame::PlayerPart& part = g.players[p];
        player.money = part.money;
        player.energy = part.energy;
        for (int i = 0; i < ResearchFlagCount; i++) player.research[i] = part.research[i];
        player.spiceMoney = part.spice;
        player.unitsKilled = part.unitsKilled;
        player.unitsLost = part.unitsLost;
        player.buildingsDestroyed = part.buildingsDestroyed;
        player.buildingsLost = part.buildingsLost;
        player.kind = part.kind;
        player.startX = part.startX;
        player.startY = part.startY;
    }
    PlayerCount = g.playerCount;
    LocalPlayer = g.localPlayer;
    ElapsedSeconds = g.elapsedSeconds;
    MissionMode = g.missionMode;
    StatSampleIndex = g.sampleIndex;
    for (int p = 1; p <= 4; p++) StatTable[p] = std::move(g.samples[p]);
    StormSetting = g.stormSetting;
    Difficulty = g.difficulty;
    DayNightSetting = g.dayNight;
    // The ground is made from the terrain as a new game's is; it also sets out fresh storms,
    // so the saved ones are put back after it.
    BuildGroundTiles();
    Decorations = std::move(g.decorations);
    Sandstorms = std::move(g.storms);
    IndexBuildings();
    IndexUnits();
    JoinWalls();
    RecomputeObstacles();
}

std::string SavePath(const std::string& name) { return "SAVE\\" + name + ".sav"; }

} // namespace

std::string GameStateBytes()
{
    Writer w;
    WriteGame(w);
    return w.out;
}

int ApplyGameStateBytes(const std::string& bytes)
{
    SavedGame game;
    game.terrain.assign(257 * 257, 0);
    // The border rows the file leaves out keep what the grid holds, as reading in place would.
    for (int x = 0; x <= MaxMapSide; x++)
        for (int y = 0; y <= MaxMapSide; y++) game.terrain[SavedCell(x, y)] = TerrainGrid[x][y];
    game.fog.assign(257 * 257, 1);
    if (!ParseGameState(bytes, game)) return 0;
    PutInPlace(game);
    return 1;
}

std::string SaveNameProblem(const std::string& name)
{
    if (name.empty()) return L1("Bitte einen Namen für den Spielstand eingeben.");
    if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos || name.find("..") != std::string::npos)
        return L1("Der Name darf kein \"/\", \"\\\" und kein \"..\" enthalten.");
    return "";
}

std::string PlayerSaveNameProblem(const std::string& name)
{
    std::string problem = SaveNameProblem(name);
    if (!problem.empty()) return problem;
    // The game's own files start with "_" and are left out of the lists; a player's save of that
    // name would be hidden, and the network start file is removed at every start.
    if (name[0] == '_') return L1("Der Name darf nicht mit \"_\" beginnen.");
    // Line ends would end the name early in the configuration file.
    if (name.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) return L1("Der Name darf keinen Zeilenumbruch enthalten.");
    return "";
}

int SaveFileExists(const std::string& name) { return SaveNameProblem(name).empty() && FileExists(SavePath(name)); }

int SaveGame(const std::string& name)
{
    if (!SaveNameProblem(name).empty()) return 0;
    MakeFolder("SAVE");
    return WriteWholeFile(SavePath(name), GameStateBytes());
}

int LoadGame(const std::string& name)
{
    std::string bytes;
    if (!SaveNameProblem(name).empty() || !ReadWholeFile(SavePath(name), bytes, MostSaveBytes()) || !ApplyGameStateBytes(bytes)) {
        LoadFailed = 1;
        return 0;
    }
    LoadFailed = 0;
    return 1;
}
