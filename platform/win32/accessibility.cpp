// What screen readers are told. Check1 and Combo4 show no text of their own,
// and their picture labels none a screen reader can read: Windows'
// annotations give them their names, and leave the pictures out as graphics
// of their own. Made only once a screen reader is about.
#include "platform/win32/form.h"

#include "platform/win32/text.h"

#include <initguid.h> // defines the annotation GUIDs that oleacc.h declares
#include <oleacc.h>
#include <string>
#include <type_traits>

namespace {

// COM, from Windows' own ole32.dll, loaded only now: no import of the
// program's, so a player without a screen reader never loads it.
struct Com
{
    decltype(&CoInitializeEx) initialize = nullptr;
    decltype(&CoCreateInstance) create = nullptr;
    decltype(&CoUninitialize) uninitialize = nullptr;

    bool load()
    {
        std::wstring path(MAX_PATH, L'\0');
        const UINT length = GetSystemDirectoryW(path.data(), MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return false;
        path.resize(length);
        const HMODULE ole32 = LoadLibraryW((path + L"\\ole32.dll").c_str());
        const auto find = [ole32](auto &function, const char *name) {
            function = ole32 ? reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                                   reinterpret_cast<void (*)()>(GetProcAddress(ole32, name)))
                             : nullptr;
            return function != nullptr;
        };
        return find(initialize, "CoInitializeEx") & find(create, "CoCreateInstance")
            & find(uninitialize, "CoUninitialize");
    }
} com;

} // namespace

void Win32Form::askForNames()
{
    if (!m_annotationAsked)
        m_annotationAsked = PostMessageW(m_window, annotateMessage, 0, 0);
}

void Win32Form::annotate()
{
    if (!com.load() || FAILED(com.initialize(nullptr, COINIT_APARTMENTTHREADED)))
        return;
    if (FAILED(com.create(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                          reinterpret_cast<void **>(&m_annotations)))) {
        m_annotations = nullptr;
        return com.uninitialize();
    }
    for (std::size_t i = 0; i < m_handles.size(); ++i) {
        const Control &control = m_form.controls[i];
        if (!m_handles[i] || control.kind == Kind::PictureButton
            || (control.kind != Kind::PictureLabel && control.accessibleName.empty()))
            continue;
        std::vector<HWND> parts = {m_handles[i]};
        if (control.kind == Kind::ComboBox) // and its edit field, where the focus goes
            parts.push_back(GetWindow(m_handles[i], GW_CHILD));
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
    com.uninitialize();
}
