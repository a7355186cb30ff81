#pragma once

#include "form/form.h"

#include <QPixmap>
#include <QPushButton>

// A push button whose face is a picture, the same in every state, centred and
// clipped to the button. Enter clicks it while it has the focus.
class PictureButton : public QPushButton
{
    Q_OBJECT

public:
    PictureButton(const QPixmap &picture, const PictureButtonLook &look, QWidget *parent);
    void setPicture(const QPixmap &picture)
    {
        m_picture = picture;
        update();
    }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
    PictureButtonLook m_look;
};
