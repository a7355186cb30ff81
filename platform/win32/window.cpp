// The window and its controls, built from the window's description and driven
// the way a dialog is, with IsDialogMessage for Enter, Esc and the arrow keys.
#include "platform/win32/form.h"

#include "form/report.h"
#include "platform/window.h"
#include "platform/win32/density.h"
#include "platform/win32/systemfunction.h"
#include "platform/win32/text.h"
#include "resources/resource.h"

#include <commctrl.h>

namespace {

LRESULT CALLBACK formProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          LONG_PTR(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams));
    auto *form = reinterpret_cast<Win32Form *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return form ? form->handle(window, message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

Win32Form::Win32Form(const FormDescription &form)
    : FormState(form), m_pictures(form.controls.size()), m_brushes(form.controls.size())
{
}

Win32Form::~Win32Form()
{
    if (m_owner)
        DestroyWindow(m_owner);
}

bool Win32Form::create(HINSTANCE instance)
{
    m_backgroundBrush = Gdi(CreateSolidBrush(colour(description().backgroundColour)));

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = formProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_KORVANE));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"KorvaneForm1";
    if (!RegisterClassExW(&windowClass))
        return false;

    // A window owned by a hidden one has no taskbar button, and keeps a normal caption.
    m_owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    const RECT frame = frameAround(pixels(description().clientArea, systemDpi()), formStyle, formExtendedStyle, systemDpi());
    m_window = CreateWindowExW(formExtendedStyle, L"KorvaneForm1", toWide(description().caption).c_str(), formStyle,
                               CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                               m_owner, nullptr, instance, this);
    if (!m_window)
        return false;
    setDensity(dpiOf(m_window)); // the monitor it opened on may differ from the system's

    m_lastFocus = makeShown();
    return true;
}

// Hidden, whole, then shown, since a visible control paints, or may take the
// focus, as soon as its text is set; above those made before, where they overlap.
HWND Win32Form::make(std::size_t index)
{
    const Control &control = description().controls[index];
    const wchar_t *windowClass = L"BUTTON";
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    switch (control.kind) {
    case Kind::PictureLabel:
        windowClass = L"STATIC";
        style |= SS_BITMAP;
        break;
    case Kind::CheckBox:
        style |= BS_AUTOCHECKBOX | WS_TABSTOP;
        break;
    case Kind::ComboBox:
        windowClass = L"COMBOBOX";
        style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
        break;
    case Kind::PictureButton:
        style |= BS_OWNERDRAW | WS_TABSTOP;
        break;
    }
    HWND handle = CreateWindowExW(0, windowClass, L"", style, 0, 0, 0, 0, m_window,
                          reinterpret_cast<HMENU>(INT_PTR(firstControlId + int(index))), GetModuleHandleW(nullptr), nullptr);
    if (control.kind == Kind::PictureButton) // read by screen readers, never drawn
        SetWindowTextW(handle, toWide(control.accessibleName).c_str());
    for (const std::string &item : control.items)
        SendMessageW(handle, CB_ADDSTRING, 0, LPARAM(toWide(item).c_str()));
    if (control.kind == Kind::ComboBox)
        SetWindowTextW(handle, toWide(description().comboText).c_str());
    if (control.background)
        m_brushes[index] = Gdi(CreateSolidBrush(colour(*control.background)));
    place(index, handle);
    SetWindowPos(handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return handle;
}

int Win32Form::checkValueOf(HWND box) const
{
    return int(SendMessageW(box, BM_GETCHECK, 0, 0));
}

std::string Win32Form::textOf(HWND handle) const
{
    std::wstring text(std::size_t(GetWindowTextLengthW(handle)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(handle, text.data(), int(text.size()))));
    return toUtf8(text);
}

void Win32Form::show(const std::string &text, UINT icon)
{
    MessageBoxW(m_window, toWide(text).c_str(), toWide(description().caption).c_str(), MB_OK | icon);
}

void Win32Form::command(int id, int notification, HWND from)
{
    if (id == IDOK)
        return pressEnter();
    const auto control = controlOf(from);
    if (!control || *control != std::size_t(id - firstControlId))
        return;
    // A click, or an edit of a combo box's text (not a pick from its list).
    if (notification != BN_CLICKED && notification != CBN_EDITCHANGE)
        return;
    if (const Action *action = boundAction(description(), *control, notification == BN_CLICKED ? Event::Click : Event::Change))
        (*action)(*this);
}

LRESULT Win32Form::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
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
    case WM_CTLCOLORSTATIC: // check boxes ask here for their background
        if (HBRUSH brush = controlBrush(HDC(wParam), HWND(lParam)))
            return LRESULT(brush);
        break;
    case WM_DRAWITEM:
        drawButton(*reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
        return TRUE;
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
        forgetNames();
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int runForm(int, char *[], const FormDescription &form)
{
    // The game's folder is often open to mods and downloads: no DLL is looked
    // for there or in the current folder, only where Windows keeps its own.
    // Older Windows can only take the current folder out, in a way that the
    // game would inherit (startProgram undoes it for the game).
    constexpr DWORD systemFolderOnly = 0x800; // LOAD_LIBRARY_SEARCH_SYSTEM32, Windows 8 and 7 with KB2533623
    if (const auto limit = systemFunction<BOOL(WINAPI *)(DWORD)>(L"kernel32.dll", "SetDefaultDllDirectories"))
        limit(systemFolderOnly);
    else
        SetDllDirectoryW(L"");
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    Win32Form window(form);
    if (!window.create(GetModuleHandleW(nullptr))) {
        window.showError(reportText("open the window", "", {int(GetLastError()), Cause::None, ""}));
        return 1;
    }
    ShowWindow(window.window(), SW_SHOWDEFAULT);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!window.tab(message) && !IsDialogMessageW(window.window(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return int(message.wParam);
}
