// A check box. The description gives it no text; a screen reader hears its
// name, which the window gives every control.
#include "platform/qt/window.h"

#include <QCheckBox>

namespace {

QWidget *make(const FormDescription &, const Control &, QWidget *window)
{
    return new QCheckBox(window);
}

void on(QWidget *box, Event event, const std::function<void()> &action)
{
    if (event == Event::Click)
        QObject::connect(static_cast<QCheckBox *>(box), &QCheckBox::clicked, box, action);
}

} // namespace

const ControlKind checkBox = {.make = make, .on = on};

int checkBoxValue(QWidget *box)
{
    switch (static_cast<QCheckBox *>(box)->checkState()) {
    case Qt::Unchecked: return 0;
    case Qt::Checked: return 1;
    default: return 2;
    }
}
