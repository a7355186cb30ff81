#pragma once

#include <string>

// What was found beyond the system's error number, for a person to act on.
enum class Cause {
    None,
    ReadOnly,       // the file is read-only
    OtherOwner,     // the file belongs to another user
    OthersLink,     // reached through a link or second name that another user made, and could not write through
    FolderLocked,   // the folder cannot be written
    FolderGone,     // the working folder was deleted
    InUse,          // another program holds the file
    MaybeNotOnDisk, // the new file is in place, but its folder's sync failed
    PartlyWritten,  // written over in place, and stopped after its first byte
    Folder,         // a folder stands where a file was looked for
    NamedPipe,
    Socket,
    Device,
    NotRegular,
    NotExecutable,
    NeedsWine,      // a Windows program, and no wine to start it
    WineNamed,      // a Windows program, and the folder is the wine that WINE names
    NotFound,       // looked in the current folder and along PATH
};

// A failure as data; the report is worded from it in one place. The number is
// the system's (0 where it gave none), the folder where it happened, as the
// system shows it (UTF-8, empty where it cannot be told).
struct Failure
{
    int number = 0;
    Cause cause = Cause::None;
    std::string folder;

    bool operator==(const Failure &) const = default;
};

// The system's own words for its error number, to stand inside a sentence:
// "Permission denied". Where they leave room for a name ("%1 is not a valid
// Win32 application"), the name goes there.
std::string systemText(int number, const std::string &name = {});

// The working folder as the system shows it, for a report to name, so that a
// user can tell where the program looked. Empty when it cannot be told.
std::string currentFolder();
