#pragma once

#include "form/failure.h"

#include <optional>
#include <string>

// Starts the program of that bare name as a process of its own, found by the
// platform's own search (the current directory among the places), with no
// arguments, in the current directory, and returns without waiting.
std::optional<Failure> startProgram(const std::string &name);
