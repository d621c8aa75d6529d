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

// A window, destroyed with DestroyWindow. A window that is being destroyed by
// other means (its procedure hears WM_DESTROY) is let go of with Release.
class UniqueWindow {
public:
    UniqueWindow() = default;
    explicit UniqueWindow(HWND window) : window_(window) {}
    ~UniqueWindow() { Reset(); }
    UniqueWindow(UniqueWindow&& other) noexcept : window_(std::exchange(other.window_, nullptr)) {}
    UniqueWindow& operator=(UniqueWindow&& other) noexcept
    {
        if (this != &other) {
            Reset();
            window_ = std::exchange(other.window_, nullptr);
        }
        return *this;
    }
    UniqueWindow(const UniqueWindow&) = delete;
    UniqueWindow& operator=(const UniqueWindow&) = delete;

    HWND Get() const { return window_; }
    explicit operator bool() const { return window_ != nullptr; }
    HWND Release() { return std::exchange(window_, nullptr); }
    void Reset(HWND window = nullptr)
    {
        if (const HWND old = std::exchange(window_, window))
            DestroyWindow(old);
    }

private:
    HWND window_ = nullptr;
};

// A device notification registration, unregistered with UnregisterDeviceNotification.
class UniqueDeviceNotification {
public:
    UniqueDeviceNotification() = default;
    explicit UniqueDeviceNotification(HDEVNOTIFY notification) : notification_(notification) {}
    ~UniqueDeviceNotification() { Reset(); }
    UniqueDeviceNotification(UniqueDeviceNotification&& other) noexcept
        : notification_(std::exchange(other.notification_, nullptr))
    {
    }
    UniqueDeviceNotification& operator=(UniqueDeviceNotification&& other) noexcept
    {
        if (this != &other) {
            Reset();
            notification_ = std::exchange(other.notification_, nullptr);
        }
        return *this;
    }
    UniqueDeviceNotification(const UniqueDeviceNotification&) = delete;
    UniqueDeviceNotification& operator=(const UniqueDeviceNotification&) = delete;

    HDEVNOTIFY Get() const { return notification_; }
    void Reset()
    {
        if (notification_)
            UnregisterDeviceNotification(std::exchange(notification_, nullptr));
    }

private:
    HDEVNOTIFY notification_ = nullptr;
};
