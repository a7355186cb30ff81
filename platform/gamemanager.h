#pragma once

#include "form/failure.h"

#include <string>
#include <vector>

// Which game manager owns a Wine prefix, and the command it would start a
// program there with, decided from what was read of the managers' own files,
// with no system call here.

enum class Manager { None, Lutris, Bottles, Heroic, Proton };

// What one manager's files say of one prefix.
struct ManagerClaim
{
    Manager manager = Manager::None;
    std::string prefix = {};        // the Wine prefix it names: the folder above drive_c
    std::string flatpak = {};       // the Flatpak app whose files these are; empty for the manager installed natively
    std::string program = {};       // what it starts: Lutris's or Heroic's Wine, bottles-cli; for Proton, its version
    bool found = false;        // whether that program is there (for a Flatpak's own command, the app)
    std::string name = {};          // Lutris: its Wine version; Bottles: the bottle's name; Heroic: the app's name
    bool proton = false;       // Heroic: started through Proton, its prefix the pfx in the folder it names
    bool esync = true, fsync = true, dxvk = true;
    std::string overrides = {};     // Lutris: its own DLL overrides, as WINEDLLOVERRIDES has them
    std::string steam = {};         // Proton: Steam's folder
};

// A Proton build found: its script, and the prefix version it makes.
struct ProtonBuild
{
    std::string script = {};
    std::string prefixVersion = {};
};

struct ManagerFacts
{
    std::string prefix = {};                // the game's prefix; empty for Wine's default
    bool wineNamed = false;            // the player set WINE, which wins
    std::vector<ManagerClaim> claims = {};  // every claim read, of any prefix
    std::vector<ProtonBuild> protons = {};
    std::string flatpak = {};               // flatpak's command, where found
};

struct ManagerStart
{
    Manager manager = Manager::None;   // None: started as any Wine program is
    Cause refused = Cause::None;
    std::string detail = {};
    std::vector<std::string> words = {};    // the command, its program first
    std::vector<std::string> settings = {}; // NAME=value, added to the environment
};

// The manager whose files name the game's prefix, and its command for the
// game at that absolute path; refused where its program is missing, or where
// two managers would start it differently.
ManagerStart managerStart(const ManagerFacts &facts, const std::string &game);

// The manager's name, as a report gives it.
std::string managerName(Manager manager);
