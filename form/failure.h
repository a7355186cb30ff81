#pragma once

#include <string>

// What was found beyond the system's error number, for a person to act on.
enum class Cause {
    None,
    ReadOnly,       // the file is read-only
    OtherOwner,     // the file belongs to another user
    OthersLink,         // reached through a link another user could have put there, to a file they cannot write
    OthersDanglingLink, // the same, to no file yet, in a folder they cannot write
    OthersSecondName,   // a second name another user could have made, for a file they cannot write
    FolderLocked,   // the folder cannot be written
    InUse,          // another program holds the file
    MaybeNotOnDisk, // the new settings are written, but a sync failed
    PartlyWritten,  // written over in place, and stopped after its first byte
    Folder,         // a folder stands where a file was looked for
    NamedPipe,
    Socket,
    Device,
    NotRegular,
    NotExecutable,
    NeedsWine,      // a Windows program, and no wine to start it
    WineNamed,      // a Windows program, and the wine that WINE names (the detail) cannot be started
    WineFailed,     // a Windows program, and the wine found on PATH (the detail) cannot be started
    PrefixNotOwned, // its Wine prefix is another user's (the detail: "PREFIX belongs to NAME")
    PrefixRelative, // WINEPREFIX is set to a relative path, which Wine refuses
    ManagerMissing,    // its prefix is a game manager's, and what that starts games with is missing ("MANAGER, and WHAT")
    ManagersDisagree,  // two game managers claim its prefix ("ONE and OTHER")
    ManagerUnreadable, // a game manager's file (the detail), which tells who owns its prefix, cannot be read
    NotFound,       // looked in the current folder and along PATH
};

// A failure as data; the report is worded from it in one place. The number is
// the system's (0 where it gave none), the folder where it happened, as the
// system shows it (UTF-8, empty where it cannot be told), and what the cause
// names, where it names something.
struct Failure
{
    int number = 0;
    Cause cause = Cause::None;
    std::string folder;
    std::string detail = {};

    bool operator==(const Failure &) const = default;
};
