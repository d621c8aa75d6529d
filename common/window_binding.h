#pragma once
// A window's own object: bound at WM_NCCREATE as the window's user data and
// given back to its procedure.
#include <windows.h>

// The object a window was created with (the creation parameter of WM_NCCREATE).
template <typename Object>
Object* CreationObject(LPARAM createStruct)
{
    return static_cast<Object*>(reinterpret_cast<const CREATESTRUCTW*>(createStruct)->lpCreateParams);
}

template <typename Object>
Object* BindWindowObject(HWND window, Object* object)
{
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    return object;
}

// The window's object; null before it is bound and after it is unbound.
template <typename Object>
Object* WindowObject(HWND window)
{
    return window ? reinterpret_cast<Object*>(GetWindowLongPtrW(window, GWLP_USERDATA)) : nullptr;
}

inline void UnbindWindowObject(HWND window)
{
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
}
