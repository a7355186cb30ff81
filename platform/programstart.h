#pragma once

#include "platform/failure.h"

#include <QStringList>
#include <optional>

// Starts a program as a process of its own, in the current directory, and
// returns without waiting. Nothing waits for it later either: it outlives us
// and leaves no zombie behind.
std::optional<Failure> startProgram(const QString &program, const QStringList &arguments);
