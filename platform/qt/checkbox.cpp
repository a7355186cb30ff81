// A check box. The description gives it no text; a screen reader hears its
// name, which the window gives every control. It raises no event, since an
// action reads its value when it runs.
#include "platform/qt/window.h"

#include <QCheckBox>

namespace {

QWidget *make(const FormDescription &, const Control &, QWidget *window)
{
    return new QCheckBox(window);
}

} // namespace

const ControlKind checkBox = {.make = make};

int checkBoxValue(QWidget *box)
{
    switch (static_cast<QCheckBox *>(box)->checkState()) {
    case Qt::Unchecked: return 0;
    case Qt::Checked: return 1;
    default: return 2;
    }
}
