// A combo box whose text can be typed as well as picked from its list; only
// typing raises its Change event.
#include "platform/qt/window.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

// Typed text is neither added to the list nor completed from it.
QWidget *make(const FormDescription &form, const Control &control, QWidget *window)
{
    auto *combo = new QComboBox(window);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    for (const std::string &item : control.items)
        combo->addItem(fromUtf8(item));
    combo->setCurrentIndex(-1);
    combo->setEditText(fromUtf8(form.comboText));
    return combo;
}

// textEdited, not textChanged: picking a list entry is not an edit.
void on(QWidget *combo, Event event, const std::function<void()> &action)
{
    if (event == Event::Change)
        QObject::connect(static_cast<QComboBox *>(combo)->lineEdit(), &QLineEdit::textEdited, combo, action);
}

} // namespace

const ControlKind comboBox = {.make = make, .on = on};

std::string comboBoxText(QWidget *combo)
{
    return static_cast<QComboBox *>(combo)->currentText().toStdString();
}
