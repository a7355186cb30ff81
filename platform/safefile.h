#pragma once

#include "platform/failure.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Replaces the file whole, or not at all: the bytes go to a temporary file
// beside it, which takes its place only once complete and on disk. A symbolic
// link keeps pointing where it did, an existing file keeps its permissions,
// and a read-only file is refused even where the system would allow the write.
std::optional<Failure> replaceFile(const QString &fileName, const QByteArray &bytes);
