#include "platform/qt/picturebutton.h"

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

    QRect face = QStyle::alignedRect(layoutDirection(), Qt::AlignCenter, m_picture.deviceIndependentSize().toSize(), rect());
    if (isDown())
        face.translate(m_look.pressedOffset, m_look.pressedOffset);
    painter.drawPixmap(face.topLeft(), m_picture);

    // The style's focus frame all but vanishes on a dark picture: draw a light dotted one.
    if (hasFocus()) {
        const Rgb frame = m_look.focusFrame;
        const int inset = m_look.focusInset;
        painter.setPen(QPen(QColor(frame.red, frame.green, frame.blue), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(inset, inset, -inset - 1, -inset - 1));
    }
}
