#pragma once

#include <string>

// What went wrong, in words a person can act on: the system's error number
// and a description that names the file or program and the reason.
struct Failure
{
    int number = 0;
    std::string description; // UTF-8
};

// "cannot write "locale.ini": Permission denied (the file is read-only)": the
// action, the system's own text for the number, and any detail in brackets.
Failure systemFailure(int number, const std::string &action, const std::string &detail = {});
