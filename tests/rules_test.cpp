// The rules for how Apply writes the file, whose links and second names it may
// write through, and which game manager starts the game, as tables of what was
// found and what it allows.
#include "platform/gamemanager.h"
#include "platform/linkrule.h"
#include "platform/writerule.h"

#include <doctest/doctest.h>

namespace {

const unsigned root = 0, player = 1, other = 2, games = 10;

// Owned by that user and their own group, with that mode, and the users and
// groups its ACL lets write.
Rights owned(unsigned owner, unsigned mode, unsigned group = ~0u, std::vector<unsigned> users = {}, std::vector<unsigned> groups = {})
{
    return {owner, group == ~0u ? owner : group, bool(mode & 0200), bool(mode & 020), bool(mode & 02), users, groups};
}

} // namespace

TEST_CASE("a link or second name is followed only where everyone who could have put it there could write what it leads to")
{
    const std::optional<Way> none;
    const struct
    {
        const char *what;
        unsigned us;
        std::vector<Way> links;
        std::optional<Way> second;
        Rights target;
        Verdict verdict;
        bool exists = true;
    } rows[] = {
        {"root's link in root's folder, to root's file", root, {{root, owned(root, 0755)}}, none, owned(root, 0600), Verdict::Follow},
        {"root's link placed in the player's folder", root, {{root, owned(player, 0755)}}, none, owned(root, 0600), Verdict::OthersLink},
        {"the player's link to their own file", root, {{player, owned(player, 0755)}}, none, owned(player, 0644), Verdict::Follow},
        {"the player's link to root's file", root, {{player, owned(player, 0755)}}, none, owned(root, 0644), Verdict::OthersLink},
        {"a folder its group may write, to a file it may", root, {{player, owned(player, 0775, games)}}, none, owned(player, 0664, games), Verdict::Follow},
        {"a folder its group may write, to a file it may not", root, {{player, owned(player, 0775, games)}}, none, owned(player, 0644, games), Verdict::OthersLink},
        {"a folder anyone may write, not sticky", root, {{root, owned(root, 0777)}}, none, owned(root, 0644), Verdict::OthersLink},
        {"a folder anyone may write, to a file anyone may", player, {{root, owned(root, 0777)}}, none, owned(root, 0666), Verdict::Follow},
        {"root's link moved into a sticky folder by a player", root, {{root, owned(root, 01777)}}, none, owned(root, 0644), Verdict::OthersLink},
        {"a folder whose ACL lets another user write", root, {{player, owned(player, 0755, player, {other})}}, none, owned(player, 0644), Verdict::OthersLink},
        {"a folder whose ACL lets a group write", root, {{player, owned(player, 0755, player, {}, {games})}}, none, owned(player, 0644), Verdict::OthersLink},
        {"the same, to a file their ACLs let write", root, {{player, owned(player, 0755, player, {other}, {games})}}, none, owned(player, 0644, player, {other}, {games}), Verdict::Follow},
        {"on a drive that keeps no owners", root, {{root, Rights{.ownersKept = false}}}, none, owned(root, 0600), Verdict::OthersLink},
        {"the same, to a file anyone may write", root, {{root, Rights{.ownersKept = false}}}, none, owned(root, 0666), Verdict::Follow},
        {"another user's link in a sticky folder, to the player's file", player, {{other, owned(root, 01777)}}, none, owned(player, 0644), Verdict::OthersLink},
        {"the second of two links placed", root, {{root, owned(root, 0755)}, {root, owned(player, 0755)}}, none, owned(root, 0600), Verdict::OthersLink},
        {"the player's link to no file, in root's folder", root, {{player, owned(player, 0755)}}, none, owned(root, 0755), Verdict::OthersDanglingLink, false},
        {"a second name of root's file, in the player's folder", root, {}, Way{root, owned(player, 0755)}, owned(root, 0644), Verdict::OthersSecondName},
        {"a second name in root's own folder", root, {}, Way{root, owned(root, 0755)}, owned(root, 0644), Verdict::Follow},
        {"the player's own second name, as the player", player, {}, Way{player, owned(player, 0755)}, owned(player, 0644), Verdict::Follow},
    };
    for (const auto &row : rows) {
        CAPTURE(row.what);
        CHECK(followable({row.us, root, row.links, row.second, row.exists, row.target}) == row.verdict);
    }
    // As Windows has it: no one may write everything, and a file owned by the
    // Administrators group may be anyone's of them, so it is no user's own.
    const unsigned user = 2, administrators = 5;
    const Rights admins{administrators, ~0u, false}, users{user, ~0u, true};
    CHECK(followable({user, std::nullopt, {}, Way{administrators, admins}, true, admins}) == Verdict::OthersSecondName);
    CHECK(followable({user, std::nullopt, {{user, users}}, none, true, users}) == Verdict::Follow);
    CHECK(followable({user, std::nullopt, {{administrators, admins}}, none, true, users}) == Verdict::OthersLink);
}

TEST_CASE("the file is replaced whole where a new one can take its place, else written in place, or refused with its cause")
{
    const WriteFacts file;
    const auto with = [&](auto change) { WriteFacts facts = file; change(facts); return facts; };
    const struct
    {
        const char *what;
        WriteFacts facts;
        WriteDecision decision;
    } rows[] = {
        {"a player's own file", file, {Write::Replace}},
        {"no file yet", with([](auto &f) { f.exists = false, f.oneName = false, f.canCarryOver = false; }), {Write::Replace}},
        {"a folder where the file goes", with([](auto &f) { f.kind = Cause::Folder, f.readOnly = true; }), {Write::Refuse, Cause::Folder}},
        {"a named pipe", with([](auto &f) { f.kind = Cause::NamedPipe; }), {Write::Refuse, Cause::NamedPipe}},
        {"a read-only file", with([](auto &f) { f.readOnly = true, f.way = Verdict::OthersLink; }), {Write::Refuse, Cause::ReadOnly}},
        {"through another's link", with([](auto &f) { f.way = Verdict::OthersLink, f.oneName = false; }), {Write::Refuse, Cause::OthersLink}},
        {"to no file, through another's link", with([](auto &f) { f.exists = false, f.way = Verdict::OthersDanglingLink; }), {Write::Refuse, Cause::OthersDanglingLink}},
        {"a second name", with([](auto &f) { f.oneName = false; }), {Write::InPlace}},
        {"where a link it was reached through leads", with([](auto &f) { f.nameIsWhere = false; }), {Write::InPlace}},
        {"another's file, whose owner cannot be given back", with([](auto &f) { f.canCarryOver = false; }), {Write::InPlace}},
    };
    for (const auto &row : rows) {
        CAPTURE(row.what);
        CHECK(howToWrite(row.facts) == row.decision);
    }
    // No new file could be made beside it.
    CHECK(withoutNewFile(true, true, true) == WriteDecision{Write::InPlace});
    CHECK(withoutNewFile(true, true, false) == WriteDecision{Write::InPlace, Cause::FolderLocked});
    CHECK(withoutNewFile(false, true, false) == WriteDecision{Write::Refuse, Cause::FolderLocked});
    CHECK(withoutNewFile(true, false, false) == WriteDecision{Write::Refuse});
}

TEST_CASE("a game in a game manager's prefix is started as that manager would, or not at all where it cannot be")
{
    using namespace std::string_literals; // assigned whole: GCC 12 warns of a copy from a literal that cannot happen
    const ManagerClaim lutris{Manager::Lutris, "/p", "", "/w", true, "ge"}, bottles{Manager::Bottles, "/p", "", "/b", true, "K"};
    const ManagerClaim heroic{Manager::Heroic, "/c/pfx", "", "/h/proton", true, "app", true, true, false};
    const ManagerClaim proton{Manager::Proton, "/c/pfx", "", "8.0-104", false, "42"};
    const std::vector<ProtonBuild> protons = {{"/s/9/proton", "9.0-1"}, {"/s/8/proton", "8.0-104"}};
    const auto with = [](ManagerClaim claim, auto change) { return change(claim), claim; };
    const struct
    {
        const char *what;
        ManagerFacts facts;
        Manager manager;
        Cause cause;
        std::string words;
    } rows[] = {
        {"Wine's default prefix", {"", false, {lutris}}, Manager::None, Cause::None, ""},
        {"no manager's prefix", {"/q", false, {lutris}}, Manager::None, Cause::None, ""},
        {"WINE set by the player", {"/p", true, {lutris}}, Manager::None, Cause::None, ""},
        {"Lutris's", {"/p", false, {lutris, lutris}}, Manager::Lutris, Cause::None, "/w /p/k.exe"},
        {"Lutris's, its Wine missing", {"/p", false, {with(lutris, [](auto &c) { c.found = false; })}}, Manager::Lutris, Cause::ManagerMissing, ""},
        {"Lutris's Flatpak", {"/p", false, {with(lutris, [](auto &c) { c.flatpak = "L"s; })}, {}, "/f"}, Manager::Lutris, Cause::None, "/f run --command=/w L /p/k.exe"},
        {"a Flatpak, with no flatpak", {"/p", false, {with(lutris, [](auto &c) { c.flatpak = "L"s; })}}, Manager::Lutris, Cause::ManagerMissing, ""},
        {"Bottles'", {"/p", false, {bottles}}, Manager::Bottles, Cause::None, "/b run -b K -e /p/k.exe"},
        {"Bottles', not installed", {"/p", false, {with(bottles, [](auto &c) { c.found = false; })}}, Manager::Bottles, Cause::ManagerMissing, ""},
        {"Heroic's, with Proton", {"/c/pfx", false, {heroic}}, Manager::Heroic, Cause::None, "/h/proton run /p/k.exe"},
        {"Heroic's, with Wine", {"/c/pfx", false, {with(heroic, [](auto &c) { c.proton = false; })}}, Manager::Heroic, Cause::None, "/h/proton /p/k.exe"},
        {"Heroic's, its Proton missing", {"/c/pfx", false, {with(heroic, [](auto &c) { c.found = false; })}}, Manager::Heroic, Cause::ManagerMissing, ""},
        {"Proton's, the one that made it", {"/c/pfx", false, {proton}, protons}, Manager::Proton, Cause::None, "/s/8/proton run /p/k.exe"},
        {"Proton's, updated since", {"/c/pfx", false, {proton}, {{"/s/7", "8.0-103"}, {"/s/8.1", "8.0-106"}, {"/s/8", "8.0-105"}}}, Manager::Proton, Cause::None, "/s/8.1 run /p/k.exe"},
        {"Proton's, none of its kind", {"/c/pfx", false, {proton}, {{"/s/7", "8.0-103"}, {"/s/9", "9.0-104"}}}, Manager::Proton, Cause::ManagerMissing, ""},
        {"claimed by two managers", {"/p", false, {lutris, bottles}}, Manager::Bottles, Cause::ManagersDisagree, ""},
        {"by Lutris twice, unlike", {"/p", false, {lutris, with(lutris, [](auto &c) { c.esync = false; })}}, Manager::Lutris, Cause::ManagersDisagree, ""},
    };
    for (const auto &row : rows) {
        CAPTURE(std::string(row.what));
        const ManagerStart start = managerStart(row.facts, "/p/k.exe");
        std::string words;
        for (const std::string &word : start.words)
            words += (words.empty() || word.starts_with("--env=") ? "" : " ") + (word.starts_with("--env=") ? "" : word);
        CHECK((start.manager == row.manager && start.refused == row.cause && words == row.words));
    }
    // What each gives the game's environment, a Flatpak's through flatpak.
    const auto settings = [](const ManagerFacts &facts) { return managerStart(facts, "/p/k.exe").settings; };
    CHECK(settings({"/p", false, {with(lutris, [](auto &c) { c.fsync = false, c.overrides = "d3d8=b"s; })}})
          == std::vector<std::string>{"WINE=/w", "WINEPREFIX=/p", "WINEDEBUG=-all", "WINEESYNC=1", "WINEFSYNC=0", "WINEDLLOVERRIDES=d3d10core,d3d11,d3d9,dxgi=n;d3d8=b"});
    CHECK(settings({"/c/pfx", false, {with(heroic, [](auto &c) { c.steam = "/st"s; })}})
          == std::vector<std::string>{"STEAM_COMPAT_CLIENT_INSTALL_PATH=/st", "STEAM_COMPAT_DATA_PATH=/c", "PROTON_NO_FSYNC=1"});
    CHECK(managerStart({"/p", false, {with(bottles, [](auto &c) { c.flatpak = "B"s, c.program = "bottles-cli"s; })}, {}, "/f"}, "/p/k.exe").words
          == std::vector<std::string>{"/f", "run", "--command=bottles-cli", "B", "run", "-b", "K", "-e", "/p/k.exe"});
}
