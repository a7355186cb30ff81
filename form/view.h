#pragma once

#include <cstddef>
#include <string>

// The shown window, as an action sees it while it runs.
class FormView
{
public:
    // A check box's value: 0 cleared, 1 ticked, 2 greyed. A control is given
    // by its place in the description.
    virtual int checkValue(std::size_t control) const = 0;
    // The text a combo box shows, as UTF-8.
    virtual std::string text(std::size_t control) const = 0;
    // Modal boxes captioned with the window's caption; they return when dismissed.
    virtual void showInformation(const std::string &text) = 0;
    virtual void showError(const std::string &text) = 0;

protected:
    ~FormView() = default;
};
