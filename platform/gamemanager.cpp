#include "platform/gamemanager.h"

#include <cstdlib>

namespace {

// "8.0-104" is family "8.0", number 104; "GE-Proton9-20" is "GE-Proton9", 20.
std::string family(const std::string &version)
{
    return version.substr(0, version.rfind('-'));
}

long number(const std::string &version)
{
    const auto dash = version.rfind('-');
    return dash == std::string::npos ? 0 : std::strtol(version.c_str() + dash + 1, nullptr, 10);
}

// The Proton that made the prefix, or else the newest of its family, which
// Steam would have updated it to and which brings the prefix up to date.
const ProtonBuild *protonFor(const std::vector<ProtonBuild> &protons, const std::string &version)
{
    const ProtonBuild *best = nullptr;
    for (const ProtonBuild &build : protons) {
        if (build.prefixVersion == version)
            return &build;
        if (family(build.prefixVersion) == family(version) && number(build.prefixVersion) >= number(version)
            && (!best || number(build.prefixVersion) > number(best->prefixVersion)))
            best = &build;
    }
    return best;
}

std::string folderAbove(const std::string &pfx)
{
    return pfx.substr(0, pfx.rfind('/'));
}

ManagerStart startFor(const ManagerFacts &facts, const ManagerClaim &claim, const std::string &game)
{
    ManagerStart start{claim.manager};
    const std::string manager = managerName(claim.manager) + (claim.flatpak.empty() ? "" : " (Flatpak)");
    const auto missing = [&](const std::string &what) {
        return ManagerStart{claim.manager, Cause::ManagerMissing, manager + ", and " + what};
    };
    switch (claim.manager) {
    case Manager::None: break;
    case Manager::Lutris:
        if (!claim.found)
            return missing(claim.name.empty() ? "it names no Wine version for it"
                                              : "its Wine " + claim.name + " is not at " + claim.program);
        start.words = {claim.program, game};
        start.settings = {"WINE=" + claim.program, "WINEPREFIX=" + claim.prefix, "WINEDEBUG=-all",
                          std::string("WINEESYNC=") + (claim.esync ? "1" : "0"),
                          std::string("WINEFSYNC=") + (claim.fsync ? "1" : "0")};
        if (const std::string dlls = (claim.dxvk ? "d3d10core,d3d11,d3d9,dxgi=n" : "")
                                     + std::string(claim.dxvk && !claim.overrides.empty() ? ";" : "") + claim.overrides;
            !dlls.empty())
            start.settings.push_back("WINEDLLOVERRIDES=" + dlls);
        break;
    case Manager::Bottles:
        if (!claim.found)
            return missing(claim.flatpak.empty() ? "bottles-cli is not on PATH" : "the Flatpak is not installed");
        start.words = {claim.program, "run", "-b", claim.name, "-e", game};
        break;
    case Manager::Heroic:
        if (!claim.found)
            return missing("its " + std::string(claim.proton ? "Proton" : "Wine") + " is not at " + claim.program);
        if (claim.proton) {
            start.words = {claim.program, "run", game};
            start.settings = {"STEAM_COMPAT_CLIENT_INSTALL_PATH=" + claim.steam,
                              "STEAM_COMPAT_DATA_PATH=" + folderAbove(claim.prefix)};
            // Proton syncs unless told not to; Wine only when told to.
            for (const auto &[on, name] : {std::pair{claim.esync, "PROTON_NO_ESYNC=1"}, {claim.fsync, "PROTON_NO_FSYNC=1"}})
                if (!on)
                    start.settings.push_back(name);
        } else {
            start.words = {claim.program, game};
            start.settings = {"WINEPREFIX=" + claim.prefix};
            for (const auto &[on, name] : {std::pair{claim.esync, "WINEESYNC=1"}, {claim.fsync, "WINEFSYNC=1"}})
                if (on)
                    start.settings.push_back(name);
        }
        break;
    case Manager::Proton:
        if (const ProtonBuild *build = protonFor(facts.protons, claim.program)) {
            start.words = {build->script, "run", game};
            start.settings = {"STEAM_COMPAT_CLIENT_INSTALL_PATH=" + claim.steam,
                              "STEAM_COMPAT_DATA_PATH=" + folderAbove(claim.prefix), "SteamAppId=" + claim.name,
                              "SteamGameId=" + claim.name};
            break;
        }
        return missing("no Proton that makes prefix version " + claim.program + " is installed");
    }
    if (claim.flatpak.empty())
        return start;
    if (facts.flatpak.empty())
        return missing("flatpak is not on PATH");
    // The same command inside the manager's Flatpak, with its settings.
    std::vector<std::string> words = {facts.flatpak, "run", "--command=" + start.words[0]};
    for (const std::string &setting : start.settings)
        words.push_back("--env=" + setting);
    words.push_back(claim.flatpak);
    words.insert(words.end(), start.words.begin() + 1, start.words.end());
    start.words = words;
    start.settings.clear();
    return start;
}

bool operator==(const ManagerStart &a, const ManagerStart &b)
{
    return a.manager == b.manager && a.refused == b.refused && a.words == b.words && a.settings == b.settings;
}

} // namespace

ManagerStart managerStart(const ManagerFacts &facts, const std::string &game)
{
    ManagerStart chosen;
    if (facts.wineNamed || facts.prefix.empty())
        return chosen;
    for (const ManagerClaim &claim : facts.claims) {
        if (claim.prefix != facts.prefix)
            continue;
        const ManagerStart start = startFor(facts, claim, game);
        if (chosen.manager != Manager::None && !(start == chosen)) {
            // Either could be the one its player meant; neither may change the prefix for the other.
            return {claim.manager, Cause::ManagersDisagree,
                    managerName(chosen.manager) + " and " + managerName(claim.manager)};
        }
        chosen = start;
    }
    return chosen;
}

std::string managerName(Manager manager)
{
    switch (manager) {
    case Manager::None: break;
    case Manager::Lutris: return "Lutris";
    case Manager::Bottles: return "Bottles";
    case Manager::Heroic: return "Heroic";
    case Manager::Proton: return "Steam's Proton";
    }
    return {};
}
