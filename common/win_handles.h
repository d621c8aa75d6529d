#pragma once
// Small owners for Win32 handles so that nothing leaks on an early return.
#include <windows.h>

#include <utility>

#include "common/live_counts.h"

// An open registry key, closed with RegCloseKey.
class RegKey {
public:
    RegKey() = default;
    ~RegKey() { Reset(); }
    RegKey(RegKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    RegKey& operator=(RegKey&& other) noexcept
    {
        if (this != &other) {
            Reset();
            key_ = std::exchange(other.key_, nullptr);
        }
        return *this;
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    HKEY Get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }
    HKEY* Receive()
    {
        Reset();
        return &key_;
    }
    void Reset()
    {
        if (key_)
            RegCloseKey(std::exchange(key_, nullptr));
    }

private:
    HKEY key_ = nullptr;
};

// A kernel handle closed with CloseHandle; INVALID_HANDLE_VALUE and null both
// mean "none".
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : handle_(Valid(handle) ? handle : nullptr)
    {
        if (handle_)
            ++Live().handles;
    }
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset(HANDLE handle = nullptr)
    {
        if (handle_) {
            CloseHandle(handle_);
            --Live().handles;
        }
        handle_ = Valid(handle) ? handle : nullptr;
        if (handle_)
            ++Live().handles;
    }

private:
    static bool Valid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    HANDLE handle_ = nullptr;
};

// A directory search handle from FindFirstFileW, closed with FindClose.
class FindHandle {
public:
    FindHandle() = default;
    explicit FindHandle(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~FindHandle() { Reset(); }
    FindHandle(FindHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    FindHandle& operator=(FindHandle&& other) noexcept
    {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    HANDLE Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset()
    {
        if (handle_)
            FindClose(std::exchange(handle_, nullptr));
    }

private:
    HANDLE handle_ = nullptr;
};
