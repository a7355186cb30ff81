#pragma once

#include "form/failure.h"

#include <string>
#include <sys/stat.h>

// Every path here stays relative to the current directory, as the caller gave
// it: a folder's absolute name need be neither valid text nor searchable.
std::string folderOf(const std::string &path);

// Follows symbolic links from the name as open() would, one step at a time, so
// that the file that is written is the one the link points to. Returns 0 and
// whether something is there, or the error number.
int followLinks(std::string &path, struct stat &status, bool &exists);

// Why something other than a regular file is left alone.
Cause kindOf(mode_t mode);
