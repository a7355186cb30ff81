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
    const PictureChoice choice = pictureFor(name, ratio);
    const QString stored = QString::fromStdString(choice.stored);
    // "windowed@2x" is stored in the folder 2x.
    QPixmap pixmap = choice.png ? readPicture(":/" + stored.mid(stored.indexOf('@') + 1) + "/" + stored + ".png", "png")
                                : readPicture(":/" + stored + ".bmp", "bmp");
    if (choice.shrink != 1.0)
        pixmap = pixmap.scaled((QSizeF(pixmap.size()) * choice.shrink).toSize(), Qt::IgnoreAspectRatio,
                               Qt::SmoothTransformation);
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}
