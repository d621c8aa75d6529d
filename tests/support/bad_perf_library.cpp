// A performance library for the tests of the in-process calls: one object that
// is sound, and every way a library can go wrong.
#include <windows.h>

#include <cstring>

namespace {

// The smallest object: its header alone, no counters, no instances; its title
// index says which library answered.
DWORD WriteObject(LPVOID* data, LPDWORD size, LPDWORD objects, DWORD title)
{
    constexpr DWORD kObject = 64;
    if (*size < kObject)
        return ERROR_MORE_DATA;
    auto* object = static_cast<DWORD*>(*data);
    std::memset(object, 0, kObject);
    object[0] = object[1] = object[2] = kObject;  // total, definition and header lengths
    object[3] = title;
    object[10] = static_cast<DWORD>(-1);  // no instances
    *data = static_cast<BYTE*>(*data) + kObject;
    *size = kObject;
    *objects = 1;
    return ERROR_SUCCESS;
}

}  // namespace

extern "C" {

__declspec(dllexport) DWORD WINAPI OpenSound(LPWSTR)
{
    return ERROR_SUCCESS;
}
__declspec(dllexport) DWORD WINAPI OpenFails(LPWSTR)
{
    return ERROR_ACCESS_DENIED;
}
__declspec(dllexport) DWORD WINAPI CloseSound()
{
    return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI CollectFirst(LPWSTR, LPVOID* data, LPDWORD size, LPDWORD objects)
{
    return WriteObject(data, size, objects, 1001);
}

__declspec(dllexport) DWORD WINAPI CollectSecond(LPWSTR, LPVOID* data, LPDWORD size, LPDWORD objects)
{
    return WriteObject(data, size, objects, 1002);
}

__declspec(dllexport) DWORD WINAPI CollectError(LPWSTR, LPVOID* data, LPDWORD size, LPDWORD objects)
{
    WriteObject(data, size, objects, 666);
    return ERROR_INVALID_DATA;
}

__declspec(dllexport) DWORD WINAPI CollectPastTheRoom(LPWSTR, LPVOID* data, LPDWORD size, LPDWORD objects)
{
    const DWORD room = *size;
    WriteObject(data, size, objects, 666);
    *size = room + 1;
    return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI CollectPointerOutside(LPWSTR, LPVOID* data, LPDWORD size, LPDWORD objects)
{
    WriteObject(data, size, objects, 666);
    *data = static_cast<BYTE*>(*data) + 8;
    return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI CollectBadObject(LPWSTR, LPVOID* data, LPDWORD size, LPDWORD objects)
{
    auto* object = static_cast<DWORD*>(*data);
    WriteObject(data, size, objects, 666);
    object[0] = 4096;  // an object longer than the data
    return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI CollectRaises(LPWSTR, LPVOID*, LPDWORD, LPDWORD)
{
    RaiseException(0xE0000001, 0, 0, nullptr);
    return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI CollectFaults(LPWSTR, LPVOID*, LPDWORD, LPDWORD)
{
    *static_cast<volatile DWORD*>(nullptr) = 1;
    return ERROR_SUCCESS;
}
}
