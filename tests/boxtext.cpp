// Reads the program under Wine from outside, for a test: with no argument,
// the caption and texts of each open message box; with "accessible", what a
// screen reader is told (MSAA) of the window and each visible control,
// "role|name", or exit status 2 where Wine does not answer at all; with
// "load NAME", loads that DLL by its bare name, as a careless program would.
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <cstring>

static BOOL CALLBACK print(HWND window, LPARAM box)
{
    wchar_t kind[32] = {}, text[1024] = {};
    GetClassNameW(window, kind, 32);
    const bool wanted = box ? lstrcmpiW(kind, L"Static") == 0 : IsWindowVisible(window) && !lstrcmpW(kind, L"#32770");
    if (wanted && GetWindowTextW(window, text, 1024) > 0)
        std::printf("%ls\n", text);
    if (wanted && !box)
        EnumChildWindows(window, print, 1);
    return TRUE;
}

static BOOL CALLBACK hear(HWND window, LPARAM answered)
{
    IAccessible *object = nullptr;
    if (!IsWindowVisible(window) || FAILED(AccessibleObjectFromWindow(window, DWORD(OBJID_CLIENT), IID_IAccessible,
                                                                      reinterpret_cast<void **>(&object))))
        return TRUE;
    if (answered)
        *reinterpret_cast<bool *>(answered) = true;
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    VARIANT role{}, state{};
    wchar_t roleText[64] = {};
    if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4)
        GetRoleTextW(DWORD(role.lVal), roleText, 64);
    const bool hidden = SUCCEEDED(object->get_accState(self, &state)) && state.vt == VT_I4
                        && (state.lVal & STATE_SYSTEM_INVISIBLE);
    if (!hidden && SUCCEEDED(object->get_accName(self, &name)))
        std::printf("%ls|%ls\n", roleText, name ? name : L"");
    SysFreeString(name);
    object->Release();
    return TRUE;
}

int main(int argc, char *argv[])
{
    if (argc == 3 && std::strcmp(argv[1], "load") == 0)
        return LoadLibraryA(argv[2]) ? 0 : 1;
    if (argc < 2 || std::strcmp(argv[1], "accessible") != 0) {
        EnumWindows(print, 0);
        return 0;
    }
    CoInitialize(nullptr);
    HWND form = FindWindowW(L"KorvaneForm1", nullptr);
    if (!form)
        return 1;
    bool answered = false;
    hear(form, LPARAM(&answered));
    EnumChildWindows(form, hear, 0);
    CoUninitialize();
    return answered ? 0 : 2;
}
