#pragma once

#include "form/failure.h"

#include <optional>
#include <string>
#include <vector>

// Which Wine prefix a Windows game is started in, decided from facts gathered
// on the way to it, with no system call here.

// A folder that may be a prefix: whether it holds a registry, and its owner
// where it exists.
struct PrefixFolder
{
    std::string path;
    bool registry = false;
    std::optional<unsigned> owner = {};
};

struct PrefixFacts
{
    std::optional<PrefixFolder> chosen;  // WINEPREFIX, where it is set and not empty
    std::vector<PrefixFolder> found;     // the folders above each drive_c on the way to the game, nearest first
    unsigned us;                         // the user who runs us, as Wine asks (the real one)
    std::optional<PrefixFolder> standard = {}; // Wine's default, ~/.wine, where HOME or the user's entry names a home
};

struct PrefixChoice
{
    std::string path;          // empty for Wine's own default
    bool ours = false;         // found here, to be given to the game
    Cause refused = Cause::None;
    unsigned owner = 0;        // whose prefix it is, where refused as another user's
};

// The prefix chosen in WINEPREFIX, or else the nearest found with a registry
// (a drive_c alone may be an unpacked archive), or else Wine's default. Wine
// refuses a relative prefix and another user's: so are they, rather than
// start a Wine that stops at once.
PrefixChoice choosePrefix(const PrefixFacts &facts);

// The folders that would be the prefix of a game in that folder: each one
// holding a drive_c on the way down to it, nearest first.
std::vector<std::string> prefixCandidates(const std::string &folder);
