// The window on Win32: built from the window's description, driven the way a
// dialog is, with IsDialogMessage for Enter, Esc and the arrow keys; Tab
// follows the description's list.
#include "platform/window.h"

#include "app/form1.h"
#include "app/report.h"
#include "platform/win32/density.h"
#include "platform/win32/newer.h"
#include "platform/win32/text.h"
#include "resources/resource.h"

#include <windows.h>
#include <commctrl.h>
#include <initguid.h> // defines the annotation GUIDs that oleacc.h declares
#include <oleacc.h>
#include <algorithm>
#include <map>
#include <utility>

namespace {

// Control IDs start here, clear of IDOK and IDCANCEL, which Enter and Esc send.
constexpr int firstControlId = 100;

// The names are given only once a screen reader is about, and after the
// first paint: a user without one never loads oleacc and COM.
constexpr UINT annotateMessage = WM_APP;

class Win32Form : public FormView
{
public:
    explicit Win32Form(const FormDescription &form) : m_form(form) {}
    ~Win32Form();

    bool create(HINSTANCE instance);
    HWND window() const { return m_window; }
    bool tab(const MSG &message);
    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // A control not yet made still holds what it started with.
    int checkValue(const std::string &control) const override
    {
        const auto found = m_controls.find(control);
        return found == m_controls.end() ? 0 : int(SendMessageW(found->second, BM_GETCHECK, 0, 0));
    }
    std::string text(const std::string &control) const override;
    void showInformation(const std::string &text) override { show(text, MB_ICONINFORMATION); }
    void reportFailure(const Failure &failure) override
    {
        show(reportText(failure), MB_ICONERROR);
    }

private:
    HWND makeControl(const Control &control, int id, HINSTANCE instance);
    void setDensity(int dpi);
    void place(HWND handle, const Control &control);
    void annotate();
    void askForNames()
    {
        if (!m_annotationAsked)
            m_annotationAsked = PostMessageW(m_window, annotateMessage, 0, 0);
    }
    HWND made(const std::string &name);
    void drawButton(const DRAWITEMSTRUCT &item);
    void command(int id, int notification, HWND from);
    void show(const std::string &text, UINT icon)
    {
        MessageBoxW(m_window, toWide(text).c_str(), toWide(m_form.caption).c_str(), MB_OK | icon);
    }

    const FormDescription &m_form;
    int m_dpi = 96;
    HWND m_owner = nullptr;
    HWND m_window = nullptr;
    HWND m_lastFocus = nullptr;
    HFONT m_font = nullptr;
    HBRUSH m_backgroundBrush = nullptr;
    HBITMAP m_background = nullptr;
    std::map<std::string, HWND> m_controls;
    std::map<HWND, HBITMAP> m_pictures;
    std::map<HWND, std::pair<HBRUSH, COLORREF>> m_shades;
    bool m_annotationAsked = false;
    IAccPropServices *m_annotations = nullptr;
    std::vector<HWND> m_annotated;
};


constexpr DWORD formStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD formExtendedStyle = WS_EX_DLGMODALFRAME;

RECT pixels(Twips place, int dpi)
{
    const Pixels p = toPixels(place, dpi);
    return {p.left, p.top, p.left + p.width, p.top + p.height};
}

COLORREF colour(Rgb rgb)
{
    return RGB(rgb.red, rgb.green, rgb.blue);
}

// Draws a picture unscaled; the device context clips it.
void drawPicture(HDC dc, HBITMAP picture, int left, int top)
{
    BITMAP size{};
    GetObjectW(picture, sizeof size, &size);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(source, picture);
    BitBlt(dc, left, top, size.bmWidth, size.bmHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
}

LRESULT CALLBACK formProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          LONG_PTR(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams));
    auto *form = reinterpret_cast<Win32Form *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return form ? form->handle(window, message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

bool Win32Form::create(HINSTANCE instance)
{
    m_backgroundBrush = CreateSolidBrush(colour(m_form.backgroundColour));

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
    const RECT frame = frameAround(pixels(m_form.clientArea, systemDpi()), formStyle, formExtendedStyle, systemDpi());
    m_window = CreateWindowExW(formExtendedStyle, L"KorvaneForm1", toWide(m_form.caption).c_str(), formStyle,
                               CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                               m_owner, nullptr, instance, this);
    if (!m_window)
        return false;
    setDensity(dpiOf(m_window)); // the monitor it opened on may differ from the system's

    // Stacked as listed, each above the one before, where they overlap.
    for (size_t i = 0; i < m_form.controls.size(); ++i) {
        const Control &control = m_form.controls[i];
        if (control.place.left >= m_form.clientArea.width)
            continue;
        HWND created = m_controls[control.name] = makeControl(control, firstControlId + int(i), instance);
        SetWindowPos(created, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    m_lastFocus = made(m_form.tabOrder.front());
    return true;
}

// Check1 and Combo4 show no text of their own, and their picture labels none
// a screen reader can read: Windows' annotations give them their names, and
// leave the pictures out as graphics of their own.
void Win32Form::annotate()
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))
        || FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                   reinterpret_cast<void **>(&m_annotations))))
        return;
    for (const Control &control : m_form.controls) {
        const auto found = m_controls.find(control.name);
        if (found == m_controls.end())
            continue;
        std::vector<HWND> parts = {found->second};
        if (control.kind == Kind::ComboBox) // and its edit field, where the focus goes
            parts.push_back(GetWindow(found->second, GW_CHILD));
        for (HWND part : parts) {
            if (control.kind == Kind::PictureLabel) {
                VARIANT hidden{};
                hidden.vt = VT_I4;
                hidden.lVal = STATE_SYSTEM_INVISIBLE;
                m_annotations->SetHwndProp(part, DWORD(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_STATE, hidden);
            } else if (control.kind != Kind::PictureButton && !control.accessibleName.empty()) {
                m_annotations->SetHwndPropStr(part, DWORD(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME,
                                              toWide(control.accessibleName).c_str());
            } else {
                continue;
            }
            m_annotated.push_back(part);
        }
    }
}

HWND Win32Form::makeControl(const Control &control, int id, HINSTANCE instance)
{
    const wchar_t *windowClass = L"BUTTON";
    // Made hidden and shown last: a visible control paints, or may take the
    // focus, as soon as its text is set, before its picture is in place.
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
                                  reinterpret_cast<HMENU>(INT_PTR(id)), instance, nullptr);
    if (control.kind == Kind::PictureButton) // read by screen readers, never drawn
        SetWindowTextW(handle, toWide(control.accessibleName).c_str());
    for (const std::string &item : control.items)
        SendMessageW(handle, CB_ADDSTRING, 0, LPARAM(toWide(item).c_str()));
    if (control.kind == Kind::ComboBox)
        SetWindowTextW(handle, toWide(m_form.comboText).c_str());
    if (control.background)
        m_shades[handle] = {CreateSolidBrush(colour(*control.background)), colour(*control.background)};
    place(handle, control);
    ShowWindow(handle, SW_SHOWNA);
    return handle;
}

// The font, the pictures and every control's place, for the window's density.
void Win32Form::setDensity(int dpi)
{
    m_dpi = dpi;
    const HFONT previousFont = std::exchange(m_font, messageFont(dpi)); // freed once no control uses it
    DeleteObject(m_background);
    m_background = loadPicture(GetModuleHandleW(nullptr), m_form.background, dpi);
    const RECT frame = frameAround(pixels(m_form.clientArea, dpi), formStyle, formExtendedStyle, dpi);
    SetWindowPos(m_window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (const Control &control : m_form.controls) {
        if (const auto found = m_controls.find(control.name); found != m_controls.end())
            place(found->second, control);
    }
    DeleteObject(previousFont);
    InvalidateRect(m_window, nullptr, TRUE);
}

void Win32Form::place(HWND handle, const Control &control)
{
    const RECT place = pixels(control.place, m_dpi);
    const int height = place.bottom - place.top;
    // A combo box's window holds its list too, with room for all of it.
    const int whole = control.kind == Kind::ComboBox ? height * (1 + int(control.items.size())) : height;
    SetWindowPos(handle, nullptr, place.left, place.top, place.right - place.left, whole, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(handle, WM_SETFONT, WPARAM(m_font), FALSE);
    if (!control.picture.empty()) {
        HBITMAP picture = loadPicture(GetModuleHandleW(nullptr), control.picture, m_dpi);
        std::swap(m_pictures[handle], picture);
        // The label hands back what it showed: ours, or the copy it makes of one with alpha.
        if (control.kind == Kind::PictureLabel) {
            const auto shown = HBITMAP(SendMessageW(handle, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(m_pictures[handle])));
            if (shown != picture)
                DeleteObject(shown);
        }
        DeleteObject(picture); // the one drawn for the density before, if any
    }
    if (control.kind == Kind::ComboBox) {
        // The edit field as high as laid out: its item height is the field less its borders.
        const LRESULT field = SendMessageW(handle, CB_GETITEMHEIGHT, WPARAM(-1), 0);
        RECT now{};
        GetWindowRect(handle, &now);
        SendMessageW(handle, CB_SETITEMHEIGHT, WPARAM(-1), LPARAM(field + height - (now.bottom - now.top)));
    }
    InvalidateRect(handle, nullptr, TRUE);
}

// A control beyond the right edge never shows, so it is made only when the
// focus first comes to it, and the window opens the sooner.
HWND Win32Form::made(const std::string &name)
{
    if (const auto found = m_controls.find(name); found != m_controls.end())
        return found->second;
    for (size_t i = 0; i < m_form.controls.size(); ++i) {
        if (m_form.controls[i].name == name)
            return m_controls[name] = makeControl(m_form.controls[i], firstControlId + int(i), GetModuleHandleW(nullptr));
    }
    return nullptr;
}

// Tab and Shift+Tab follow the description's list rather than the stacking order.
bool Win32Form::tab(const MSG &message)
{
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || (GetKeyState(VK_CONTROL) & 0x8000)
        || (GetKeyState(VK_MENU) & 0x8000) || (message.hwnd != m_window && !IsChild(m_window, message.hwnd)))
        return false;
    const std::vector<std::string> &order = m_form.tabOrder;
    size_t at = 0; // where the focus is: a control, or the edit field inside a combo box
    for (HWND focus = GetFocus(); focus && focus != m_window; focus = GetParent(focus)) {
        for (size_t i = 0; i < order.size(); ++i) {
            if (const auto found = m_controls.find(order[i]); found != m_controls.end() && found->second == focus)
                at = i;
        }
    }
    const bool back = GetKeyState(VK_SHIFT) & 0x8000;
    const std::string &name = order[(at + (back ? order.size() - 1 : 1)) % order.size()];
    HWND next = made(name);
    SetFocus(next);
    const auto control = std::find_if(m_form.controls.begin(), m_form.controls.end(),
                                      [&](const Control &described) { return described.name == name; });
    if (next && control->kind == Kind::ComboBox) // its text selected, as a dialog does
        SendMessageW(next, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    return true;
}

std::string Win32Form::text(const std::string &control) const
{
    const auto found = m_controls.find(control);
    if (found == m_controls.end())
        return m_form.comboText;
    HWND handle = found->second;
    std::wstring text(size_t(GetWindowTextLengthW(handle)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(handle, text.data(), int(text.size()))));
    return toUtf8(text);
}

// The picture centred on the face and clipped to it, the same in every state.
void Win32Form::drawButton(const DRAWITEMSTRUCT &item)
{
    RECT face = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    DrawFrameControl(item.hDC, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    const auto found = m_pictures.find(item.hwndItem);
    if (found == m_pictures.end())
        return;
    HBITMAP picture = found->second;
    BITMAP size{};
    GetObjectW(picture, sizeof size, &size);
    const int offset = pressed ? 1 : 0;
    drawPicture(item.hDC, picture, (face.right - size.bmWidth) / 2 + offset, (face.bottom - size.bmHeight) / 2 + offset);
    // A light dotted frame, which shows on the dark pictures.
    if (item.itemState & ODS_FOCUS) {
        HPEN pen = CreatePen(PS_DOT, 1, RGB(255, 224, 192));
        HGDIOBJ previousPen = SelectObject(item.hDC, pen);
        HGDIOBJ previousBrush = SelectObject(item.hDC, GetStockObject(NULL_BRUSH));
        SetBkMode(item.hDC, TRANSPARENT);
        const int inset = MulDiv(4, m_dpi, 96);
        Rectangle(item.hDC, face.left + inset, face.top + inset, face.right - inset, face.bottom - inset);
        SelectObject(item.hDC, previousBrush);
        DeleteObject(SelectObject(item.hDC, previousPen));
    }
}

void Win32Form::command(int id, int notification, HWND from)
{
    // Enter comes as IDOK: it clicks a focused button and does nothing elsewhere. Esc (IDCANCEL) does nothing.
    if (id == IDOK) {
        HWND focus = GetFocus();
        for (const Control &control : m_form.controls) {
            const auto found = m_controls.find(control.name);
            if (control.kind == Kind::PictureButton && found != m_controls.end() && found->second == focus)
                SendMessageW(focus, BM_CLICK, 0, 0);
        }
        return;
    }
    if (id < firstControlId || size_t(id - firstControlId) >= m_form.controls.size())
        return;
    const Control &control = m_form.controls[size_t(id - firstControlId)];
    if (const auto found = m_controls.find(control.name); found == m_controls.end() || found->second != from)
        return;
    for (const Binding &binding : m_form.bindings) {
        const bool fires = (binding.event == Event::Click && notification == BN_CLICKED)
                           || (binding.event == Event::Change && notification == CBN_EDITCHANGE);
        if (binding.control == control.name && fires)
            binding.action(*this);
    }
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
    case WM_ERASEBKGND: {
        HDC dc = HDC(wParam);
        RECT client{};
        GetClientRect(m_window, &client);
        FillRect(dc, &client, m_backgroundBrush);
        drawPicture(dc, m_background, 0, 0);
        if (BOOL reader = FALSE; !m_annotationAsked && SystemParametersInfoW(SPI_GETSCREENREADER, 0, &reader, 0) && reader)
            askForNames();
        return 1;
    }
    case WM_CTLCOLORSTATIC: // check boxes ask here for their background
        if (const auto shade = m_shades.find(HWND(lParam)); shade != m_shades.end()) {
            SetBkColor(HDC(wParam), shade->second.second);
            return LRESULT(shade->second.first);
        }
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
    case WM_DPICHANGED: { // moved to a monitor of another density
        const RECT *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(m_window, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        setDensity(LOWORD(wParam));
        return 0;
    }
    case WM_CLOSE:
        DestroyWindow(m_window);
        return 0;
    case WM_DESTROY:
        if (m_annotations) {
            const MSAAPROPID properties[] = {PROPID_ACC_NAME, PROPID_ACC_STATE};
            for (HWND part : m_annotated)
                m_annotations->ClearHwndProps(part, DWORD(OBJID_CLIENT), CHILDID_SELF, properties, 2);
            m_annotations->Release();
            m_annotations = nullptr;
            CoUninitialize();
        }
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

Win32Form::~Win32Form()
{
    if (m_owner)
        DestroyWindow(m_owner);
    for (const auto &[handle, shade] : m_shades)
        DeleteObject(shade.first);
    for (const auto &[handle, picture] : m_pictures)
        DeleteObject(picture);
    DeleteObject(m_background);
    DeleteObject(m_backgroundBrush);
    DeleteObject(m_font);
}

} // namespace

int runForm(int, char *[], const FormDescription &form)
{
    // The game's folder is often open to mods and downloads: no DLL is looked
    // for there or in the current folder, only where Windows keeps its own.
    SetDllDirectoryW(L"");
    constexpr DWORD systemFolderOnly = 0x800; // LOAD_LIBRARY_SEARCH_SYSTEM32, Windows 8 and 7 with KB2533623
    if (const auto limit = newer<BOOL(WINAPI *)(DWORD)>(L"kernel32.dll", "SetDefaultDllDirectories"))
        limit(systemFolderOnly);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    Win32Form window(form);
    if (!window.create(GetModuleHandleW(nullptr))) {
        window.reportFailure(systemFailure(int(GetLastError()), "cannot open the window"));
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
