#include "app/report.h"

std::string reportText(const Failure &failure)
{
    return failure.number ? "Error " + std::to_string(failure.number) + ": " + failure.description : failure.description;
}
