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
    Rights folderRights;
    std::vector<Way> links;      // the links followed on the way
};

// Returns 0, or the error number.
int walk(std::string path, Reached &reached);

// Who may write what the descriptor holds (O_PATH too, not a link), as its
// owner, group, mode and ACL say, and whether its file system keeps owners.
// Returns 0, or the error number.
int rightsOf(int fd, const struct stat &status, Rights &rights);

// A name in a folder, as a report shows it: "" is the current folder.
std::string joinPath(const std::string &folder, const std::string &name);

// The folder a report names: where it was reached, from the current directory.
std::string shownFolder(const std::string &where);

// Why something other than a regular file is left alone.
Cause notFileCause(mode_t mode);
