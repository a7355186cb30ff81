#pragma once

#include "platform/failure.h"
#include "platform/linkrule.h"
#include "platform/posix/fd.h"

#include <string>
#include <sys/stat.h>
#include <vector>

// A file reached from the current directory as open() would reach it, but one
// name at a time, each opened without following it: every link on the way is
// seen, with the folder that holds it, and what was checked is what is then
// used, held by its descriptor. Paths stay relative to the current directory,
// as the caller gave them: a folder's absolute name need be neither valid text
// nor searchable.
struct Reached
{
    Fd folder;                   // the folder that holds the name, opened (O_PATH)
    std::string name;            // the file's name there
    std::string where;           // that folder as reached: "" for the current one, else relative to it or absolute
    bool exists = false;
    struct stat status{};        // the file's, where it exists
    struct stat folderStatus{};
    std::vector<Way> links;      // the links followed on the way
};

// Returns 0, or the error number.
int walk(std::string path, Reached &reached);

// Who may write it, as its owner, group and mode say.
Rights rightsOf(const struct stat &status);

// A name in a folder, as a report shows it: "" is the current folder.
std::string joinPath(const std::string &folder, const std::string &name);

// The folder a report names: where it was reached, from the current directory.
std::string shownFolder(const std::string &where);

// Why something other than a regular file is left alone.
Cause kindOf(mode_t mode);
