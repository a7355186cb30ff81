#include "form/rules.h"

#include "form/densities.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

std::size_t tabFrom(const FormDescription &form, std::optional<std::size_t> focused, bool back)
{
    const std::vector<std::size_t> &order = form.tabOrder;
    const auto at = focused ? std::find(order.begin(), order.end(), *focused) : order.end();
    if (at == order.end()) // from no stop, to the first or the last
        return back ? order.back() : order.front();
    const std::size_t stop = std::size_t(at - order.begin());
    return order[(stop + (back ? order.size() - 1 : 1)) % order.size()];
}

bool madeAtStart(const FormDescription &form, const Control &control)
{
    return control.place.left < form.clientArea.width;
}

const Action *boundAction(const FormDescription &form, std::size_t control, Event event)
{
    for (const Binding &binding : form.bindings) {
        if (binding.control == control && binding.event == event)
            return &binding.action;
    }
    return nullptr;
}

PictureChoice pictureFor(double scale)
{
    constexpr double slack = 1.0 / 64; // 144 dpi is 1.5 however it is worked out
    const DrawnDensity *chosen = nullptr, *densest = nullptr;
    for (const DrawnDensity &drawn : drawnDensities) {
        if (drawn.scale >= scale - slack && (!chosen || drawn.scale < chosen->scale))
            chosen = &drawn;
        if (!densest || drawn.scale > densest->scale)
            densest = &drawn;
    }
    if (!chosen)
        return {densest->name, scale / densest->scale};
    return {chosen->name, chosen->scale - scale <= slack ? 1.0 : scale / chosen->scale};
}

ButtonFace buttonFace(const PictureButtonLook &look, int width, int height, int pictureWidth, int pictureHeight,
                      bool pressed, int dpi)
{
    const int offset = pressed ? (look.pressedOffset * dpi + 48) / 96 : 0;
    const int inset = (look.focusInset * dpi + 48) / 96;
    return {(width - pictureWidth) / 2 + offset, (height - pictureHeight) / 2 + offset,
            {inset, inset, width - 2 * inset, height - 2 * inset}};
}
