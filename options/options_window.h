#pragma once
// The Options window: the program's only ordinary top-level window.
#include <windows.h>

inline constexpr wchar_t kOptionsClass[] = L"QORVELIndicatorClass";

// Registers the Options window's class.
bool RegisterOptionsClass(HINSTANCE instance);

// Creates and shows the Options window; false when the frame cannot be made.
bool CreateOptionsWindow();

// Destroys the Options window when one is open.
void DestroyOptionsWindow();
