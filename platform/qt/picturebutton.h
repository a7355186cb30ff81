#pragma once

#include <QPixmap>
#include <QPushButton>

// A push button whose face is a picture, the same in every state, centred and
// clipped to the button. Enter clicks it while it has the focus.
class PictureButton : public QPushButton
{
    Q_OBJECT

public:
    PictureButton(const QString &pictureFile, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
};
