// What the game screen writes: ticker lines and tooltips that read over anything and stay on
// the screen, the game speed beside the head-up line, the screenshot's name, and a loaded game
// that does not tell of the save it was written by.
#include "game/base/messages.h"
#include "game/save/savefile.h"
#include "platform/files.h"
#include "platform/sprites.h"
#include "tests/ui/ui_game.h"

class Hud : public UiGame {
protected:
    void SetUp() override
    {
        UiGame::SetUp();
        TimeOfDay = 12 * 3600;
        // Every glyph of the font a white block, the panel behind texts its dark colour, the
        // ground white: what is written shows, and what lies behind it can be measured.
        Image glyphs, panel, ground;
        MakeImage(glyphs, 1200, 20, PackColour(255, 255, 255));
        SetPictureImage(7771, glyphs);
        MakeImage(panel, 16, 16, PackColour(2, 2, 2));
        SetPictureImage(9012, panel);
        CreateSprite3D(9012);
        MakeImage(ground, 32, 32, PackColour(255, 255, 255));
        for (const GroundTile& tile : GroundTiles)
            if (!Sprite3DExists(tile.sprite)) {
                SetPictureImage(tile.sprite, ground);
                CreateSprite3D(tile.sprite);
            }
        ClearMessages();
        Frames(1);
    }
    // Screen pixels of this frame.
    static int Pixel(int x, int y)
    {
        GrabScreen(9998);
        return ReadPixel(9998, x, y);
    }
    // White (written) pixels in a screen row between two columns.
    static int Written(int y, int left, int right)
    {
        GrabScreen(9998);
        int n = 0;
        for (int x = left; x < right; x++) n += ReadPixel(9998, x, y) == 0xFFFFFF;
        return n;
    }
    static int Grey(int colour) { return colour & 0xFF; }
};

TEST_F(Hud, ATickerLineLiesOnADarkGround)
{
    ASSERT_GT(Grey(Pixel(140, 205)), 240) << "white ground where the line will pass";
    AddMessage("INFO: Hallo");
    Frames(1);
    int y = int(Messages[0].y);
    // Right of the last of its eleven letters, inside its ground: darkened; beyond it: not.
    EXPECT_LT(Grey(Pixel(8 + 116, y + 8)), 128);
    EXPECT_GT(Grey(Pixel(8 + 140, y + 8)), 240);
    EXPECT_GT(Written(y + 8, 0, 200), 80) << "the letters over it";
}

TEST_F(Hud, ATooltipAtTheScreensEdgeStaysOnItWhole)
{
    // The builder selected shows the building menu; its last column ends 40 units from the edge.
    const Unit& builder = Units[0];
    ASSERT_EQ(builder.typeId, 2001.0f);
    MoveToCell(builder.x, builder.y);
    Click();
    ASSERT_EQ(Selected(), 1);
    MoveTo(947 + 30, 414 + 20); // over the quad factory, "Quad-Fabrik"
    Frames(1);
    int y = LogicalCursorY + 24 + 8;
    EXPECT_EQ(Written(y, 768, 1024), 11 * 9) << "all eleven letters of the name on the screen";
    EXPECT_EQ(Written(y + 20, 768, 1024), 9 * 9) << "and the price, \"1500 EURO\"";
}

TEST_F(Hud, TheGameSpeedShowsWhileItIsNotTheChosenOne)
{
    const int row = 8 + 8;
    EXPECT_EQ(Written(row, 460, 768), 0) << "at the speed the options chose, nothing";
    Key(0xD1); // Page Down
    EXPECT_EQ(GameSpeed, 5);
    ASSERT_FALSE(Messages.empty());
    EXPECT_EQ(Messages.back().text, "INFO: Spielgeschwindigkeit 5");
    EXPECT_GT(Written(row, 460, 768), 100) << "\"Spielgeschw.: 5\" beside the money";
    Key(0xC9); // Page Up
    EXPECT_EQ(Messages.back().text, "INFO: Spielgeschwindigkeit 4");
    EXPECT_EQ(Messages.size(), 1u) << "the line of the last change says the new speed";
    EXPECT_EQ(Written(row, 460, 768), 0) << "back at the chosen speed";
}

TEST_F(Hud, AScreenshotIsNamedInTheTicker)
{
    Key(0x58); // F12
    ASSERT_FALSE(Messages.empty());
    const std::string& line = Messages.back().text;
    size_t at = line.rfind("Bild");
    ASSERT_NE(at, std::string::npos) << line;
    EXPECT_EQ(line.compare(line.size() - 4, 4, ".bmp"), 0) << line;
    EXPECT_TRUE(FileExists(line.substr(at))) << line;
}

TEST_F(Hud, ALoadedGameDoesNotTellOfItsSave)
{
    AddMessage("INFO: Spielstand wurde gespeichert.");
    AddMessage("      \"Probe\"");
    MakeFolder("SAVE");
    ASSERT_EQ(SaveGame("Probe"), 1);
    ASSERT_EQ(LoadGame("Probe"), 1);
    for (const Message& message : Messages) EXPECT_EQ(message.text.find("gespeichert"), std::string::npos) << message.text;
}
