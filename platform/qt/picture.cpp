#include "platform/qt/picture.h"

#include "form/rules.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

namespace {
void *decodedPixels(size_t bytes);
}

// qoi.h asks for the pixels' memory once it has read the picture's size: it
// decodes straight into the image that keeps them, so no second copy of a
// picture is held while it is read.
#define QOI_IMPLEMENTATION
#define QOI_NO_STDIO
#define QOI_MALLOC(bytes) decodedPixels(bytes)
#include <qoi.h>

QPixmap readPicture(const QString &path, const char *format)
{
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

namespace {

// The picture being decoded: its size, as qoi.h has read it, and the image
// its pixels are decoded into. One at a time, on the one thread.
const qoi_desc *decodedSize = nullptr;
QImage *decoded = nullptr;

// Four bytes a pixel, as the window's pixmaps hold them: Qt turns RGBX into
// them in place, where three would be copied into a new image.
void *decodedPixels(size_t bytes)
{
    *decoded = QImage(int(decodedSize->width), int(decodedSize->height), QImage::Format_RGBX8888);
    return !decoded->isNull() && size_t(decoded->sizeInBytes()) == bytes ? decoded->bits() : nullptr;
}

// Decoded by Debian's qoi.h, as on Windows: many times faster than a PNG.
// Read in place from the resources, which are stored uncompressed.
QImage readQoi(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const uchar *bytes = file.map(0, file.size());
    qoi_desc size{};
    QImage image;
    decodedSize = &size, decoded = &image;
    const bool read = bytes && qoi_decode(bytes, int(file.size()), &size, 4);
    decodedSize = nullptr, decoded = nullptr;
    if (!read)
        return {};
    return image;
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
