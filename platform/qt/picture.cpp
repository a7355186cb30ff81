#include "platform/qt/picture.h"

#include "form/rules.h"

#include <QImageReader>

QPixmap readPicture(const QString &path, const char *format)
{
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QPixmap picture(const std::string &name, qreal ratio)
{
    const PictureChoice choice = pictureFor(ratio);
    const QString stored = QString::fromStdString(name), density = QString::fromStdString(choice.density);
    // "windowed@2x" is stored in the folder 2x.
    QPixmap pixmap = density.isEmpty() ? readPicture(":/" + stored + ".bmp", "bmp")
                                       : readPicture(":/" + density + "/" + stored + "@" + density + ".png", "png");
    if (choice.shrink != 1.0)
        pixmap = pixmap.scaled((QSizeF(pixmap.size()) * choice.shrink).toSize(), Qt::IgnoreAspectRatio,
                               Qt::SmoothTransformation);
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}
