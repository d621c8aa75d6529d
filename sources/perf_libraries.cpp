#include "sources/perf_libraries.h"

#include <winperf.h>

#include <excpt.h>

#include <cstring>

#include "common/win_handles.h"
#include "sources/perf_layout.h"

namespace {

constexpr wchar_t kServicesKey[] = L"SYSTEM\\CurrentControlSet\\Services";
// Room past which a library still asking for more is taken to be broken.
constexpr DWORD kMaxLibraryRoom = 4u << 20;

// The bytes written past the room a library was given, where none may change.
constexpr std::uint8_t kCanary = 0xA5;

// The slack after the room holds nothing but the canary.
bool CanaryIntact(const std::uint8_t* slack, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) {
        if (slack[i] != kCanary)
            return false;
    }
    return true;
}

// A path the loader takes as it stands: "C:\..." or "\\server\...". A bare or
// relative name would be searched for in the program's folder, the current
// folder and PATH, where anyone may have put a library of that name.
bool IsAbsolutePath(const std::wstring& path)
{
    const auto separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    if (path.size() >= 3 && path[1] == L':' && separator(path[2]))
        return true;
    return path.size() >= 3 && separator(path[0]) && separator(path[1]);
}

}  // namespace

// The guard's filter, asked only after every frame of the library declined
// the exception: a fault or an exception raised as an error ends the call.
extern "C" __attribute__((used)) LONG QorvelGuardFilter(EXCEPTION_POINTERS* exception, void*)
{
    const DWORD code = exception->ExceptionRecord->ExceptionCode;
    return (code & 0xC0000000) == 0xC0000000 ? EXCEPTION_EXECUTE_HANDLER : EXCEPTION_CONTINUE_SEARCH;
}

namespace {

// Calls call(context) under a frame-based handler of its own (the x64
// exception tables that MinGW's __try1 writes): the library's own handlers,
// deeper on the stack, are asked first; an exception none of them handles
// unwinds to the end of this call, which answers false. One such guard per
// file: its labels are the file's. The unwind lands in the middle of the
// body, so callers may not count on registers that the body leaves alone
// (noipa).
__attribute__((noipa)) bool Guarded(void (*call)(void*), void* context)
{
    volatile bool completed = false;
    __try1(QorvelGuardFilter);
    asm volatile("" ::: "memory");
    call(context);
    completed = true;
    asm volatile("" ::: "memory");
    __except1;
    return completed;
}

std::string Narrow(const std::wstring& text)
{
    std::string narrow;
    for (const wchar_t c : text)
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

std::wstring ReadText(HKEY key, const wchar_t* subkey, const wchar_t* name)
{
    wchar_t text[MAX_PATH] = {};
    DWORD size = sizeof text;
    // REG_SZ also takes a REG_EXPAND_SZ value, expanded.
    if (RegGetValueW(key, subkey, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return {};
    return text;
}

// The objects a library answered lie within its bytes, one after the other.
bool ObjectsFit(const std::uint8_t* data, DWORD bytes, DWORD objects)
{
    std::size_t at = 0;
    for (DWORD object = 0; object < objects; ++object) {
        if (bytes - at < perflayout::kObjectSize)
            return false;
        std::uint32_t length = 0;
        std::memcpy(&length, data + at + perflayout::kObjectTotalByteLength, sizeof length);
        if (length < perflayout::kObjectSize || length > bytes - at)
            return false;
        at += length;
    }
    return true;
}

struct OpenCall {
    DWORD(WINAPI* open)(LPWSTR);
    DWORD result;
};

struct CollectCall {
    DWORD(WINAPI* collect)(LPWSTR, LPVOID*, LPDWORD, LPDWORD);
    LPWSTR items;
    void* data;
    DWORD bytes;
    DWORD objects;
    DWORD result;
};

}  // namespace

std::vector<RegisteredLibrary> RegisteredPerformanceLibraries()
{
    std::vector<RegisteredLibrary> libraries;
    RegKey services;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kServicesKey, 0, KEY_READ, services.Receive()) != ERROR_SUCCESS)
        return libraries;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        const LONG result = RegEnumKeyExW(services.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS)
            continue;
        const std::wstring key = std::wstring(name) + L"\\Performance";
        RegisteredLibrary library{ReadText(services.Get(), key.c_str(), L"Library"),
                                  Narrow(ReadText(services.Get(), key.c_str(), L"Open")),
                                  Narrow(ReadText(services.Get(), key.c_str(), L"Collect")),
                                  Narrow(ReadText(services.Get(), key.c_str(), L"Close"))};
        if (!library.file.empty() && !library.collect.empty())
            libraries.push_back(std::move(library));
    }
    return libraries;
}

bool RunningUnderWine()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

PerformanceLibraries::~PerformanceLibraries()
{
    Release();
}

void PerformanceLibraries::Load(const std::vector<RegisteredLibrary>& libraries)
{
    Release();
    active_ = true;
    wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    systemName_ = GetComputerNameExW(ComputerNameNetBIOS, computer, &length) ? computer : L"";
    for (const RegisteredLibrary& entry : libraries) {
        Library library;
        if (!IsAbsolutePath(entry.file))
            continue;
        library.module = LoadLibraryExW(entry.file.c_str(), nullptr,
                                        LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!library.module)
            continue;
        const auto find = [&](const std::string& function) -> void* {
            return function.empty() ? nullptr
                                    : reinterpret_cast<void*>(GetProcAddress(library.module, function.c_str()));
        };
        OpenCall open{reinterpret_cast<OpenFunction>(find(entry.open)), ERROR_SUCCESS};
        library.collect = reinterpret_cast<CollectFunction>(find(entry.collect));
        library.close = reinterpret_cast<CloseFunction>(find(entry.close));
        const bool complete =
            library.collect && (entry.open.empty() || open.open) && (entry.close.empty() || library.close);
        const auto callOpen = [](void* context) {
            auto* call = static_cast<OpenCall*>(context);
            call->result = call->open ? call->open(nullptr) : ERROR_SUCCESS;
        };
        if (!complete || !Guarded(callOpen, &open) || open.result != ERROR_SUCCESS) {
            FreeLibrary(library.module);
            continue;
        }
        libraries_.push_back(library);
    }
}

void PerformanceLibraries::Release()
{
    for (Library& library : libraries_) {
        if (library.close && !library.faulted) {
            const auto callClose = [](void* context) { static_cast<Library*>(context)->close(); };
            Guarded(callClose, &library);
        }
        FreeLibrary(library.module);  // also one that faulted: it is not called again
    }
    libraries_.clear();
    active_ = false;
}

std::size_t PerformanceLibraries::InUse() const
{
    std::size_t count = 0;
    for (const Library& library : libraries_)
        count += library.left ? 0 : 1;
    return count;
}

bool PerformanceLibraries::CollectFrom(Library& library, const wchar_t* items, std::uint8_t* buffer, DWORD size,
                                       DWORD slack, DWORD offset, DWORD* bytes, DWORD* objects)
{
    *bytes = 0;
    *objects = 0;
    if (library.left)
        return true;
    std::memset(buffer + size, kCanary, slack);
    CollectCall call{library.collect, const_cast<LPWSTR>(items), buffer + offset, size - offset, 0, 0};
    const auto collect = [](void* context) {
        auto* c = static_cast<CollectCall*>(context);
        c->result = c->collect(c->items, &c->data, &c->bytes, &c->objects);
    };
    // A library that faulted, or wrote past its room, may have damaged
    // anything: it is not asked again.
    if (!Guarded(collect, &call) || !CanaryIntact(buffer + size, slack)) {
        library.left = true;
        library.faulted = true;
        return true;
    }
    if (call.result == ERROR_MORE_DATA && size - offset < kMaxLibraryRoom)
        return false;
    const bool sound = call.result == ERROR_SUCCESS && call.bytes <= size - offset &&
                       call.data == buffer + offset + call.bytes &&
                       ObjectsFit(buffer + offset, call.bytes, call.objects);
    if (!sound) {
        library.left = ++library.failures >= kMaxFailures;
        return true;
    }
    library.failures = 0;
    *bytes = call.bytes;
    *objects = call.objects;
    return true;
}

LONG PerformanceLibraries::Query(const wchar_t* items, std::uint8_t* buffer, DWORD* size, DWORD slack)
{
    const DWORD room = *size;
    *size = 0;
    const DWORD nameBytes = static_cast<DWORD>((systemName_.size() + 1) * sizeof(wchar_t));
    const DWORD header = (sizeof(PERF_DATA_BLOCK) + nameBytes + 7) & ~7u;
    if (!buffer || room < header)
        return ERROR_MORE_DATA;

    // The block as the system lays it out; the providers that look for it
    // find their place at its end.
    std::memset(buffer, 0, header);
    auto* block = reinterpret_cast<PERF_DATA_BLOCK*>(buffer);
    std::memcpy(block->Signature, L"PERF", sizeof block->Signature);
    block->LittleEndian = 1;
    block->Version = PERF_DATA_VERSION;
    block->Revision = PERF_DATA_REVISION;
    block->HeaderLength = header;
    GetSystemTime(&block->SystemTime);
    QueryPerformanceCounter(&block->PerfTime);
    QueryPerformanceFrequency(&block->PerfFreq);
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    block->PerfTime100nSec.QuadPart = static_cast<LONGLONG>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
    block->SystemNameLength = nameBytes;
    block->SystemNameOffset = sizeof(PERF_DATA_BLOCK);
    std::memcpy(buffer + sizeof(PERF_DATA_BLOCK), systemName_.c_str(), nameBytes);

    DWORD offset = header;
    DWORD objects = 0;
    for (Library& library : libraries_) {
        block->TotalByteLength = offset;
        block->NumObjectTypes = objects;
        DWORD bytes = 0, count = 0;
        if (!CollectFrom(library, items, buffer, room, slack, offset, &bytes, &count))
            return ERROR_MORE_DATA;
        offset += bytes;
        objects += count;
    }
    block->TotalByteLength = offset;
    block->NumObjectTypes = objects;
    *size = offset;
    return ERROR_SUCCESS;
}
