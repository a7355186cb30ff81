// What screen readers are told beyond what Windows reads from the controls
// themselves: Windows' annotations, which each kind of control sets for its
// own parts. Made only once a screen reader is about.
#include "platform/win32/window.h"

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

bool Annotations::start()
{
    const auto initialize = ole32<decltype(&CoInitializeEx)>("CoInitializeEx");
    const auto create = ole32<decltype(&CoCreateInstance)>("CoCreateInstance");
    if (!initialize || !create || FAILED(initialize(nullptr, COINIT_APARTMENTTHREADED)))
        return false;
    if (FAILED(create(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                      reinterpret_cast<void **>(&m_services)))) {
        m_services = nullptr;
        ole32<decltype(&CoUninitialize)>("CoUninitialize")();
        return false;
    }
    return true;
}

void Annotations::name(HWND part, const std::string &name)
{
    m_services->SetHwndPropStr(part, DWORD(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME, toWide(name).c_str());
    m_annotated.push_back(part);
}

void Annotations::hide(HWND part)
{
    VARIANT hidden{};
    hidden.vt = VT_I4;
    hidden.lVal = STATE_SYSTEM_INVISIBLE;
    m_services->SetHwndProp(part, DWORD(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_STATE, hidden);
    m_annotated.push_back(part);
}

void Annotations::clear()
{
    if (!m_services)
        return;
    const MSAAPROPID properties[] = {PROPID_ACC_NAME, PROPID_ACC_STATE};
    for (HWND part : m_annotated)
        m_services->ClearHwndProps(part, DWORD(OBJID_CLIENT), CHILDID_SELF, properties, 2);
    m_services->Release();
    m_services = nullptr;
    ole32<decltype(&CoUninitialize)>("CoUninitialize")();
}

void Win32Window::askForNames()
{
    if (!m_annotationAsked)
        m_annotationAsked = PostMessageW(m_window, annotateMessage, 0, 0);
}

void Win32Window::annotate()
{
    if (!m_annotations.start())
        return;
    for (std::size_t i = 0; i < description().controls.size(); ++i) {
        if (HWND handle = madeWidget(i); handle && controlKind(i).annotate)
            controlKind(i).annotate(at(i, handle), m_annotations);
    }
}
