// What screen readers are told. Check1 and Combo4 show no text of their own,
// and their picture labels none a screen reader can read: Windows'
// annotations give them their names, and leave the pictures out as graphics
// of their own. Made only once a screen reader is about.
#include "platform/win32/form.h"

#include "platform/win32/text.h"

#include <initguid.h> // defines the annotation GUIDs that oleacc.h declares
#include <oleacc.h>
#include <string>

namespace {

// COM, from Windows' own ole32.dll, loaded only once a screen reader asks:
// no import of ours, so a player without one never loads it.
template <typename Function>
Function ole32(const char *name)
{
    static const HMODULE library = [] {
        wchar_t folder[MAX_PATH];
        const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
        return length && length < MAX_PATH ? LoadLibraryW((std::wstring(folder, length) + L"\\ole32.dll").c_str())
                                            : nullptr;
    }();
    return library ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name))) : nullptr;
}

} // namespace

void Win32Form::askForNames()
{
    if (!m_annotationAsked)
        m_annotationAsked = PostMessageW(m_window, annotateMessage, 0, 0);
}

void Win32Form::annotate()
{
    const auto initialize = ole32<decltype(&CoInitializeEx)>("CoInitializeEx");
    const auto create = ole32<decltype(&CoCreateInstance)>("CoCreateInstance");
    if (!initialize || !create || FAILED(initialize(nullptr, COINIT_APARTMENTTHREADED)))
        return;
    if (FAILED(create(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                      reinterpret_cast<void **>(&m_annotations)))) {
        m_annotations = nullptr;
        return ole32<decltype(&CoUninitialize)>("CoUninitialize")();
    }
    for (std::size_t i = 0; i < description().controls.size(); ++i) {
        const Control &control = description().controls[i];
        HWND handle = madeWidget(i);
        if (!handle || control.kind == Kind::PictureButton
            || (control.kind != Kind::PictureLabel && control.accessibleName.empty()))
            continue;
        std::vector<HWND> parts = {handle};
        if (control.kind == Kind::ComboBox) // and its edit field, where the focus goes
            parts.push_back(GetWindow(handle, GW_CHILD));
        for (HWND part : parts) {
            if (control.kind == Kind::PictureLabel) {
                VARIANT hidden{};
                hidden.vt = VT_I4;
                hidden.lVal = STATE_SYSTEM_INVISIBLE;
                m_annotations->SetHwndProp(part, DWORD(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_STATE, hidden);
            } else {
                m_annotations->SetHwndPropStr(part, DWORD(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME,
                                              toWide(control.accessibleName).c_str());
            }
            m_annotated.push_back(part);
        }
    }
}

void Win32Form::forgetNames()
{
    if (!m_annotations)
        return;
    const MSAAPROPID properties[] = {PROPID_ACC_NAME, PROPID_ACC_STATE};
    for (HWND part : m_annotated)
        m_annotations->ClearHwndProps(part, DWORD(OBJID_CLIENT), CHILDID_SELF, properties, 2);
    m_annotations->Release();
    m_annotations = nullptr;
    ole32<decltype(&CoUninitialize)>("CoUninitialize")();
}
