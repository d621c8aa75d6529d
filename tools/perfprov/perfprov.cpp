// The disk-counter provider that Wine's performance-data query loads: it
// answers the PhysicalDisk and LogicalDisk objects from a script (tests) or
// from the Linux machine's disks (live). Wine calls Open, Collect and Close on
// every query and unloads the library in between; the library pins itself on
// first use so that its runtime is set up only once per process (loading it
// afresh cost about 3 ms a query). A program that calls it in-process opens it
// once: the registration is read at Open, /proc/diskstats and mountinfo stay
// open, and the drives' mapping is worked out again only when the devices or
// the mounts change.
#include <windows.h>

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "common/utf8.h"
#include "common/win_handles.h"
#include "tools/perfprov/block_placement.h"
#include "tools/perfprov/disk_objects.h"
#include "tools/perfprov/disk_script.h"
#include "tools/perfprov/linux_disks.h"
#include "tools/perfprov/provider_key.h"

namespace {

constexpr std::size_t kMaxProcFileBytes = 1u << 20;

std::wstring ReadString(HKEY key, const wchar_t* name)
{
    wchar_t text[1024] = {};
    DWORD type = 0;
    DWORD size = sizeof text - sizeof(wchar_t);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    text[size / sizeof(wchar_t)] = L'\0';
    return text;
}

std::wstring FromAscii(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// The rest of an open file from where it stands, or false when it cannot be
// read or holds more than maxBytes.
bool ReadRest(HANDLE file, std::size_t maxBytes, std::string& text)
{
    text.clear();
    char chunk[16384];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, chunk, sizeof chunk, &got, nullptr))
            return false;
        if (text.size() + got > maxBytes)
            return false;
        text.append(chunk, got);
        if (got < sizeof chunk)  // a file reads short only at its end
            return true;
    }
}

HANDLE OpenForReading(const std::wstring& path)
{
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The whole file, or false when it cannot be read or is larger than maxBytes.
bool ReadWholeFile(const std::wstring& path, std::size_t maxBytes, std::string& text)
{
    const UniqueHandle file(OpenForReading(path));
    return file && ReadRest(file.Get(), maxBytes, text);
}

// A file of /proc, kept open and read again from its start: opening a file
// through Wine costs more than reading it.
class ProcFile {
public:
    explicit ProcFile(const wchar_t* path) : path_(path) {}

    bool Read(std::string& text)
    {
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (!file_)
                file_.Reset(OpenForReading(path_));
            if (file_ && SetFilePointer(file_.Get(), 0, nullptr, FILE_BEGIN) == 0 &&
                ReadRest(file_.Get(), kMaxProcFileBytes, text))
                return true;
            file_.Reset();  // opened again once
        }
        return false;
    }

private:
    const wchar_t* path_;
    UniqueHandle file_;
};

// Live mode's state between calls: the two files, and the drives' mapping,
// worked out again when the devices or the mounts change, and at every Open
// (a program that calls the provider in-process opens it again after a
// device change; Wine's own query opens it for each query).
struct LiveState {
    ProcFile diskstats{L"Z:\\proc\\diskstats"};
    ProcFile mountinfo{L"Z:\\proc\\self\\mountinfo"};
    LiveMapping mapping;
    bool mapped = false;
};

LiveState& LiveDisks()
{
    static LiveState state;
    return state;
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// /sys/block through Wine's Z: drive.
class SysBlock final : public BlockTopology {
public:
    bool IsWholeDevice(const std::string& name) override { return Exists(Path(name)); }
    bool HasPartition(const std::string& disk, const std::string& partition) override
    {
        return Exists(Path(disk) + L"\\" + FromAscii(partition));
    }
    std::vector<std::string> Slaves(const std::string& name) override
    {
        std::vector<std::string> slaves;
        WIN32_FIND_DATAW found;
        FindHandle search(FindFirstFileW((Path(name) + L"\\slaves\\*").c_str(), &found));
        if (!search)
            return slaves;
        do {
            if (std::wcscmp(found.cFileName, L".") != 0 && std::wcscmp(found.cFileName, L"..") != 0)
                slaves.push_back(ToUtf8(found.cFileName));
        } while (FindNextFileW(search.Get(), &found));
        return slaves;
    }

private:
    static std::wstring Path(const std::string& name) { return L"Z:\\sys\\block\\" + FromAscii(name); }
};

std::vector<WineDrive> ReadDrives()
{
    std::vector<WineDrive> drives;
    RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProviderDrivesKey, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return drives;
    for (DWORD index = 0; index < 256; ++index) {
        wchar_t name[16];
        DWORD nameLength = 16;
        const LONG result = RegEnumValueW(key.Get(), index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS)
            continue;  // a name too long to be a drive
        wchar_t letter = name[0] & ~0x20;
        if (nameLength != 2 || name[1] != L':' || letter < L'A' || letter > L'Z')
            continue;
        const std::string directory = ToUtf8(ReadString(key.Get(), name));
        if (!directory.empty() && directory.front() == '/')
            drives.push_back({static_cast<char>(letter), directory});
    }
    return drives;
}

// What the registration asks for: read when the provider is opened, or at the
// first collect of a caller that does not open it.
struct Registration {
    std::wstring mode;
    std::wstring scriptFile;
    bool read = false;
};

Registration& CurrentRegistration()
{
    static Registration registration;
    return registration;
}

std::mutex& Guard()
{
    static std::mutex guard;
    return guard;
}

void ReadRegistration()
{
    Registration& registration = CurrentRegistration();
    registration = {};
    registration.read = true;
    RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProviderServiceKey, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return;
    registration.mode = ReadString(key.Get(), kProviderModeValue);
    registration.scriptFile = ReadString(key.Get(), kProviderScriptFileValue);
}

// False when the mode serves no disks at all (no objects are answered).
bool LoadDisks(DiskSet& set)
{
    const std::lock_guard<std::mutex> lock(Guard());
    if (!CurrentRegistration().read)
        ReadRegistration();
    const Registration& registration = CurrentRegistration();
    std::string text;
    if (registration.mode == kProviderModeScripted)
        return !registration.scriptFile.empty() && ReadWholeFile(registration.scriptFile, kMaxScriptBytes, text) &&
               ParseDiskScript(text, set);
    if (registration.mode == kProviderModeLive) {
        LiveState& live = LiveDisks();
        if (!live.diskstats.Read(text))
            return false;
        const std::vector<BlockStats> stats = ParseDiskStats(text);
        std::string mountinfo;
        live.mountinfo.Read(mountinfo);
        if (!live.mapped || !MappingFits(live.mapping, stats, mountinfo)) {
            SysBlock sys;
            live.mapping = MapLiveDisks(stats, mountinfo, ReadDrives(), sys);
            live.mapped = true;
        }
        set = BuildLiveDiskSet(stats, live.mapping);
        return true;
    }
    return false;
}

bool Readable(const MEMORY_BASIC_INFORMATION& info)
{
    constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                                PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    return info.State == MEM_COMMIT && (info.Protect & kReadable) != 0 &&
           (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) == 0;
}

// How many bytes in front of the pointer are readable, given that `counted`
// are: one page more when the page before them is committed and readable.
std::size_t ReadableBefore(const std::uint8_t* pointer, std::size_t counted)
{
    const std::uintptr_t before = reinterpret_cast<std::uintptr_t>(pointer) - counted;
    MEMORY_BASIC_INFORMATION info;
    if (before == 0 || VirtualQuery(reinterpret_cast<void*>(before - 1), &info, sizeof info) != sizeof info ||
        !Readable(info))
        return counted;
    return reinterpret_cast<std::uintptr_t>(pointer) - reinterpret_cast<std::uintptr_t>(info.BaseAddress);
}

// Where the objects go, looking further back for the block only while it is
// not found: usually the pointer's own page holds it.
Placement PlaceAfterBlock(std::uint8_t* given, std::size_t room)
{
    for (std::size_t readable = 0;;) {
        const std::size_t more = ReadableBefore(given, readable);
        const Placement placement = PlaceObjects(given, room, more);
        if (placement.blockFound || more == readable || more >= kMaxBlockSearch)
            return placement;
        readable = more;
    }
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI OpenQorvelDisks(LPWSTR)
{
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&OpenQorvelDisks), &self);
    const std::lock_guard<std::mutex> lock(Guard());
    ReadRegistration();
    LiveDisks().mapped = false;
    return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) DWORD WINAPI
    CollectQorvelDisks(LPWSTR query, LPVOID* data, LPDWORD size, LPDWORD objectTypes)
{
    if (!data || !*data || !size || !objectTypes)
        return ERROR_INVALID_PARAMETER;
    const DWORD offered = *size;
    *size = 0;
    *objectTypes = 0;
    try {
        const ObjectRequest request =
            ParseQuery(query ? std::u16string_view(reinterpret_cast<const char16_t*>(query)) : std::u16string_view());
        DiskSet set;
        if ((!request.physical && !request.logical) || !LoadDisks(set))
            return ERROR_SUCCESS;
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        std::uint32_t count = 0;
        const std::vector<std::uint8_t> bytes =
            BuildDiskObjects(set, request, {Now().QuadPart, frequency.QuadPart}, &count);

        auto* given = static_cast<std::uint8_t*>(*data);
        const Placement placement = PlaceAfterBlock(given, offered);
        if (bytes.size() > placement.room)
            return ERROR_MORE_DATA;
        std::memcpy(placement.start, bytes.data(), bytes.size());
        *data = placement.start + bytes.size();
        *size = static_cast<DWORD>(bytes.size());
        *objectTypes = count;
        return ERROR_SUCCESS;
    } catch (...) {
        // Out of memory: answer no disks rather than take the caller down.
        *size = 0;
        *objectTypes = 0;
        return ERROR_SUCCESS;
    }
}

extern "C" __declspec(dllexport) DWORD WINAPI CloseQorvelDisks()
{
    return ERROR_SUCCESS;
}
