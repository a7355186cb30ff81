#pragma once

#include "platform/failure.h"

#include <optional>
#include <string>

// Replaces the file, named relative to the current directory, whole or not at
// all: the bytes go to a temporary file beside it, which takes its place only
// once complete and on disk. A symbolic link keeps pointing where it did, an
// existing file keeps its permissions, and a read-only file is refused even
// where the system would allow the write. Only a regular file is replaced.
std::optional<Failure> replaceFile(const std::string &name, const std::string &bytes);
