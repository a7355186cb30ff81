#pragma once

#include "platform/failure.h"

#include <QString>
#include <optional>

// Starts the game program of that bare name, found in the current directory
// or else along PATH. A Windows program is handed to wine.
std::optional<Failure> StartGameExecutable(const QString &name);
