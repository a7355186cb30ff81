#include "platform/linkrule.h"

namespace {

bool userCouldWrite(const WayFacts &facts, unsigned user)
{
    const Rights &target = facts.target;
    return user == facts.us || user == facts.anyone || (user == target.owner && target.ownerWrites)
           || target.othersWrite;
}

bool groupCouldWrite(const WayFacts &facts, unsigned group)
{
    return (group == facts.target.group && facts.target.groupWrites) || facts.target.othersWrite;
}

bool trusted(const WayFacts &facts, const Way &way)
{
    const Rights &folder = way.folder;
    if (!userCouldWrite(facts, way.maker) || !userCouldWrite(facts, folder.owner))
        return false;
    if (folder.sticky)
        return true;
    return (!folder.groupWrites || groupCouldWrite(facts, folder.group)) && (!folder.othersWrite || facts.target.othersWrite);
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
