#pragma once

#include <string>

// The program's text is UTF-8; Windows takes UTF-16 through its wide-character calls.
std::wstring toWide(const std::string &utf8);
std::string toUtf8(const std::wstring &wide);
