// A push button whose face is a picture, the same in every state, centred
// and clipped to the button. Enter clicks it while it has the focus.
#include "platform/qt/window.h"

#include "form/rules.h"
#include "platform/qt/picture.h"

#include <QPen>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {

class PictureButton : public QPushButton
{
public:
    PictureButton(const PictureButtonLook &look, QWidget *parent) : QPushButton(parent), m_look(look)
    {
        // Outside a dialog this is what makes a focused button answer Enter.
        setAutoDefault(true);
    }
    void setPicture(const QPixmap &picture)
    {
        m_picture = picture;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
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

private:
    QPixmap m_picture;
    PictureButtonLook m_look;
};

QWidget *make(const FormDescription &form, const Control &, QWidget *window)
{
    return new PictureButton(form.buttonLook, window);
}

void showPicture(QWidget *button, const Control &control, qreal ratio)
{
    static_cast<PictureButton *>(button)->setPicture(picture(control.picture, ratio));
}

void on(QWidget *button, Event event, const std::function<void()> &action)
{
    if (event == Event::Click)
        QObject::connect(static_cast<PictureButton *>(button), &QPushButton::clicked, button, action);
}

} // namespace

const ControlKind pictureButton = {.make = make, .showPicture = showPicture, .on = on};
