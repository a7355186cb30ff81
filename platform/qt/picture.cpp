#include "platform/qt/picture.h"

#include "form/rules.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

#include <cstdlib>

#define QOI_IMPLEMENTATION
#define QOI_NO_STDIO
#include <qoi.h>

QPixmap readPicture(const QString &path, const char *format)
{
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

namespace {

// Decoded by Debian's qoi.h, as on Windows: many times faster than a PNG.
// Read in place from the resources, which are stored uncompressed.
QImage readQoi(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const uchar *bytes = file.map(0, file.size());
    qoi_desc picture{};
    void *rgb = bytes ? qoi_decode(bytes, int(file.size()), &picture, 3) : nullptr;
    if (!rgb)
        return {};
    const int width = int(picture.width);
    return QImage(static_cast<uchar *>(rgb), width, int(picture.height), width * 3, QImage::Format_RGB888, std::free, rgb);
}

} // namespace

QPixmap picture(const std::string &name, qreal ratio)
{
    const PictureChoice choice = pictureFor(ratio);
    const QString stored = QString::fromStdString(name), density = QString::fromStdString(choice.density);
    // "windowed@2x" is stored in the folder 2x.
    QPixmap pixmap = QPixmap::fromImage(density.isEmpty() ? readQoi(":/" + stored + ".qoi")
                                                          : readQoi(":/" + density + "/" + stored + "@" + density + ".qoi"));
    if (choice.shrink != 1.0)
        pixmap = pixmap.scaled((QSizeF(pixmap.size()) * choice.shrink).toSize(), Qt::IgnoreAspectRatio,
                               Qt::SmoothTransformation);
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}
