#include "platform/posix/wineprefix.h"

PrefixChoice choosePrefix(const PrefixFacts &facts)
{
    const auto checked = [&](const PrefixFolder &prefix, bool ours) -> PrefixChoice {
        if (prefix.owner && *prefix.owner != facts.us)
            return {prefix.path, ours, Cause::PrefixNotOwned, *prefix.owner};
        return {prefix.path, ours};
    };
    if (facts.chosen && !facts.chosen->path.starts_with('/'))
        return {facts.chosen->path, false, Cause::PrefixRelative};
    if (facts.chosen)
        return checked(*facts.chosen, false);
    for (const PrefixFolder &folder : facts.found) {
        if (folder.registry)
            return checked(folder, true);
    }
    // Wine's default is left to Wine to find, and only checked.
    const PrefixChoice standard = facts.standard ? checked(*facts.standard, false) : PrefixChoice{};
    return standard.refused != Cause::None ? standard : PrefixChoice{};
}

std::vector<std::string> prefixCandidates(const std::string &folder)
{
    std::vector<std::string> candidates;
    const std::string path = folder + "/";
    for (auto at = path.rfind("/drive_c/"); at != std::string::npos; at = at ? path.rfind("/drive_c/", at - 1) : std::string::npos)
        candidates.push_back(at ? path.substr(0, at) : "/");
    return candidates;
}
