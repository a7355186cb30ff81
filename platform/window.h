#pragma once

#include <string>

struct FormDescription;

// Who the program is, to the system and the desktop: named by the program,
// never by the toolkit that shows it.
struct ProgramIdentity
{
    std::string name;        // the application's; on X11 also the window's class, as the desktop entry's StartupWMClass has it
    std::string desktopId;   // the desktop entry's, which a Wayland shell matches the window to
    std::string windowClass; // the Win32 window class, by which other programs find the window
};

// Builds the window from its description, shows it and runs it until it is
// closed; returns the program's exit status. One toolkit per platform.
int runForm(int argc, char *argv[], const ProgramIdentity &program, const FormDescription &form);
