#pragma once

#include "platform/failure.h"

#include <optional>
#include <string>

// Replaces the file, named relative to the current directory, whole or not at
// all: the bytes go to a temporary file beside it, which takes its place only
// once complete and on disk. A symbolic link keeps pointing where it did, and
// a read-only file is refused even where the system would allow the write.
// Only a regular file is replaced. On Linux an existing file keeps its
// permission bits and a new one gets what the umask leaves of rw-rw-rw-; on
// Windows the file, new either way, takes the permissions its folder passes
// on to new files, not the old file's own.
std::optional<Failure> replaceFile(const std::string &name, const std::string &bytes);
