#pragma once

#include <string>

// The program's text is UTF-8; Windows takes UTF-16 through its wide-character calls.
std::wstring toWide(const std::string &utf8);
std::string toUtf8(const std::wstring &wide);

// A system text read with its inserts ignored keeps "%1", "%2!d!" and the
// like: "%1" becomes the name, another insert "(unknown)", and the other
// escapes what they stand for.
std::wstring fillInserts(const std::wstring &text, const std::wstring &name);
