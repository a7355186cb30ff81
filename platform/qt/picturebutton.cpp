#include "platform/qt/picturebutton.h"

#include <QPen>
#include <QStyleOptionButton>
#include <QStylePainter>

PictureButton::PictureButton(const QPixmap &picture, QWidget *parent)
    : QPushButton(parent), m_picture(picture)
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
        face.translate(1, 1);
    painter.drawPixmap(face.topLeft(), m_picture);

    // The style's focus frame all but vanishes on a dark picture: draw a light dotted one.
    if (hasFocus()) {
        painter.setPen(QPen(QColor(255, 224, 192), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(4, 4, -5, -5));
    }
}
