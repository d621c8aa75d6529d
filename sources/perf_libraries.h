#pragma once
// Under Wine, the performance data asked of HKEY_PERFORMANCE_DATA comes from
// the libraries registered under each service's Performance key, and Wine's
// query walks the services and loads, opens, calls and closes every one of
// them again on each query. These are the same libraries called in-process
// instead: each is loaded and opened once, and a query calls each Collect and
// lays the answers out after one PERF_DATA_BLOCK as the system does. A library
// that is not named by an absolute path, does not load, lacks a function, fails
// to open, answers an error or data outside the room it was given, is left out
// of that query, and of every later one once it failed kMaxFailures times in a
// row; one that raises an exception its own handlers do not handle, or writes
// into the slack past its room (a canary), at once.
//
// What the guard cannot catch: a fault while the library loads (its DllMain
// runs unguarded), a library that never returns (the query hangs with it), a
// write past the slack or anywhere else in the process, and the locks or
// other state a faulting library leaves behind (a later call of another of
// its functions, such as Close, may wait or fault: Close is not called for a
// library that faulted or wrote past its room).
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One registered library: its file and the names of its three functions.
struct RegisteredLibrary {
    std::wstring file;
    std::string open;
    std::string collect;
    std::string close;
};

// The libraries registered in this system's services key.
std::vector<RegisteredLibrary> RegisteredPerformanceLibraries();

// Whether the program runs under Wine (its ntdll exports wine_get_version).
bool RunningUnderWine();

class PerformanceLibraries {
public:
    static constexpr int kMaxFailures = 3;

    PerformanceLibraries() = default;
    ~PerformanceLibraries();
    PerformanceLibraries(const PerformanceLibraries&) = delete;
    PerformanceLibraries& operator=(const PerformanceLibraries&) = delete;

    // Loads and opens the libraries; those that cannot be used are left out.
    // Queries are answered from then on, also with no library left.
    void Load(const std::vector<RegisteredLibrary>& libraries);
    // Closes and frees every library; Active() is false afterwards.
    void Release();

    bool Active() const { return active_; }
    // How many libraries are still asked.
    std::size_t InUse() const;

    // As RegQueryValueExW(HKEY_PERFORMANCE_DATA, items): the block and the
    // objects of every library in the buffer of *size bytes; ERROR_SUCCESS
    // with *size the bytes answered, or ERROR_MORE_DATA when they do not fit.
    // The buffer holds `slack` bytes more, which no library may write.
    LONG Query(const wchar_t* items, std::uint8_t* buffer, DWORD* size, DWORD slack = 0);

private:
    using OpenFunction = DWORD(WINAPI*)(LPWSTR);
    using CollectFunction = DWORD(WINAPI*)(LPWSTR, LPVOID*, LPDWORD, LPDWORD);
    using CloseFunction = DWORD(WINAPI*)();

    struct Library {
        HMODULE module = nullptr;
        CollectFunction collect = nullptr;
        CloseFunction close = nullptr;
        int failures = 0;      // in a row
        bool left = false;     // left out for good
        bool faulted = false;  // ... after an exception or a write past its room
    };

    // The objects of one library after `offset`: their bytes (0 when the
    // library is left out of this query), or false when they do not fit.
    bool CollectFrom(Library& library, const wchar_t* items, std::uint8_t* buffer, DWORD size, DWORD slack,
                     DWORD offset, DWORD* bytes, DWORD* objects);

    std::vector<Library> libraries_;
    std::wstring systemName_;  // the computer's name, read once
    bool active_ = false;
};
