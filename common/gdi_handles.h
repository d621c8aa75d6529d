#pragma once
// Owners for GDI objects, deleted with DeleteObject, so that nothing leaks when
// an object is replaced or its owner goes away.
#include <windows.h>

#include <utility>

template <typename Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle)
    {
        if (handle_)
            ++live_;
    }
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept
    {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset(Handle handle = nullptr)
    {
        if (handle_) {
            DeleteObject(handle_);
            --live_;
        }
        handle_ = handle;
        if (handle_)
            ++live_;
    }

    // How many objects owners of this type hold now. The leak checks compare
    // it before and after (the system's own counts answer 0 under Wine).
    static int Live() { return live_; }

private:
    Handle handle_ = nullptr;
    inline static int live_ = 0;
};

// A brush, for example one made by CreateSolidBrush.
using UniqueBrush = GdiObject<HBRUSH>;
// A font, for example one made by CreateFontIndirectW.
using UniqueFont = GdiObject<HFONT>;
