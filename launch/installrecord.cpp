// launch/installrecord.cpp - the game's top folder as the installer recorded it.
#include "launch/launcher.h"

#include "platform/files.h"
#include "platform/install_record.h"

std::string ReadRootFolder()
{
    std::string record;
    ReadWholeFile("DATEN\\Installationsort.ini", record);
    return TopFolderFromRecord(record);
}
