#pragma once

#include "platform/failure.h"

#include <optional>
#include <string>

// Starts the game program of that bare name ("korvane.exe", "korvane_demo.exe")
// as a process of its own, and returns at once.
std::optional<Failure> StartGameExecutable(const std::string &name);
