#pragma once

#include "form/failure.h"

#include <optional>
#include <vector>

// Whether Apply may write through the names that lead to a file: decided from
// facts gathered on what was opened, with no system call here, so both
// platforms ask it alike. Owners are numbers: Linux's user and group ids, or
// on Windows one number per distinct owner.

// An owner and who may write it, as its mode and ACL say.
struct Rights
{
    unsigned owner = 0, group = 0;
    bool ownerWrites = false, groupWrites = false, othersWrite = false; // the group's as the ACL's mask leaves it
    std::vector<unsigned> users = {}, groups = {}; // the others its ACL lets write, the mask applied
    bool ownersKept = true; // else its file system keeps none, and what is on it may be anyone's
};

// A link followed on the way, or the file's second name: who made it (for a
// second name, the file's owner), and the folder that holds it.
struct Way
{
    unsigned maker;
    Rights folder;
};

struct WayFacts
{
    unsigned us;                    // who applies
    std::optional<unsigned> anyone; // who may write anything: root on Linux, none on Windows
    std::vector<Way> links;         // every link followed, in order
    std::optional<Way> secondName;  // where the file has another name
    bool exists = true;             // else the links lead to no file yet
    Rights target;                  // the file, or the folder a new one would go in
};

enum class Verdict { Follow, OthersLink, OthersDanglingLink, OthersSecondName };

// A link or second name is followed only where everyone who could have put it
// there could write what it leads to: its maker and whoever may write the
// folder that holds it (its owner; its group, or anyone, where the mode lets
// them; each user and group its ACL lets; in a sticky folder too, as the bit
// stops only removing). On a file system that keeps no owners, that is anyone.
// What a user could write is judged on the owner, group, mode and ACL entries
// alone: a group's other members are not counted, so a doubtful case is refused.
Verdict followable(const WayFacts &facts);

// What a report says of a refusal: none for Follow.
Cause refusal(Verdict verdict);
