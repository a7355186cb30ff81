#include "platform/qt/picturebutton.h"

#include "form/rules.h"

#include <QPen>
#include <QStyleOptionButton>
#include <QStylePainter>

PictureButton::PictureButton(const QPixmap &picture, const PictureButtonLook &look, QWidget *parent)
    : QPushButton(parent), m_picture(picture), m_look(look)
{
    // Outside a dialog this is what makes a focused button answer Enter.
    setAutoDefault(true);
}

void PictureButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.features &= ~(QStyleOptionButton::DefaultButton | QStyleOptionButton::AutoDefaultButton);
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const QSize picture = m_picture.deviceIndependentSize().toSize();
    const ButtonFace face = buttonFace(m_look, width(), height(), picture.width(), picture.height(), isDown());
    painter.drawPixmap(face.pictureLeft, face.pictureTop, m_picture);

    // The style's focus frame all but vanishes on a dark picture: draw a light dotted one.
    if (hasFocus()) {
        const Rgb colour = m_look.focusFrame;
        const Pixels frame = face.focusFrame;
        painter.setPen(QPen(QColor(colour.red, colour.green, colour.blue), 1, Qt::DotLine));
        painter.drawRect(frame.left, frame.top, frame.width - 1, frame.height - 1);
    }
}
