// Program starts in their own folder, and message boxes that always leave a line on stderr.
#include "platform/dialog.h"
#include "platform/process.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

// A shell script program that writes its working folder into "wo.txt" there.
static void WriteProgram(const std::string& path, const std::string& body)
{
    ASSERT_EQ(WriteWholeFile(path, "#!/bin/sh\n" + body + "\n"), 1);
    chmod(ResolvePath(path).c_str(), 0755);
}

TEST(Programs, StartInTheirOwnFolderAndAreWaitedFor)
{
    TempFolder folder;
    MakeFolder("BMP\\B");
    WriteProgram("BMP\\B\\" + ProgramFile("texgen"), "pwd > wo.txt");
    EXPECT_EQ(StartProgram("bmp\\b\\" + ProgramFile("TEXGEN"), 1), 1);
    std::string where;
    ASSERT_EQ(ReadWholeFile("BMP\\B\\wo.txt", where), 1) << "written in the program's folder";
    EXPECT_EQ(where, folder.path + "BMP/B\n");
}

TEST(Programs, FailuresAreReported)
{
    TempFolder folder;
    EXPECT_EQ(StartProgram("fehlt", 1), 0);
    EXPECT_EQ(StartProgram("fehlt", 0), 0);
    WriteProgram("scheitert", "exit 3");
    EXPECT_EQ(StartProgram("scheitert", 1), 0) << "a failed run is not a success";
    WriteProgram("laeuft", "sleep 0.1; touch fertig");
    EXPECT_EQ(StartProgram("laeuft", 0), 1);
    // A waited start after an unwaited one still sees its own child's end.
    WriteProgram("gut", "exit 0");
    EXPECT_EQ(StartProgram("gut", 1), 1);
}

TEST(MessageBoxes, AnsweredAutomaticallyAndLoggedOnOneLine)
{
    SetMessageBoxAnswer(0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(ShowMessageBox("HINWEIS", "Zeile eins\r\nZeile zwei", MessageYesNo), 0);
    EXPECT_EQ(ShowMessageBox("Error", "Nur OK", MessageOk), 1) << "a box with only OK gives OK";
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log, "korax: HINWEIS: Zeile eins  Zeile zwei\nkorax: Error: Nur OK\n");
    SetMessageBoxAnswer(1);
    EXPECT_EQ(ShowMessageBox("Frage", "Ja?", MessageOkCancel), 1);
}
