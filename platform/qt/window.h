#pragma once

// The window on Qt. What differs between kinds of control is in a file for
// each kind, named as on Windows: picturelabel.cpp, checkbox.cpp,
// combobox.cpp, picturebutton.cpp. What the window does for all of them is
// in window.cpp.
#include "form/form.h"

#include <QString>
#include <QtGlobal>

#include <functional>
#include <string>

class QWidget;

// What one kind of control does, in the file named after it. Every kind is
// made; any other hook left null does nothing.
struct ControlKind
{
    // A child of the window, still hidden: the window gives it its place,
    // name, colour and events, then shows it.
    QWidget *(*make)(const FormDescription &form, const Control &control, QWidget *window) = nullptr;
    // Shows the picture drawn for the window's density: at start, and again
    // when it changes. Qt itself scales places and fonts.
    void (*showPicture)(QWidget *widget, const Control &control, qreal ratio) = nullptr;
    // Runs the action at that event of it, where the kind raises it.
    void (*on)(QWidget *widget, Event event, const std::function<void()> &action) = nullptr;
};
extern const ControlKind pictureLabel, checkBox, comboBox, pictureButton;

int checkBoxValue(QWidget *box);
std::string comboBoxText(QWidget *combo);

inline QString fromUtf8(const std::string &text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}
