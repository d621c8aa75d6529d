// A performance library for the tests of the in-process calls: one object that
// is sound, and every way a library can go wrong.
#include <windows.h>
#include <excpt.h>

#include <cstring>
#include <string>

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

__attribute__((used)) LONG HandleOwnFault(EXCEPTION_POINTERS*, void*)
{
    return EXCEPTION_EXECUTE_HANDLER;
}

// Reads address 0 under a handler of its own: false once it caught the fault.
__attribute__((noipa)) bool ProbeWithOwnHandler()
{
    volatile bool read = false;
    volatile DWORD* volatile address = nullptr;
    __try1(HandleOwnFault);
    asm volatile("" ::: "memory");
    read = *address == 0;
    asm volatile("" ::: "memory");
    __except1;
    return read;
}

__declspec(dllexport) DWORD WINAPI OpenSound(LPWSTR)
{
    return ERROR_SUCCESS;
}
__declspec(dllexport) DWORD WINAPI OpenFails(LPWSTR)
{
    return ERROR_ACCESS_DENIED;
}
// Counts its calls where the test can read them after the library is gone.
__declspec(dllexport) DWORD WINAPI CloseSound()
{
    wchar_t count[16] = L"0";
    GetEnvironmentVariableW(L"QORVEL_TEST_CLOSES", count, 16);
    SetEnvironmentVariableW(L"QORVEL_TEST_CLOSES", std::to_wstring(std::stoi(count) + 1).c_str());
    return ERROR_SUCCESS;
}

__declspec(dllexport) DWORD WINAPI CollectFirst(LPWSTR, LPVOID* data, LPDWORD size, LPDWORD objects)
{
    return WriteObject(data, size, objects, 1001);
}

// Fails every other call, the first among them.
__declspec(dllexport) DWORD WINAPI CollectEveryOther(LPWSTR, LPVOID* data, LPDWORD size, LPDWORD objects)
{
    static bool fails = false;
    fails = !fails;
    return fails ? ERROR_INVALID_DATA : WriteObject(data, size, objects, 1004);
}

__declspec(dllexport) DWORD WINAPI CollectAlwaysMore(LPWSTR, LPVOID*, LPDWORD, LPDWORD)
{
    return ERROR_MORE_DATA;
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

__declspec(dllexport) DWORD WINAPI CollectPastTheSlack(LPWSTR, LPVOID* data, LPDWORD size, LPDWORD objects)
{
    static_cast<BYTE*>(*data)[*size] = 0;  // the first byte past its room
    return WriteObject(data, size, objects, 666);
}

__declspec(dllexport) DWORD WINAPI CollectHandlesItsFault(LPWSTR, LPVOID* data, LPDWORD size, LPDWORD objects)
{
    return ProbeWithOwnHandler() ? ERROR_INVALID_DATA : WriteObject(data, size, objects, 1003);
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
