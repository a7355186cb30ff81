#include "platform/writerule.h"

WriteDecision howToWrite(const WriteFacts &facts)
{
    if (facts.exists && facts.kind != Cause::None)
        return {Write::Refuse, facts.kind};
    if (facts.exists && facts.readOnly)
        return {Write::Refuse, Cause::ReadOnly};
    if (const Cause refused = refusal(facts.way); refused != Cause::None)
        return {Write::Refuse, refused};
    if (facts.exists && (!facts.oneName || !facts.nameIsWhere || !facts.canCarryOver))
        return {Write::InPlace};
    return {Write::Replace};
}

WriteDecision withoutNewFile(bool exists, bool denied, bool folderWritable)
{
    const Cause cause = denied && !folderWritable ? Cause::FolderLocked : Cause::None;
    return {exists && denied ? Write::InPlace : Write::Refuse, cause};
}
