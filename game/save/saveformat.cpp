// game/save/saveformat.cpp - the save file's reader.
//
// The file has no header and no version: it is read by position, so a foreign or cut file is
// recognised only by what its numbers claim. Every count is held against the bytes that are
// left and against what the game can hold, every size against the grids, every player number
// against the players, every position against the map; one bad value refuses the whole file.
#include "game/save/saveformat.h"

#include "game/save/records.h"

#include <limits>

namespace {

constexpr int MaxText = 1 << 16;      // a path of every cell twice is far shorter
constexpr int MaxBuildings = 20000;
constexpr int MaxUnits = 50000;
constexpr int MaxShots = 200000;
constexpr int MaxDecorations = 100000;
constexpr int MaxStorms = 64;
constexpr int MaxSamples = 1 << 20;
constexpr int FileMapSide = 221;      // the most a planned path can address

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
        if (end == std::string::npos || end - at > size_t(MaxText)) {
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

bool OnMap(float x, float y, const SavedGame& g)
{
    return x >= 0 && y >= 0 && x <= float(g.mapWidth) && y <= float(g.mapHeight);
}

void ReadGame(Reader& r, SavedGame& g)
{
    int count = r.Count(21 * 4 + 2, MaxBuildings);
    for (int i = 0; i < count && !r.failed; i++) BuildingFields(r, g.buildings.emplace_back(), RecordUse::SaveFile);
    count = r.Count(34 * 4 + 2, MaxUnits);
    for (int i = 0; i < count && !r.failed; i++) UnitFields(r, g.units.emplace_back(), RecordUse::SaveFile);
    count = r.Count(10 * 4, MaxShots);
    for (int i = 0; i < count && !r.failed; i++) ShotFields(r, g.shots.emplace_back());
    g.camX = r.Float();
    g.camY = r.Float();
    g.mapNumber = r.Long();
    g.mapWidth = r.Within(2, FileMapSide);
    g.mapHeight = r.Within(2, FileMapSide);
    if (r.failed) return;
    for (int y = 1; y <= g.mapHeight - 1 && !r.failed; y++)
        for (int x = 1; x <= g.mapWidth - 1; x++) g.terrain[SavedCell(x, y)] = uint32_t(r.Long());
    g.nextObjectId = r.Long();
    g.timeOfDay = r.Within(0, 86399);
    for (int p = 1; p <= MaxPlayers; p++) {
        g.players[p].money = r.Long();
        g.players[p].energy = r.Long();
        for (int& flag : g.players[p].research) flag = r.Long();
    }
    g.playerCount = r.Within(1, MaxPlayers);
    g.localPlayer = r.Within(1, MaxPlayers);
    for (int y = 0; y <= g.mapHeight && !r.failed; y++)
        for (int x = 0; x <= g.mapWidth; x++) g.fog[SavedCell(x, y)] = r.Within(0, 1) ? 1 : 0;
    g.elapsedSeconds = r.Within(0, std::numeric_limits<int32_t>::max());
    g.missionMode = r.Within(0, 1);
    for (int p = 1; p <= MaxPlayers; p++) {
        SavedGame::PlayerPart& part = g.players[p];
        for (int* value : {&part.spice, &part.unitsLost, &part.unitsKilled, &part.buildingsLost, &part.buildingsDestroyed})
            *value = r.Long();
        part.kind = r.Within(0, 1);
        part.startX = r.Within(0, g.mapWidth);
        part.startY = r.Within(0, g.mapHeight);
    }
    g.sampleIndex = r.Within(0, MaxSamples);
    if (!r.failed && size_t(g.sampleIndex + 1) * 4 * 12 > r.Left()) r.Fail();
    for (int s = 0; s <= g.sampleIndex && !r.failed; s++)
        for (int p = 1; p <= 4; p++) {
            StatSample sample;
            sample.units = r.Long();
            sample.buildings = r.Long();
            sample.money = r.Long();
            g.samples[p].push_back(sample);
        }
    count = r.Count(16, MaxDecorations);
    for (int i = 0; i < count && !r.failed; i++) {
        Decoration d;
        d.sprite = r.Long();
        d.x = r.Within(0, g.mapWidth);
        d.y = r.Within(0, g.mapHeight);
        d.angle = r.Long();
        g.decorations.push_back(d);
    }
    count = r.Count(16, MaxStorms);
    for (int i = 0; i < count && !r.failed; i++) StormFields(r, g.storms.emplace_back());
    g.stormSetting = r.Within(0, 3);
    g.difficulty = r.Within(1, 3);
    g.dayNight = r.Long() == 1 ? 1 : -1;
    if (r.failed) return;

    // What the game would index with must lie on the map.
    for (const Building& b : g.buildings)
        if (!OnMap(b.x, b.y, g)) r.Fail();
    for (const Unit& u : g.units)
        if (!OnMap(u.x, u.y, g)) r.Fail();
    float wide = float(g.mapWidth * 32 + 4096), high = float(g.mapHeight * 32 + 4096);
    for (const Projectile& p : g.shots)
        if (!(p.x >= -4096 && p.y >= -4096 && p.x <= wide && p.y <= high)) r.Fail();
}

} // namespace

int ParseGameState(const std::string& bytes, SavedGame& game)
{
    Reader reader{bytes};
    ReadGame(reader, game);
    return !reader.failed;
}
