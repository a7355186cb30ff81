// Planted in the game's folder as gdiplus.dll, as a download or a mod might:
// if any program loads it, it leaves its name in planted.log there.
#include <windows.h>

#include <cstdio>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void *)
{
    if (reason == DLL_PROCESS_ATTACH) {
        char program[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, program, MAX_PATH);
        if (FILE *log = std::fopen("planted.log", "ab")) {
            std::fprintf(log, "%s\n", program);
            std::fclose(log);
        }
    }
    return TRUE;
}
