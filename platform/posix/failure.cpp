#include "platform/failure.h"

#include <cstring>
#include <unistd.h>
#include <vector>

Failure systemFailure(int number, const std::string &action, const std::string &detail, const std::string &)
{
    std::string description = action + ": " + (number ? std::strerror(number) : "the system gave no cause");
    if (!detail.empty())
        description += " (" + detail + ")";
    return {number, description};
}

std::string currentFolder()
{
    std::vector<char> buffer(4096);
    return getcwd(buffer.data(), buffer.size()) ? std::string(buffer.data()) : std::string();
}
