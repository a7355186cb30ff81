#include "platform/failure.h"

#include "platform/win32/text.h"

#include <windows.h>

std::string systemText(int number, const std::string &name)
{
    wchar_t *buffer = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                            | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, DWORD(number), 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    std::wstring text = length ? fillInserts(std::wstring(buffer, length), toWide(name)) : L"unknown error";
    LocalFree(buffer);
    // "Access is denied.\r\n" reads better inside a sentence as "Access is denied".
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' || text.back() == L'.'))
        text.pop_back();
    return toUtf8(text);
}

std::string currentFolder()
{
    std::wstring folder(MAX_PATH, L'\0');
    DWORD length = GetCurrentDirectoryW(DWORD(folder.size()), folder.data());
    if (length >= folder.size()) {
        folder.resize(length);
        length = GetCurrentDirectoryW(DWORD(folder.size()), folder.data());
    }
    folder.resize(length < folder.size() ? length : 0);
    return toUtf8(folder);
}
