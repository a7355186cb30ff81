#include "platform/failure.h"

#include "platform/win32/text.h"

#include <windows.h>

namespace {

// With its inserts ignored, a system text keeps "%1", "%2!d!" and the like;
// each becomes the name, and the other escapes what they stand for.
std::wstring fillInserts(const std::wstring &text, const std::wstring &name)
{
    std::wstring filled;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%' || i + 1 == text.size()) {
            filled += text[i];
            continue;
        }
        const wchar_t next = text[++i];
        if (next == L'0')
            break;
        if (next >= L'1' && next <= L'9') {
            while (i + 1 < text.size() && text[i + 1] >= L'0' && text[i + 1] <= L'9')
                ++i;
            if (i + 1 < text.size() && text[i + 1] == L'!') {
                const auto end = text.find(L'!', i + 2);
                i = end == std::wstring::npos ? text.size() : end;
            }
            filled += name.empty() ? L"the file" : name;
        } else {
            filled += next == L'n' || next == L'r' || next == L't' ? L' ' : next; // a line break, or "%%" and the like
        }
    }
    return filled;
}

} // namespace

Failure systemFailure(int number, const std::string &action, const std::string &detail, const std::string &name)
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
    std::string description = action + ": " + toUtf8(text);
    if (!detail.empty())
        description += " (" + detail + ")";
    return {number, description};
}

std::string inCurrentFolder()
{
    std::wstring folder(MAX_PATH, L'\0');
    DWORD length = GetCurrentDirectoryW(DWORD(folder.size()), folder.data());
    if (length >= folder.size()) {
        folder.resize(length);
        length = GetCurrentDirectoryW(DWORD(folder.size()), folder.data());
    }
    folder.resize(length < folder.size() ? length : 0);
    return folder.empty() ? std::string() : " in " + toUtf8(folder);
}
