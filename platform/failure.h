#pragma once

#include "form/report.h"

#include <string>

// What each platform provides for a report (platform/*/failure.cpp).

// The system's own words for its error number, to stand inside a sentence:
// "Permission denied". Where they leave room for a name ("%1 is not a valid
// Win32 application"), the name goes there.
std::string systemText(int number, const std::string &name = {});

// The working folder as the system shows it, for a report to name, so that a
// user can tell where the program looked. Empty when it cannot be told.
std::string currentFolder();

// The box's words for a failure, the system's own for its number among them.
inline std::string reportText(const std::string &verb, const std::string &name, const Failure &failure)
{
    return reportText(verb, name, failure, failure.number ? systemText(failure.number, name) : std::string());
}
