#pragma once

#include "form/failure.h"

#include <optional>
#include <string>

// Writes the bytes into the file named relative to the current directory, and
// hands back the file as the user had it: its owner and group, permissions,
// ACL, attributes and other names (hard links) stay as they were, and a
// symbolic link keeps pointing where it did, to the file that is written.
// - Replaced whole or not at all, where a new file can carry everything the old
//   one had: the bytes go to a new file beside it (beside a link's target),
//   which takes its place only once complete and on disk.
// - Otherwise written over in place, where the file itself may be written: a
//   folder that cannot be written, another user's file (a sticky folder, say),
//   an owner or group that cannot be given back, a second name. Nothing changes
//   before the first byte; a failure after it is reported as such, since a
//   power cut can leave the new lines followed by the old file's tail.
// - Otherwise refused with the real cause: a read-only file (even where the
//   system would allow the write), another user's, or what is not a regular file.
// Links and second names are followed only where the rule in linkrule.h lets
// them, decided on the files and folders as opened, so that nothing can be
// swapped in between: run as root in a player's folder, it writes only what
// the player could write.
// A new file gets the permissions new files get there (the umask on Linux, the
// folder's inherited ACL on Windows).
std::optional<Failure> replaceFile(const std::string &name, const std::string &bytes);
