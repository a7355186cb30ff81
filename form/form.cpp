#include "form/form.h"

#include <algorithm>
#include <stdexcept>

std::size_t FormDescription::index(std::string_view name) const
{
    const auto found = std::find_if(controls.begin(), controls.end(), [&](const Control &control) { return control.name == name; });
    if (found == controls.end())
        throw std::out_of_range("no control named " + std::string(name));
    return std::size_t(found - controls.begin());
}
