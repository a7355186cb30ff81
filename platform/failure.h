#pragma once

#include <QString>

// What went wrong, in words a person can act on: the system's error number
// and a description that names the file or program and the reason.
struct Failure
{
    int number = 0;
    QString description;
};
