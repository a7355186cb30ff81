#pragma once

#include "form/failure.h"
#include "platform/linkrule.h"

// How Apply writes the file: decided from facts each platform gathers on what
// it opened, with no system call here, so both platforms write alike.

struct WriteFacts
{
    bool exists = true;       // else a new file goes in the folder
    Cause kind = Cause::None; // what stands there where it is no regular file
    bool readOnly = false;    // refused even where the system would let the write through
    Verdict way = Verdict::Follow; // what the link rule said of the way to it
    bool oneName = true;      // else a new file would part it from its other names
    bool nameIsWhere = true;  // its name leads where it lies, so a new file can take its place there
    bool canCarryOver = true; // a new file could be given its owner and group
};

enum class Write {
    Replace, // a complete new file beside it takes its place; where none can be made, it is written in place
    InPlace, // the file itself is written over
    Refuse,
};

struct WriteDecision
{
    Write how;
    Cause cause = Cause::None; // why it is refused, or would be where the write in place is denied

    bool operator==(const WriteDecision &) const = default;
};

WriteDecision howToWrite(const WriteFacts &facts);

// Where no new file could be made beside it: the old one, where there is one
// and the system denied the new one, is written over, or else it is refused;
// the cause is the folder, where that cannot be written.
WriteDecision withoutNewFile(bool exists, bool denied, bool folderWritable);
