#pragma once

#include "form/form.h"

#include <cstddef>
#include <optional>

// What both programs do with the window's description, kept here once. A
// control is addressed by its place in the description's list of controls.

// The control that Tab moves the focus to from the one that has it, or with
// Shift the one before; round from end to start. From a control off the list,
// or none, Tab goes to the first stop and Shift+Tab to the last.
std::size_t tabFrom(const FormDescription &form, std::optional<std::size_t> focused, bool back);

// A control beyond the right edge never shows: it is made only when the focus
// first comes to it, so the window opens the sooner.
bool madeAtStart(const FormDescription &form, const Control &control);

// The action bound to that event of that control, or none.
const Action *boundAction(const FormDescription &form, std::size_t control, Event event);

// Which of the pictures drawn for the densities in resources/pictures.txt
// (Windows' usual scales, 100% to 300%) to show at a screen's scale: the one
// drawn for it, or between two the larger, shrunk smoothly by `shrink`;
// beyond the densest, the densest grown.
struct PictureChoice
{
    std::string density; // "1.25x" ... "3x"; empty at 1, stored under the plain name
    double shrink;       // 1 when shown as drawn
};
PictureChoice pictureFor(double scale);

// Where a picture button's face goes, in the toolkit's pixels at that
// density: the picture centred, moved when pressed, and the focus frame
// inside the edge, as left, top, width and height.
struct ButtonFace
{
    int pictureLeft, pictureTop;
    Pixels focusFrame;
};
ButtonFace buttonFace(const PictureButtonLook &look, int width, int height, int pictureWidth, int pictureHeight,
                      bool pressed, int dpi = 96);
