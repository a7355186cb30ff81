#pragma once

#include "platform/gamemanager.h"

#include <functional>
#include <optional>

// Gathers what Lutris, Bottles, Heroic and Steam wrote of the game's prefix,
// in their native and Flatpak places under HOME, for managerStart. A file that
// is there and cannot be read is a failure (its folder left for the caller to
// give); one that is not YAML or JSON, or too large to be the manager's, is
// passed over, as not trusted. findCommand looks a name up along PATH.
std::optional<Failure> gatherManagers(ManagerFacts &facts, const std::string &prefix,
                                      const std::function<std::string(const std::string &)> &findCommand);
