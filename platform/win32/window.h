#pragma once

// The window on Win32. What differs between kinds of control is in a file
// for each kind, named as on Qt: picturelabel.cpp, checkbox.cpp,
// combobox.cpp, picturebutton.cpp. What the window does for all of them is
// in window.cpp, its message loop and Tab walk in main.cpp, and Windows'
// annotations for screen readers in annotations.cpp.
#include "form/formstate.h"
#include "platform/win32/gdi.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

struct IAccPropServices;
struct ProgramIdentity;

// What a screen reader hears of a control beyond what Windows tells it: set
// through COM, which a user without a screen reader never loads.
class Annotations
{
public:
    // False where COM or the annotation service cannot be had.
    bool start();
    void name(HWND part, const std::string &name);
    // Left out: a graphic that the control it names already speaks for.
    void hide(HWND part);
    // Before the controls go, as Windows asks.
    void clear();

private:
    IAccPropServices *m_services = nullptr;
    std::vector<HWND> m_annotated;
};

// A control as its kind sees it, at the window's density.
struct Win32Control
{
    const FormDescription &form;
    const Control &control;
    HWND handle;
    int dpi;
    HFONT font;
    Gdi<HBITMAP> &picture; // drawn for this density, for a kind that shows one
};

// What one kind of control does, in the file named after it. Every kind is
// laid out; any other hook left null does nothing.
struct ControlKind
{
    const wchar_t *windowClass;
    DWORD style; // beside WS_CHILD | WS_CLIPSIBLINGS
    // Made, still hidden: what it holds before it is first placed.
    void (*fill)(const Win32Control &control) = nullptr;
    // Laid out for the window's density, its place, font and any picture: at
    // start, and again when it changes.
    void (*layOut)(const Win32Control &control) = nullptr;
    // Owner-drawn, at the window's WM_DRAWITEM.
    void (*draw)(const Win32Control &control, const DRAWITEMSTRUCT &item) = nullptr;
    // The event that a notification from it raises, if any.
    std::optional<Event> (*event)(int notification) = nullptr;
    // Just given the focus by Tab, or Enter pressed while it has the focus.
    void (*tabbedTo)(const Win32Control &control) = nullptr;
    void (*enter)(const Win32Control &control) = nullptr;
    // Once a screen reader is about.
    void (*annotate)(const Win32Control &control, Annotations &annotations) = nullptr;
};
extern const ControlKind pictureLabel, checkBox, comboBox, pictureButton;

// Where the description lays it out at the window's density, in the
// window's font. A kind that holds more than it shows (a combo box's list)
// asks for a taller window.
void placeAt(const Win32Control &control, int windowHeight);
inline void placeAt(const Win32Control &control)
{
    placeAt(control, toPixels(control.control.place, control.dpi).height);
}

int checkBoxValue(HWND box);
std::string comboBoxText(HWND combo);

class Win32Window : public FormState<HWND>
{
public:
    explicit Win32Window(const FormDescription &form);
    ~Win32Window();

    bool create(HINSTANCE instance, const ProgramIdentity &program);
    HWND window() const { return m_window; }
    // Tab and Shift+Tab; false for any other message.
    bool tab(const MSG &message);
    LRESULT windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    void showInformation(const std::string &text) override { show(text, MB_ICONINFORMATION); }
    void showError(const std::string &text) override { show(text, MB_ICONERROR); }

private:
    HWND make(std::size_t control) override;
    HWND parentOf(HWND handle) const override { return GetParent(handle); }
    int checkValueOf(HWND box) const override { return checkBoxValue(box); }
    std::string textOf(HWND combo) const override { return comboBoxText(combo); }
    const ControlKind &controlKind(std::size_t control) const;
    Win32Control at(std::size_t control, HWND handle);
    void command(int id, int notification, HWND from);
    void show(const std::string &text, UINT icon);
    void setDensity(int dpi);
    void layOut(std::size_t control, HWND handle);
    void eraseBackground(HDC dc);
    HBRUSH controlBrush(HDC dc, HWND control);
    void pressEnter();
    void askForNames();
    void annotate();

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
    Annotations m_annotations;
};

// The names are given only once a screen reader is about, and after the
// first paint: a user without one never loads oleacc and COM.
constexpr UINT annotateMessage = WM_APP;

inline COLORREF colour(Rgb rgb)
{
    return RGB(rgb.red, rgb.green, rgb.blue);
}
