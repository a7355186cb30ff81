#pragma once

#include "platform/failure.h"

#include <string>

// What the box says of a failure: "Error 5: cannot write ...", the system's
// number first, for a person to look up; the description alone where the
// system gave no number.
std::string reportText(const Failure &failure);
