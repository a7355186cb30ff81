#pragma once

#include "platform/linkrule.h"
#include "platform/win32/handle.h"

#include <windows.h>

#include <string>
#include <vector>

// A file reached from the current folder one name at a time, each opened as
// itself: every symbolic link and junction on the way is seen, with its owner
// and the owner of the folder that holds it, and followed by hand. What the
// rule then decides on is what was opened here.
struct Reached
{
    std::wstring path;   // where the name finally leads, links followed: the file, or where a new one goes
    Handle folder;       // the folder that holds it, held open so that it cannot be moved or removed
    Handle file;         // the file itself, where there is one
    BY_HANDLE_FILE_INFORMATION information{};
    WayFacts facts{};    // the owners on the way, as numbers; the file's own are added by the caller
    std::vector<std::vector<BYTE>> owners; // the owner each number stands for
};

// Returns 0, or the system's error number.
DWORD walk(const std::wstring &name, Reached &reached);

// The number that stands for an owner: the same for the same owner, odd for
// a group (Administrators) and for one that cannot be read.
unsigned ownerNumber(Reached &reached, PSID owner);
unsigned ownerOf(Reached &reached, HANDLE handle);

// What the rule knows of a file or folder on Windows: its owner, who may
// write it unless the owner is a group (Administrators), which could be anyone in it.
Rights rightsOf(Reached &reached, HANDLE handle);

// The folder part of a path, with its separator: "" for a bare name.
std::wstring folderPart(const std::wstring &path);
