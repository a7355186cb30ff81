#include "platform/failure.h"

#include <cstring>
#include <unistd.h>
#include <vector>

std::string systemText(int number, const std::string &)
{
    return std::strerror(number);
}

std::string currentFolder()
{
    std::vector<char> buffer(4096);
    return getcwd(buffer.data(), buffer.size()) ? std::string(buffer.data()) : std::string();
}
