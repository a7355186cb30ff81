// A picture label: a picture drawn for the window's density, beneath the
// control it names. A screen reader reads it as that control's label.
#include "platform/qt/window.h"

#include "platform/qt/picture.h"

#include <QLabel>

namespace {

QWidget *make(const FormDescription &, const Control &, QWidget *window)
{
    auto *label = new QLabel(window);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

void showPicture(QWidget *label, const Control &control, qreal ratio)
{
    static_cast<QLabel *>(label)->setPixmap(picture(control.picture, ratio));
}

} // namespace

const ControlKind pictureLabel = {.make = make, .showPicture = showPicture};
