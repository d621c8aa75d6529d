#pragma once
// Owners for GDI objects, deleted with DeleteObject, so that nothing leaks when
// an object is replaced or its owner goes away.
#include <windows.h>

#include <utility>

#include "common/live_counts.h"

template <typename Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle)
    {
        if (handle_)
            ++Live().gdiObjects;
    }
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept
    {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);  // counted already
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
            --Live().gdiObjects;
        }
        handle_ = handle;
        if (handle_)
            ++Live().gdiObjects;
    }

private:
    Handle handle_ = nullptr;
};

// A brush, for example one made by CreateSolidBrush.
using UniqueBrush = GdiObject<HBRUSH>;
// A font, for example one made by CreateFontIndirectW.
using UniqueFont = GdiObject<HFONT>;
