#pragma once
// Gives the memory the program is not using back to the system (after
// start-up and whenever the Options window goes).
#include <windows.h>

inline void TrimWorkingSet()
{
    SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}
