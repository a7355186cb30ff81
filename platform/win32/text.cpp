#include "platform/win32/text.h"

#include <windows.h>

std::wstring toWide(const std::string &utf8)
{
    std::wstring wide(size_t(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), int(wide.size()));
    return wide;
}

std::string toUtf8(const std::wstring &wide)
{
    std::string utf8(size_t(WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), utf8.data(), int(utf8.size()), nullptr, nullptr);
    return utf8;
}

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
        if (next < L'1' || next > L'9') {
            filled += next == L'n' || next == L'r' || next == L't' ? L' ' : next; // a line break, or "%%" and the like
            continue;
        }
        size_t number = size_t(next - L'0');
        while (i + 1 < text.size() && text[i + 1] >= L'0' && text[i + 1] <= L'9')
            number = number * 10 + size_t(text[++i] - L'0');
        // "%1!d!": its format goes too, when it is closed.
        if (const auto end = text.find(L'!', i + 2); i + 1 < text.size() && text[i + 1] == L'!' && end != std::wstring::npos)
            i = end;
        filled += number != 1 ? L"(unknown)" : name.empty() ? L"the file" : name;
    }
    return filled;
}
