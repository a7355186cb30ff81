#pragma once

#include <string>

// What went wrong, in words a person can act on: the system's error number
// (0 where it gave none) and a description that names the file or program
// and the reason.
struct Failure
{
    int number = 0;
    std::string description; // UTF-8
};

// "cannot write "locale.ini" in /home/ana/Games/Korvane: Permission denied (the
// file is read-only)": the action, the system's own text for the number, and
// any cause found in brackets. Where the system's text leaves room for a name
// ("%1 is not a valid Win32 application"), the name goes there.
Failure systemFailure(int number, const std::string &action, const std::string &detail = {},
                      const std::string &name = {});

// The working folder as the system shows it, for a report to name, so that a
// user can tell where the program looked. Empty when it cannot be told.
std::string currentFolder();

// " in /home/ana/Games/Korvane", to follow a name in a report; nothing for no folder.
inline std::string inFolder(const std::string &folder)
{
    return folder.empty() ? std::string() : " in " + folder;
}
