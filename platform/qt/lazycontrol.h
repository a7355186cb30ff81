#pragma once

#include <QWidget>
#include <functional>

// Stands in for a control that never shows, so the window opens quickly. The
// control itself is made when the focus first reaches it, takes the stand-in's
// place in the Tab order, and from then on behaves as if it had always been there.
class LazyControl : public QWidget
{
    Q_OBJECT

public:
    using Factory = std::function<QWidget *(QWidget *parent)>;
    LazyControl(QWidget *parent, const QString &name, const QRect &geometry, Factory make);

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    Factory m_make;
};
