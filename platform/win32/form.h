#pragma once

// The window on Win32, in parts: the window and its controls (window.cpp),
// their layout for a density (layout.cpp), painting (paint.cpp), the keyboard
// (keyboard.cpp) and what screen readers are told (accessibility.cpp).
#include "form/formstate.h"
#include "platform/win32/gdi.h"

#include <windows.h>

#include <optional>
#include <vector>

struct IAccPropServices;

class Win32Form : public FormState<HWND>
{
public:
    explicit Win32Form(const FormDescription &form);
    ~Win32Form();

    bool create(HINSTANCE instance);
    HWND window() const { return m_window; }
    // Tab and Shift+Tab; false for any other message.
    bool tab(const MSG &message);
    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    void showInformation(const std::string &text) override { show(text, MB_ICONINFORMATION); }
    void showError(const std::string &text) override { show(text, MB_ICONERROR); }

private:
    HWND make(std::size_t control) override;
    HWND parentOf(HWND handle) const override { return GetParent(handle); }
    int checkValueOf(HWND box) const override;
    std::string textOf(HWND combo) const override;
    void command(int id, int notification, HWND from);
    void show(const std::string &text, UINT icon);

    // layout.cpp
    void setDensity(int dpi);
    void place(std::size_t control, HWND handle);
    // paint.cpp
    void eraseBackground(HDC dc);
    void drawButton(const DRAWITEMSTRUCT &item);
    HBRUSH controlBrush(HDC dc, HWND control);
    // keyboard.cpp
    void pressEnter();
    // accessibility.cpp
    void askForNames();
    void annotate();
    void forgetNames();

    int m_dpi = 96;
    HWND m_owner = nullptr;
    HWND m_window = nullptr;
    HWND m_lastFocus = nullptr;
    Gdi<HFONT> m_font;
    Gdi<HBRUSH> m_backgroundBrush;
    Gdi<HBITMAP> m_background;
    // By the control's place in the description; none until it is made.
    std::vector<Gdi<HBITMAP>> m_pictures;
    std::vector<Gdi<HBRUSH>> m_brushes;
    bool m_annotationAsked = false;
    IAccPropServices *m_annotations = nullptr;
    std::vector<HWND> m_annotated;
};

// Control IDs are the control's place plus this, clear of IDOK and IDCANCEL,
// which Enter and Esc send.
constexpr int firstControlId = 100;

// The names are given only once a screen reader is about, and after the
// first paint: a user without one never loads oleacc and COM.
constexpr UINT annotateMessage = WM_APP;

constexpr DWORD formStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD formExtendedStyle = WS_EX_DLGMODALFRAME;

inline RECT pixels(Twips place, int dpi)
{
    const Pixels p = toPixels(place, dpi);
    return {p.left, p.top, p.left + p.width, p.top + p.height};
}

inline COLORREF colour(Rgb rgb)
{
    return RGB(rgb.red, rgb.green, rgb.blue);
}
