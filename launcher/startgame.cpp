#include "launcher/startgame.h"

#include "platform/programstart.h"

std::optional<Failure> StartGameExecutable(const std::string &name)
{
    // The name goes as it is: the platform's search finds it in the game's folder.
    return startProgram(name);
}
