#include "platform/failure.h"

#include <cstring>

Failure systemFailure(int number, const std::string &action, const std::string &detail)
{
    std::string description = action + ": " + std::strerror(number);
    if (!detail.empty())
        description += " (" + detail + ")";
    return {number, description};
}
