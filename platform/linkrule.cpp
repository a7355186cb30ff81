#include "platform/linkrule.h"

#include <algorithm>

namespace {

bool among(const std::vector<unsigned> &list, unsigned number)
{
    return std::find(list.begin(), list.end(), number) != list.end();
}

bool userCouldWrite(const WayFacts &facts, unsigned user)
{
    const Rights &target = facts.target;
    return user == facts.us || user == facts.anyone || (user == target.owner && target.ownerWrites)
           || target.othersWrite || among(target.users, user);
}

bool groupCouldWrite(const WayFacts &facts, unsigned group)
{
    const Rights &target = facts.target;
    return (group == target.group && target.groupWrites) || target.othersWrite || among(target.groups, group);
}

bool trusted(const WayFacts &facts, const Way &way)
{
    const Rights &folder = way.folder;
    if (!folder.ownersKept || folder.othersWrite)
        return facts.target.othersWrite;
    const auto user = [&](unsigned number) { return userCouldWrite(facts, number); };
    const auto group = [&](unsigned number) { return groupCouldWrite(facts, number); };
    return user(way.maker) && user(folder.owner) && (!folder.groupWrites || group(folder.group))
           && std::all_of(folder.users.begin(), folder.users.end(), user)
           && std::all_of(folder.groups.begin(), folder.groups.end(), group);
}

} // namespace

Verdict followable(const WayFacts &facts)
{
    for (const Way &link : facts.links) {
        if (!trusted(facts, link))
            return facts.exists ? Verdict::OthersLink : Verdict::OthersDanglingLink;
    }
    if (facts.secondName && !trusted(facts, *facts.secondName))
        return Verdict::OthersSecondName;
    return Verdict::Follow;
}

Cause refusal(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Follow: break;
    case Verdict::OthersLink: return Cause::OthersLink;
    case Verdict::OthersDanglingLink: return Cause::OthersDanglingLink;
    case Verdict::OthersSecondName: return Cause::OthersSecondName;
    }
    return Cause::None;
}
