#include "launcher/startgame.h"

#include "form/view.h"
#include "platform/failure.h"
#include "platform/programstart.h"

#include <string>

namespace {

// The name goes as it is: the platform's search finds it in the game's folder.
void StartGameExecutable(FormView &form, const std::string &name)
{
    if (const auto failure = startProgram(name))
        form.showError(reportText("start", name, *failure));
}

} // namespace

void Command3_Click(FormView &form)
{
    StartGameExecutable(form, "korvane.exe");
}

void Command2_Click(FormView &form)
{
    StartGameExecutable(form, "korvane_demo.exe");
}
