#pragma once

class QWidget;

// Asks the window manager to leave the window off the taskbar. Must run
// before the window is first shown; does nothing where there is no X11.
void keepOffTaskbar(QWidget *window);
