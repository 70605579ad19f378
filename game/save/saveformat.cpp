// game/save/saveformat.cpp - the save file's reader.
//
// The file has no header and no version: it is read by position, so a foreign or cut file is
// recognised only by what its numbers claim. Every count is held against the bytes that are
// left and against what the game can hold, every size against the grids, every player number
// against the players, every position against the map; one bad value refuses the whole file.
#include "game/save/saveformat.h"

#include "game/save/records.h"
#include "game/save/recordrules.h"

#include <cmath>

namespace {

constexpr int FileMapSide = 221;      // the most a planned path can address
constexpr float MostCameraReach = 100000;   // pixels; the camera is kept over the map
// The texts: a building's queue is the longest a record may carry.
constexpr size_t MostText = size_t(MostQueueEntries) * 10;
// The smallest a record can be in the file: its longs and an empty text's CR LF.
constexpr size_t BuildingBytes = 21 * 4 + 2;
constexpr size_t UnitBytes = 34 * 4 + 2;
constexpr size_t ShotBytes = 10 * 4;
// Reads by position; after the first shortfall or bad value everything reads as 0 and the
// whole read counts as failed.
struct Reader {
    const std::string& data;
    size_t at = 0;
    bool failed = false;

    size_t Left() const { return data.size() - at; }
    void Fail() { failed = true; }
    int Long()
    {
        int value = 0;
        if (failed || !TakeLong(data, at, value)) {
            failed = true;
            return 0;
        }
        return value;
    }
    float Float() { return float(Long()); }
    // The same reads into a record's fields (records.h walks them).
    void Long(int& value) { value = Long(); }
    void Float(float& value) { value = Float(); }
    void Cells(float& value) { value = Cells(); }
    void Text(std::string& text) { text = Text(); }
    void Within(int& value, int lo, int hi) { value = Within(lo, hi); }
    float Cells() { return float(Long()) / 32; }
    std::string Text()
    {
        if (failed) return "";
        size_t end = data.find("\r\n", at);
        if (end == std::string::npos || end - at > MostText) {
            failed = true;
            return "";
        }
        std::string text = data.substr(at, end - at);
        at = end + 2;
        return text;
    }
    // A count of records of at least `recordBytes` each, no more than `most`.
    int Count(size_t recordBytes, int most)
    {
        int count = Long();
        if (count < 0 || count > most || size_t(count) * recordBytes > Left()) {
            failed = true;
            return 0;
        }
        return count;
    }
    // A value that must lie in lo..hi.
    int Within(int lo, int hi)
    {
        int value = Long();
        if (value < lo || value > hi) failed = true;
        return value;
    }
};

void ReadGame(Reader& r, SavedGame& g)
{
    int count = r.Count(BuildingBytes, MostBuildings);
    for (int i = 0; i < count && !r.failed; i++) BuildingFields(r, g.buildings.emplace_back(), RecordUse::SaveFile);
    count = r.Count(UnitBytes, MostUnits);
    for (int i = 0; i < count && !r.failed; i++) UnitFields(r, g.units.emplace_back(), RecordUse::SaveFile);
    count = r.Count(ShotBytes, MostShots);
    for (int i = 0; i < count && !r.failed; i++) ShotFields(r, g.shots.emplace_back());
    g.camX = r.Float();
    g.camY = r.Float();
    g.mapNumber = r.Long();
    g.mapWidth = r.Within(2, FileMapSide);
    g.mapHeight = r.Within(2, FileMapSide);
    if (r.failed) return;
    for (int y = 1; y <= g.mapHeight - 1 && !r.failed; y++)
        for (int x = 1; x <= g.mapWidth - 1; x++) g.terrain[SavedCell(x, y)] = uint32_t(r.Long());
    g.nextObjectId = r.Within(FirstObjectId, MostObjectId);
    g.timeOfDay = r.Within(0, 86399);
    for (int p = 1; p <= MaxPlayers; p++) {
        g.players[p].money = r.Within(-MostMoney, MostMoney);
        g.players[p].energy = r.Long();
        for (int& flag : g.players[p].research) flag = r.Within(0, 1);
    }
    g.playerCount = r.Within(1, MaxPlayers);
    g.localPlayer = r.Within(1, g.playerCount);
    for (int y = 0; y <= g.mapHeight && !r.failed; y++)
        for (int x = 0; x <= g.mapWidth; x++) g.fog[SavedCell(x, y)] = r.Within(0, 1) ? 1 : 0;
    g.elapsedSeconds = r.Within(0, MostElapsedSeconds);
    g.missionMode = r.Within(0, 1);
    for (int p = 1; p <= MaxPlayers; p++) {
        SavedGame::PlayerPart& part = g.players[p];
        for (int* value : {&part.spice, &part.unitsLost, &part.unitsKilled, &part.buildingsLost, &part.buildingsDestroyed})
            *value = r.Within(0, MostMoney);
        part.kind = r.Within(0, 1);
        part.startX = r.Within(0, g.mapWidth);
        part.startY = r.Within(0, g.mapHeight);
    }
    g.sampleIndex = r.Within(0, MostStatSamples);
    if (!r.failed && size_t(g.sampleIndex + 1) * 4 * 12 > r.Left()) r.Fail();
    for (int s = 0; s <= g.sampleIndex && !r.failed; s++)
        for (int p = 1; p <= 4; p++) {
            StatSample sample;
            sample.units = r.Within(0, MostUnits);
            sample.buildings = r.Within(0, MostBuildings);
            sample.money = r.Within(-MostMoney, MostMoney);
            g.samples[p].push_back(sample);
        }
    count = r.Count(16, MostDecorations);
    for (int i = 0; i < count && !r.failed; i++) {
        Decoration d;
        d.sprite = r.Long();
        d.x = r.Long();
        d.y = r.Long();
        d.angle = r.Long();
        g.decorations.push_back(d);
    }
    count = r.Count(16, MostStorms);
    for (int i = 0; i < count && !r.failed; i++) StormFields(r, g.storms.emplace_back());
    g.stormSetting = r.Within(0, 3);
    g.difficulty = r.Within(1, 3);
    g.dayNight = r.Long() == 1 ? 1 : -1;
    if (r.failed) return;

    // Every record must be one the rules can play on this map with these players.
    RecordBounds bounds{g.mapWidth, g.mapHeight, g.playerCount};
    auto playable = [&](const auto& list, auto rule) {
        for (const auto& record : list)
            if (!rule(record, bounds)) r.Fail();
    };
    playable(g.buildings, PlayableBuilding);
    playable(g.units, PlayableUnit);
    playable(g.shots, PlayableShot);
    playable(g.decorations, PlayableDecoration);
    playable(g.storms, PlayableStorm);
    // The camera shows the map; far out, its pixels would leave what a screen position holds.
    if (!(std::fabs(g.camX) <= MostCameraReach && std::fabs(g.camY) <= MostCameraReach)) r.Fail();
    if (g.mapNumber < 0 || g.mapNumber > 999) r.Fail();
}

} // namespace

size_t MostSaveBytes()
{
    size_t grid = size_t(FileMapSide + 1) * size_t(FileMapSide + 1) * 4;
    size_t records = size_t(MostBuildings) * (BuildingBytes + MostText) + size_t(MostUnits) * (UnitBytes + MostPathText) +
                     size_t(MostShots) * ShotBytes + size_t(MostDecorations) * 16 + size_t(MostStorms) * 16;
    size_t players = size_t(MaxPlayers) * (16 + 8) * 4 + size_t(MostStatSamples + 1) * 4 * 12;
    // Counts, the world's values and the settings: a few dozen longs.
    return records + 2 * grid + players + 64 * 4;
}

int ParseGameState(const std::string& bytes, SavedGame& game)
{
    if (bytes.size() > MostSaveBytes()) return 0;
    Reader reader{bytes};
    ReadGame(reader, game);
    return !reader.failed;
}

int SavedPlayerCount(const std::string& bytes)
{
    SavedGame game;
    game.terrain.assign(257 * 257, 0);
    game.fog.assign(257 * 257, 1);
    return ParseGameState(bytes, game) ? game.playerCount : 0;
}
