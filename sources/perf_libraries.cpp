#include "sources/perf_libraries.h"

#include <winperf.h>

#include <cstring>

#include "common/win_handles.h"
#include "sources/perf_layout.h"

namespace {

constexpr wchar_t kServicesKey[] = L"SYSTEM\\CurrentControlSet\\Services";
// Room past which a library still asking for more is taken to be broken.
constexpr DWORD kMaxLibraryRoom = 4u << 20;

// A call into a library that raises an exception comes back as a failed call:
// the handler resumes the program where the call was made, in the state it had
// then. One call is guarded at a time (the snapshot is taken by one thread at
// a time); an exception on any other thread is none of the handler's business.
struct GuardedCall {
    DWORD thread = 0;
    CONTEXT* resume = nullptr;
    volatile bool raised = false;
};
GuardedCall g_call;

// Faults and exceptions an application raises (error severity), but not the
// C++ exceptions of the other compiler's runtime, which are caught elsewhere.
bool Rescuable(DWORD code)
{
    return (code & 0xC0000000) == 0xC0000000 && code != 0xE06D7363;
}

LONG CALLBACK Rescue(EXCEPTION_POINTERS* exception)
{
    if (!g_call.resume || g_call.thread != GetCurrentThreadId() ||
        !Rescuable(exception->ExceptionRecord->ExceptionCode))
        return EXCEPTION_CONTINUE_SEARCH;
    *exception->ContextRecord = *g_call.resume;
    g_call.resume = nullptr;
    g_call.raised = true;
    return EXCEPTION_CONTINUE_EXECUTION;
}

// Calls call(context); false when it raised an exception.
__attribute__((noinline)) bool Guarded(void (*call)(void*), void* context)
{
    CONTEXT resume;
    g_call.raised = false;
    RtlCaptureContext(&resume);
    if (g_call.raised)
        return false;  // back from the handler
    g_call.thread = GetCurrentThreadId();
    g_call.resume = &resume;
    call(context);
    g_call.resume = nullptr;
    return true;
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
    rescue_ = AddVectoredExceptionHandler(1, Rescue);
    active_ = true;
    wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    systemName_ = GetComputerNameExW(ComputerNameNetBIOS, computer, &length) ? computer : L"";
    for (const RegisteredLibrary& entry : libraries) {
        Library library;
        library.module = LoadLibraryW(entry.file.c_str());
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
        if (library.close && !library.left) {
            const auto callClose = [](void* context) { static_cast<Library*>(context)->close(); };
            Guarded(callClose, &library);
        }
        FreeLibrary(library.module);
    }
    libraries_.clear();
    if (rescue_)
        RemoveVectoredExceptionHandler(rescue_);
    rescue_ = nullptr;
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
                                       DWORD offset, DWORD* bytes, DWORD* objects)
{
    *bytes = 0;
    *objects = 0;
    if (library.left)
        return true;
    CollectCall call{library.collect, const_cast<LPWSTR>(items), buffer + offset, size - offset, 0, 0};
    const auto collect = [](void* context) {
        auto* c = static_cast<CollectCall*>(context);
        c->result = c->collect(c->items, &c->data, &c->bytes, &c->objects);
    };
    if (!Guarded(collect, &call)) {
        library.left = true;
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

LONG PerformanceLibraries::Query(const wchar_t* items, std::uint8_t* buffer, DWORD* size)
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
        if (!CollectFrom(library, items, buffer, room, offset, &bytes, &count))
            return ERROR_MORE_DATA;
        offset += bytes;
        objects += count;
    }
    block->TotalByteLength = offset;
    block->NumObjectTypes = objects;
    *size = offset;
    return ERROR_SUCCESS;
}
