// game/net/netgame.cpp - the flows of a network game between the menus, the game loop and the
// threads.
#include "game/net/netgame.h"

#include "game/base/assets.h"
#include "game/base/config.h"
#include "game/base/frame.h"
#include "game/base/messages.h"
#include "game/net/threads.h"
#include "game/save/savefile.h"
#include "game/sim/buildings.h"
#include "game/sim/gamestate.h"
#include "game/sim/world.h"
#include "platform/display.h"
#include "platform/files.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <thread>

int FrameRates[8] = {};
int PartnerPaused = 0;
NetLobby Lobby;

namespace {

using namespace std::chrono_literals;

// How long a client waits for the start file before it gives up.
constexpr int StartFileWaitMs = 30000;

// Host: chat lines of the clients, passed on to the others with the next snapshots (one line
// rides on each).
std::deque<std::string> RelayedChat;
// Client: the ticker has said that the host is gone.
int HostLossShown = 0;

std::string StartFile() { return "SAVE\\" + std::string(NetStartSave) + ".sav"; }

void Send(const char* keyword, int exceptPlayer = 0)
{
    NetBlock block;
    block.Start(keyword);
    NetQueueWhenFree(block, 10000, exceptPlayer);
}

// A chat line comes back to the one who typed it among the host's relays; he has it already.
bool OwnLine(const std::string& line)
{
    std::string own = ChatLead();
    return line.compare(0, own.size(), own) == 0;
}

// Host: a line for every screen, the host's own ticker and the clients' with the snapshots.
void TellEveryone(const std::string& line)
{
    AddMessage(line);
    RelayedChat.push_back(line);
}

// The cell a returning player's camera opens on: his first building, else his first unit,
// else his start cell; a watcher's opens on the middle of the map.
std::pair<int, int> HomeCell(int seat)
{
    if (seat < 1) return {MapWidth / 2, MapHeight / 2};
    for (const Building& b : Buildings)
        if (b.owner == seat) return {int(b.x) + 1, int(b.y) + 1};
    for (const Unit& u : Units)
        if (u.owner == seat) return {int(u.x), int(u.y)};
    return {Players[seat].startX, Players[seat].startY};
}

// Host: a newcomer to the running game gets it as it stands now, the way a game starts: the
// transfer file, then "START" with its seat (0 to watch) and camera. The game waits for no
// more than the sending.
void HandOverGame(int connection, int seat)
{
    NetSendTo(connection, GameStateBytes(), true);
    NetBlock start;
    start.Start("START");
    std::pair<int, int> home = HomeCell(seat);
    PutHostTrailer(start.bytes, seat, ScreenWidthPx, ScreenHeightPx, home.first, home.second);
    NetSendTo(connection, start.bytes);
    TellEveryone(seat > 0 ? "INFO: Spieler " + std::to_string(seat) + " ist wieder da." : "INFO: Ein Zuschauer ist dabei.");
}

// Host: a newcomer says its name: a player coming back to his seat, or a watcher.
void Welcome(const NetMessage& message)
{
    int player = 0;
    std::string name;
    if (!ReadClientPlayer(message.block, player, name)) return;
    int seat = NetComeback(message.connection, name);
    if (seat >= 0) HandOverGame(message.connection, seat);
}

// Host: a watcher's "DATEN" carries a chat line at most; it is shown as a watcher's.
void WatcherSays(const NetMessage& message)
{
    std::string chat;
    if (!ReadWatcherSnapshot(message.block, chat) || chat.empty()) return;
    std::string lead = "Zuschauer: ";
    if (chat.compare(0, lead.size(), lead) != 0) chat = lead + chat;
    TellEveryone(chat);
}

void ShowChat(const std::string& line)
{
    if (!line.empty() && !OwnLine(line)) AddMessage(line);
}

// Saves under a name a partner sent, as the player's own save would.
void SaveForPartner(const std::string& name)
{
    if (!PlayerSaveNameProblem(name).empty()) return; // no received text reaches a file name unchecked
    SaveName = name;
    if (SaveGame(name)) {
        AddMessage("INFO: Spielstand wurde gespeichert.");
        AddMessage("      \"" + name + "\"");
    }
}

void HostExchange()
{
    for (const std::string& line : NetTakeNotices()) TellEveryone(line);
    unsigned connected = NetConnectedSeats();
    for (int p = 2; p <= MaxPlayers; p++)
        if (!(connected >> p & 1)) FrameRates[p] = 0;
    NetMessage message;
    for (int taken = 0; taken < 32 && NetTake(message); taken++) {
        std::string keyword = Keyword(message.block);
        if (keyword == "DELTA") {
            if (!NetOpenSnapshot(message)) continue;
            keyword = "DATEN";
        }
        // Only a seat's own connection speaks for its player; newcomers and watchers say their
        // name or chat, nothing more.
        if (message.from == 0) {
            if (keyword == "PLAYER") Welcome(message);
            continue;
        }
        if (message.from < 0) {
            if (keyword == "DATEN") WatcherSays(message);
            continue;
        }
        if (keyword == "DATEN") {
            ReceivedSnapshot extras;
            if (!ApplyClientSnapshot(message.block, message.from, extras)) continue;
            FrameRates[std::clamp(message.from, 0, 7)] = extras.frameRate;
            if (!extras.chat.empty()) {
                ShowChat(extras.chat);
                RelayedChat.push_back(extras.chat);
            }
        } else if (keyword == "PAUSE") {
            // The other clients follow the one who paused.
            Send("PAUSE", message.from);
            PauseRequested = PartnerPaused = 1;
            return;
        }
    }
}

void ClientExchange()
{
    NetMessage message;
    for (int taken = 0; taken < 32 && NetTake(message); taken++) {
        std::string keyword = Keyword(message.block);
        if (keyword == "DELTA") {
            if (!NetOpenSnapshot(message)) continue;
            keyword = "DATEN";
        }
        if (keyword == "DATEN") {
            ReceivedSnapshot extras;
            if (!ApplyGameSnapshot(message.block, LocalPlayer, extras)) continue;
            LowestFps = extras.frameRate;
            ShowChat(extras.chat);
        } else if (keyword == "PAUSE") {
            PauseRequested = PartnerPaused = 1;
            return;
        }
    }
    if (NetHostLost && !HostLossShown) {
        AddMessage("INFO: Die Verbindung zum Spielleiter ist abgebrochen.");
        HostLossShown = 1;
    }
}

int LowestFrameRate(int players)
{
    int lowest = FrameRates[1];
    for (int p = 2; p <= std::min(players, 7); p++)
        if (FrameRates[p] > 0) lowest = std::min(lowest, FrameRates[p]);
    return lowest;
}

} // namespace

void HostNetwork(int players)
{
    // A map whose start marks could not be counted limits nothing; the game start counts again.
    SetNetSeatLimit(players > 0 ? players : MaxPlayers);
    SetNetGameRunning(0);
    NetCommand = 1;
}

void JoinNetwork(const std::string& address)
{
    SetNetHostAddress(address);
    NetCommand = 2;
}

void LeaveNetwork()
{
    int role = NetRole;
    if (role > 0) NetCommand = -role;
    else NetRole = 0;
    Lobby = NetLobby{};
    RelayedChat.clear();
}

void HostLobbyStep(const std::string& hostName)
{
    NetMessage message;
    while (NetTake(message)) {
        int player = 0;
        std::string name;
        if (ReadClientPlayer(message.block, player, name)) SetNetClientName(message.from, name);
    }
    if (!NetSendSlotFree()) return;
    // By seat: seat s is entry s - 1, a free seat an empty name.
    std::vector<std::string> names = NetSeatNames();
    names.insert(names.begin(), hostName);
    NetBlock block;
    PutPlayerList(block, names);
    NetQueue(block);
}

int ClientLobbyStep(const std::string& ownName)
{
    NetMessage message;
    int started = 0;
    while (!started && NetTake(message)) {
        NetReader r(message.block);
        std::string keyword = r.GetText();
        if (keyword == "PLAYER") {
            std::vector<std::string> names;
            HostTrailer trailer;
            if (ReadPlayerList(message.block, names, trailer)) {
                Lobby.names = names;
                Lobby.player = trailer.player;
            }
        } else if (keyword == "VOLL") {
            Lobby.refusal = PrintableLine(r.GetText());
        } else if (keyword == "START" || keyword == "START_LADEN") {
            std::string name = keyword == "START_LADEN" ? r.GetText() : "";
            HostTrailer trailer = GetHostTrailer(r);
            // Seat 0 is a watcher's, who joined a running game.
            if (r.failed || trailer.player == 1) continue;
            Lobby.trailer = trailer;
            Lobby.player = trailer.player;
            Lobby.loadName = name;
            started = keyword == "START" ? 1 : 2;
        }
    }
    if (NetSendSlotFree()) {
        NetBlock block;
        PutClientPlayer(block, Lobby.player, ownName);
        NetQueue(block);
    }
    return started;
}

void BecomeNetworkPlayer(int player)
{
    LocalPlayer = player;
    NetworkGame = 1;
    NextObjectId = NetworkNextObjectId(player);
    // A watcher has no side to keep in the dark.
    if (player == 0) FogOn = -1;
    for (int& rate : FrameRates) rate = 0;
    RelayedChat.clear();
    HostLossShown = 0;
    PartnerPaused = 0;
}

int HostStartGame(const std::string& loadName)
{
    LocalPlayer = 1;
    // From now on a newcomer takes no free seat: it comes back to its own or watches.
    SetNetGameRunning(1);
    unsigned seats = NetTakenSeats() | 1u << 1;
    if (loadName.empty()) {
        // The map's start marks make the players; each client's camera opens on its own.
        MissionMode = 0;
        MapNumber = FreeMapFor(MapSetting);
        ResetGameState();
        if (MapNumber == 0 || !LoadMapTerrain(MapNumber)) return 0;
        std::vector<std::pair<int, int>> cells;
        for (int p = 0; p <= MaxPlayers; p++) cells.emplace_back(Players[p].startX, Players[p].startY);
        SetNetStartCells(cells, ScreenWidthPx, ScreenHeightPx);
    }
    NetBlock start;
    if (loadName.empty()) {
        start.Start("START");
    } else {
        start.Start("START_LADEN");
        start.PutText(loadName);
    }
    for (int i = 0; i < 10; i++) {
        std::this_thread::sleep_for(30ms);
        NetQueue(start);
    }
    if (loadName.empty()) {
        StartNewGame(0, seats);
        std::string kept = SaveName;
        int saved = SaveGame(NetStartSave);
        std::this_thread::sleep_for(1000ms);
        std::string bytes;
        if (!saved || !ReadWholeFile(StartFile(), bytes)) return 0;
        NetSendFileToClients(bytes);
        int loaded = LoadGame(NetStartSave);
        RemoveFile(StartFile());
        SaveName = kept;
        if (!loaded) return 0;
    } else if (!LoadGame(loadName)) {
        return 0;
    }
    BecomeNetworkPlayer(1);
    return 1;
}

int ClientStartGame(int started)
{
    std::string name = started == 2 ? Lobby.loadName : std::string(NetStartSave);
    if (started == 1) {
        // The host saves the game and sends the file about a second after the start message.
        for (int waited = 0; !NetFileArrived && waited < StartFileWaitMs; waited += 100) std::this_thread::sleep_for(100ms);
        NetFileArrived = 0;
    }
    if (!SaveNameProblem(name).empty() || !LoadGame(name)) {
        LoadFailed = 0;
        return 0;
    }
    if (started == 1) RemoveFile(StartFile());
    BecomeNetworkPlayer(Lobby.player);
    // A new game opens on the player's start cell; a shared save where it was saved.
    if (started == 1) {
        CamX = float(Lobby.trailer.camX);
        CamY = float(Lobby.trailer.camY);
    }
    return 1;
}

int NetExchange()
{
    if (!NetworkGame || NetRole < 1) return 0;
    if (NetRole == 1) HostExchange();
    else ClientExchange();
    if (PauseRequested) return 1;
    if (!NetSendSlotFree()) return 0;
    NetBlock block;
    std::string chat = ChatToSend;
    ChatToSend.clear();
    if (NetRole == 1) {
        if (chat.empty() && !RelayedChat.empty()) {
            chat = RelayedChat.front();
            RelayedChat.pop_front();
        }
        FrameRates[1] = FramesPerSecond();
        LowestFps = LowestFrameRate(PlayerCount);
        PutGameSnapshot(block, chat, LowestFps);
    } else if (LocalPlayer == 0) {
        PutWatcherSnapshot(block, chat, FramesPerSecond());
    } else {
        PutClientSnapshot(block, chat, LocalPlayer, FramesPerSecond());
    }
    NetQueueSnapshot(block);
    return 0;
}

int NetPauseStep()
{
    if (!NetworkGame || NetRole < 1) return 0;
    NetMessage message;
    while (NetTake(message)) {
        NetReader r(message.block);
        std::string keyword = r.GetText();
        if (keyword == "WEITER") {
            if (NetRole == 1) Send("WEITER", message.from);
            PartnerPaused = 0;
            return 1;
        }
        if (keyword == "SAVE") {
            std::string name = r.GetText();
            if (r.failed) continue;
            SaveForPartner(name);
            if (NetRole == 1) {
                NetBlock relay;
                relay.Start("SAVE");
                relay.PutText(name);
                NetQueueWhenFree(relay, 10000, message.from);
            }
        }
    }
    return 0;
}

void NetSendPause()
{
    if (NetworkGame && NetRole > 0 && !PartnerPaused) Send("PAUSE");
    PartnerPaused = 0;
}

void NetSendResume()
{
    if (NetworkGame && NetRole > 0) Send("WEITER");
    PartnerPaused = 0;
}

void NetSendSave(const std::string& name)
{
    if (!NetworkGame || NetRole < 1) return;
    NetBlock block;
    block.Start("SAVE");
    block.PutText(name);
    NetQueueWhenFree(block);
}
