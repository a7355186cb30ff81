#pragma once

#include "app/twips.h"

#include <optional>
#include <string>
#include <vector>

class FormView;

// The program's one window, described once; each platform's toolkit builds
// the real window from this and calls back the bound actions.
enum class Kind { PictureLabel, CheckBox, ComboBox, PictureButton };

struct Rgb
{
    unsigned char red, green, blue;
};

struct Control
{
    std::string name;
    Kind kind;
    Twips place;
    std::string picture = {};            // a picture's base name in resources/, or none
    std::vector<std::string> items = {}; // a combo box's list
    std::string accessibleName = {};     // for screen readers; never shown
    std::string labelFor = {};           // a picture label names this control
    std::optional<Rgb> background = {};
};

enum class Event { Click, Change };

using Action = void (*)(FormView &form);

struct Binding
{
    std::string control;
    Event event;
    Action action;
};

// How a picture button shows its state, in pixels at 96 dpi: pressed, its
// picture moves; focused, a light dotted frame inside its edge, which shows on
// the dark pictures.
struct PictureButtonLook
{
    int pressedOffset;
    int focusInset;
    Rgb focusFrame;
};

struct FormDescription
{
    std::string caption;
    Twips clientArea;
    std::string background;        // a picture drawn unscaled at the top-left
    Rgb backgroundColour;          // shows only where the picture does not reach
    std::string comboText;         // every combo box starts with this text and no entry chosen
    PictureButtonLook buttonLook;
    std::vector<Control> controls; // bottom to top where they overlap
    std::vector<std::string> tabOrder;
    std::vector<Binding> bindings;
};

const FormDescription &Form1();

// What Apply writes for what Combo4 shows: the list entry with exactly that text, or nothing.
std::string selectedDisplayMode(const std::string &shownText);
