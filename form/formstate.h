#pragma once

#include "form/form.h"
#include "form/rules.h"
#include "form/view.h"

#include <algorithm>
#include <optional>
#include <vector>

// What both toolkits keep of the shown window: one widget for each control,
// made when it is first needed. Which are made, and when, are decided here
// once; a front-end only makes, shows and reads its toolkit's widgets.
template <class Widget>
class FormState : public FormView
{
public:
    explicit FormState(const FormDescription &form) : m_form(form), m_widgets(form.controls.size()) {}

    // Actions read only controls made at start: the description's build makes sure.
    int checkValue(std::size_t control) const final { return checkValueOf(m_widgets[control]); }
    std::string text(std::size_t control) const final { return textOf(m_widgets[control]); }

protected:
    ~FormState() = default;

    const FormDescription &description() const { return m_form; }

    // Makes what shows at start, each above the one before, and returns the
    // first stop, where the focus starts.
    Widget makeShown()
    {
        for (std::size_t i = 0; i < m_form.controls.size(); ++i) {
            if (madeAtStart(m_form, m_form.controls[i]))
                widget(i);
        }
        return widget(m_form.tabOrder.front());
    }

    // The control's widget, made now if it was not yet.
    Widget widget(std::size_t control)
    {
        if (!m_widgets[control])
            m_widgets[control] = make(control);
        return m_widgets[control];
    }

    // Null until it is made.
    Widget madeWidget(std::size_t control) const { return m_widgets[control]; }

    // The control this widget is, or is part of (the edit field inside a combo box).
    std::optional<std::size_t> controlOf(Widget widget) const
    {
        for (; widget; widget = parentOf(widget)) {
            if (const auto found = std::find(m_widgets.begin(), m_widgets.end(), widget); found != m_widgets.end())
                return std::size_t(found - m_widgets.begin());
        }
        return std::nullopt;
    }

    // The stop that Tab, or Shift+Tab, takes the focus to from that widget.
    std::size_t nextStop(Widget focused, bool back) const { return tabFrom(m_form, controlOf(focused), back); }

    // The toolkit's part.
    virtual Widget make(std::size_t control) = 0; // shown, in its place
    virtual Widget parentOf(Widget widget) const = 0;
    virtual int checkValueOf(Widget box) const = 0;
    virtual std::string textOf(Widget combo) const = 0;

private:
    const FormDescription &m_form;
    std::vector<Widget> m_widgets;
};
