#pragma once

#include "form/failure.h"

#include <string>

// What the box says of a failure, every part from the failure itself:
// "Error 5: cannot write "locale.ini" in C:\Games\Korvane: Access is denied
// (the file is in use by another program, perhaps the game)". The number
// comes first, for a person to look up; none where the system gave none.
// The system's words for the number are the platform's (platform/failure.h).
std::string reportText(const std::string &verb, const std::string &name, const Failure &failure,
                       const std::string &systemWords);
