#pragma once

#include <QPixmap>
#include <QString>

#include <string>

// Read by the reader built into Qt for its format. Left to guess, Qt would
// first load every image plugin to ask whether it knows the file.
QPixmap readPicture(const QString &path, const char *format);

// The same pictures as on Windows, drawn 1:1 on the screen's pixels: the one
// drawn for that device pixel ratio, or the next larger shrunk smoothly. Only
// the size in use is loaded.
QPixmap picture(const std::string &name, qreal ratio);
