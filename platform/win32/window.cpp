// The window, built from its description, and what it does for every
// control: making, placing and colouring it, its messages, and laying it all
// out again for a new density. The message loop and the Tab walk are main.cpp's.
#include "platform/win32/window.h"

#include "platform/win32/density.h"
#include "platform/win32/picture.h"
#include "platform/win32/text.h"
#include "platform/window.h"
#include "resources/resource.h"

namespace {

// Control IDs are the control's place plus this, clear of IDOK and IDCANCEL,
// which Enter and Esc send.
constexpr int firstControlId = 100;

constexpr DWORD formStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD formExtendedStyle = WS_EX_DLGMODALFRAME;

RECT pixels(Twips place, int dpi)
{
    const Pixels p = toPixels(place, dpi);
    return {p.left, p.top, p.left + p.width, p.top + p.height};
}

LRESULT CALLBACK formProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          LONG_PTR(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams));
    auto *form = reinterpret_cast<Win32Window *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return form ? form->windowProcedure(window, message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

void placeAt(const Win32Control &control, int windowHeight)
{
    const RECT place = pixels(control.control.place, control.dpi);
    SetWindowPos(control.handle, nullptr, place.left, place.top, place.right - place.left, windowHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(control.handle, WM_SETFONT, WPARAM(control.font), FALSE);
}

Win32Window::Win32Window(const FormDescription &form)
    : FormState(form), m_pictures(form.controls.size()), m_brushes(form.controls.size())
{
}

Win32Window::~Win32Window()
{
    if (m_owner)
        DestroyWindow(m_owner);
}

bool Win32Window::create(HINSTANCE instance, const ProgramIdentity &program)
{
    m_backgroundBrush = Gdi(CreateSolidBrush(colour(description().backgroundColour)));

    const std::wstring className = toWide(program.windowClass);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = formProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_KORVANE));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className.c_str();
    if (!RegisterClassExW(&windowClass))
        return false;

    // A window owned by a hidden one has no taskbar button, and keeps a normal caption.
    m_owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    const RECT frame = frameAround(pixels(description().clientArea, systemDpi()), formStyle, formExtendedStyle, systemDpi());
    m_window = CreateWindowExW(formExtendedStyle, className.c_str(), toWide(description().caption).c_str(), formStyle,
                               CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                               m_owner, nullptr, instance, this);
    if (!m_window)
        return false;
    setDensity(dpiOf(m_window)); // the monitor it opened on may differ from the system's

    m_lastFocus = makeShown();
    return true;
}

const ControlKind &Win32Window::controlKind(std::size_t control) const
{
    switch (description().controls[control].kind) {
    case Kind::PictureLabel: return pictureLabel;
    case Kind::CheckBox: return checkBox;
    case Kind::ComboBox: return comboBox;
    case Kind::PictureButton: break;
    }
    return pictureButton;
}

Win32Control Win32Window::at(std::size_t control, HWND handle)
{
    return {description(), description().controls[control], handle, m_dpi, m_font.get(), m_pictures[control]};
}

// Hidden, whole, then shown, since a visible control paints, or may take the
// focus, as soon as its text is set; above those made before, where they overlap.
HWND Win32Window::make(std::size_t index)
{
    const ControlKind &kind = controlKind(index);
    HWND handle = CreateWindowExW(0, kind.windowClass, L"", WS_CHILD | WS_CLIPSIBLINGS | kind.style, 0, 0, 0, 0, m_window,
                          reinterpret_cast<HMENU>(INT_PTR(firstControlId + int(index))), GetModuleHandleW(nullptr), nullptr);
    if (kind.fill)
        kind.fill(at(index, handle));
    if (const std::optional<Rgb> background = description().controls[index].background)
        m_brushes[index] = Gdi(CreateSolidBrush(colour(*background)));
    layOut(index, handle);
    SetWindowPos(handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return handle;
}

// At start, and whenever the window moves to a monitor of another density:
// its size, the message font, and every control's place and pictures.
void Win32Window::setDensity(int dpi)
{
    m_dpi = dpi;
    const Gdi<HFONT> previousFont = std::exchange(m_font, Gdi(messageFont(dpi))); // freed once no control uses it
    m_background = Gdi(loadPicture(GetModuleHandleW(nullptr), description().background, dpi));
    // Sized for the density before it shows. Once shown, it keeps the rectangle
    // Windows gave it for the new density: another size could take it back
    // across the monitor's edge, and it would bounce between the two.
    if (!IsWindowVisible(m_window)) {
        const RECT frame = frameAround(pixels(description().clientArea, dpi), formStyle, formExtendedStyle, dpi);
        SetWindowPos(m_window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (std::size_t i = 0; i < description().controls.size(); ++i) {
        if (HWND handle = madeWidget(i))
            layOut(i, handle);
    }
    InvalidateRect(m_window, nullptr, TRUE);
}

void Win32Window::layOut(std::size_t index, HWND handle)
{
    controlKind(index).layOut(at(index, handle));
    InvalidateRect(handle, nullptr, TRUE);
}

void Win32Window::eraseBackground(HDC dc)
{
    RECT client{};
    GetClientRect(m_window, &client);
    FillRect(dc, &client, m_backgroundBrush.get());
    drawPicture(dc, m_background.get(), 0, 0);
}

// A control with a colour of its own gets a brush of it; others none.
HBRUSH Win32Window::controlBrush(HDC dc, HWND handle)
{
    const auto control = controlOf(handle);
    if (!control || !description().controls[*control].background)
        return nullptr;
    SetBkColor(dc, colour(*description().controls[*control].background));
    return m_brushes[*control].get();
}

// Enter comes as IDOK, and Esc as IDCANCEL, which does nothing.
void Win32Window::pressEnter()
{
    HWND focus = GetFocus();
    if (const auto control = controlOf(focus); control && controlKind(*control).enter)
        controlKind(*control).enter(at(*control, focus));
}

void Win32Window::show(const std::string &text, UINT icon)
{
    MessageBoxW(m_window, toWide(text).c_str(), toWide(description().caption).c_str(), MB_OK | icon);
}

void Win32Window::command(int id, int notification, HWND from)
{
    if (id == IDOK)
        return pressEnter();
    const auto control = controlOf(from);
    if (!control || *control != std::size_t(id - firstControlId) || !controlKind(*control).event)
        return;
    if (const std::optional<Event> event = controlKind(*control).event(notification)) {
        if (const Action *action = boundAction(description(), *control, *event))
            (*action)(*this);
    }
}

LRESULT Win32Window::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    m_window = window; // already needed while CreateWindowExW runs
    switch (message) {
    case annotateMessage:
        annotate();
        return 0;
    case WM_GETOBJECT: // a screen reader, or another client of accessibility, asks
        askForNames();
        break;
    case WM_SETTINGCHANGE: // a screen reader has started
        if (wParam == SPI_SETSCREENREADER)
            askForNames();
        break;
    case WM_ERASEBKGND:
        eraseBackground(HDC(wParam));
        // After the first paint, so that it never delays the window.
        if (BOOL reader = FALSE; !m_annotationAsked && SystemParametersInfoW(SPI_GETSCREENREADER, 0, &reader, 0) && reader)
            askForNames();
        return 1;
    case WM_CTLCOLORSTATIC: // check boxes ask here too, not at WM_CTLCOLORBTN
        if (HBRUSH brush = controlBrush(HDC(wParam), HWND(lParam)))
            return LRESULT(brush);
        break;
    case WM_DRAWITEM: {
        const auto &item = *reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (const auto control = controlOf(item.hwndItem); control && controlKind(*control).draw)
            controlKind(*control).draw(at(*control, item.hwndItem), item);
        return TRUE;
    }
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam), HWND(lParam));
        return 0;
    case WM_ACTIVATE:
        // A plain window would take the focus itself; give it back to the control that had it.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(m_window, focus))
                m_lastFocus = focus;
        } else if (m_lastFocus) {
            SetFocus(m_lastFocus);
        }
        return 0;
    case WM_DPICHANGED: { // moved to a monitor of another density, or its scale changed
        const RECT *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(m_window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        setDensity(LOWORD(wParam));
        return 0;
    }
    case WM_CLOSE:
        DestroyWindow(m_window);
        return 0;
    case WM_DESTROY:
        m_annotations.clear();
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
