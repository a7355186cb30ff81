#pragma once

#include "form/twips.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class FormView;

// How a window is described, once, as data: each platform's toolkit builds
// the real window from a description and calls back its bound actions.
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
    std::optional<std::size_t> labelFor = {}; // the control a picture label names
    std::optional<Rgb> background = {};
};

enum class Event { Click, Change };

// An action reads the controls it needs by their place, resolved when the
// description is built.
using Action = std::function<void(FormView &form)>;

struct Binding
{
    std::size_t control;
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
    std::string name; // the toolkit's name for the window, as a control's is for it
    std::string caption;
    Twips clientArea;
    std::string background;        // a picture drawn unscaled at the top-left
    Rgb backgroundColour;          // shows only where the picture does not reach
    std::string comboText;         // every combo box starts with this text and no entry chosen
    PictureButtonLook buttonLook;
    std::vector<Control> controls; // bottom to top where they overlap
    // Controls are named here only by their place in `controls`.
    std::vector<std::size_t> tabOrder;
    std::vector<Binding> bindings;

    // The place of the control of that name, for building a description. A
    // name that is not there is a fault in the program, not in its use: it throws.
    std::size_t index(std::string_view name) const;
};
