// The rule for whose links and second names Apply may write through, as a
// table of what was found on the way and what it allows.
#include "platform/linkrule.h"

#include <doctest/doctest.h>

namespace {

const unsigned root = 0, player = 1, other = 2, games = 10;

// Owned by that user and their own group, with that mode.
Rights owned(unsigned owner, unsigned mode, unsigned group = ~0u)
{
    return {owner, group == ~0u ? owner : group, bool(mode & 0200), bool(mode & 020), bool(mode & 02), bool(mode & 01000)};
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
        {"a sticky folder: the link's and the folder's owners only", root, {{root, owned(root, 01777)}}, none, owned(root, 0644), Verdict::Follow},
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
