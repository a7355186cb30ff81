#pragma once

#include <windows.h>

// A function that newer Windows has and Windows XP lacks, looked up at run
// time in a system library already loaded; null where this Windows has none.
template <typename Function>
Function systemFunction(const wchar_t *library, const char *name)
{
    const HMODULE module = GetModuleHandleW(library);
    return module ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name))) : nullptr;
}
