#include "app/form1.h"
#include "platform/window.h"

int main(int argc, char *argv[])
{
    // The desktop entry is named after these, and the tests find the window by them.
    const ProgramIdentity program = {"korvane-resolution-changer", "org.korvane.ResolutionChanger", "KorvaneForm1"};
    return runForm(argc, argv, program, Form1());
}
