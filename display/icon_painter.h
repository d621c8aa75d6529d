#pragma once
// The tray LED images: a bar in the read colour with the lower part in the
// write colour in proportion to the write share, rounded corners, on a
// transparent background. Painted once per settings change into memory and
// made into icons; a tick only picks a ready one.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/gdi_handles.h"

// An icon made by CreateIconIndirect, destroyed with DestroyIcon.
class UniqueIcon {
public:
    UniqueIcon() = default;
    explicit UniqueIcon(HICON icon) : icon_(icon)
    {
        if (icon_)
            ++Live().icons;
    }
    ~UniqueIcon() { Reset(); }
    UniqueIcon(UniqueIcon&& other) noexcept : icon_(std::exchange(other.icon_, nullptr)) {}
    UniqueIcon& operator=(UniqueIcon&& other) noexcept
    {
        if (this != &other) {
            Reset();
            icon_ = std::exchange(other.icon_, nullptr);  // counted already
        }
        return *this;
    }
    UniqueIcon(const UniqueIcon&) = delete;
    UniqueIcon& operator=(const UniqueIcon&) = delete;

    HICON Get() const { return icon_; }
    explicit operator bool() const { return icon_ != nullptr; }
    void Reset(HICON icon = nullptr)
    {
        if (icon_) {
            DestroyIcon(icon_);
            --Live().icons;
        }
        icon_ = icon;
        if (icon_)
            ++Live().icons;
    }

private:
    HICON icon_ = nullptr;
};

// Paints into a square 32-bit DIB section with alpha and makes an icon of it.
class createIconHelper {
public:
    // A size × size DIB section and a memory DC compatible with dc (null: the
    // screen). Either may fail to be made; MakeIcon then answers null.
    explicit createIconHelper(HDC dc, int size = 16);
    virtual ~createIconHelper();
    createIconHelper(const createIconHelper&) = delete;
    createIconHelper& operator=(const createIconHelper&) = delete;

    // Paints, makes the key colour (the bottom-left pixel's) fully transparent
    // when asked and answers a new icon; null when anything cannot be made.
    HICON MakeIcon();

    bool makeTransparent = true;
    COLORREF bottomColour = 0;  // the lower (write) part of the bar
    float fraction = 0.0f;      // share of the bar in the bottom colour, 0..1
    COLORREF topColour = 0;

protected:
    virtual void Paint() = 0;

    GdiObject<HBITMAP> bitmap_;
    HDC dc_ = nullptr;
    int width_ = 16;
    int height_ = 16;
    std::uint32_t* bits_ = nullptr;  // the DIB section's pixels, bottom row first

private:
    void ApplyTransparency(std::vector<BYTE>& mask) const;
};

// The read/write bar: rows trunc(0.15 h) up to trunc(0.85 h) in the top colour,
// the lower fraction of them in the bottom colour, its four corners white;
// the label over it (see PaintLedLabel).
class rwCreateIconHelper : public createIconHelper {
public:
    using createIconHelper::createIconHelper;

    std::wstring label;  // digits and letters; none: the bar alone

protected:
    void Paint() override;
};

// Writes text on a bar of rows [top, bottom) of a size-pixel-wide DC in a
// pixel font: each character 3 × 5 cells (digits and letters, lower case as
// upper case, anything else a blank) one cell apart, every cell the largest
// square of whole pixels that lets the text fit the width and the bar's
// height, centred (left and upper when a pixel is left over), in the DC
// brush's colour: black on a light bar colour `under`, light grey
// (kLedLabelLight) on a dark one, never white, the transparent key.
inline constexpr COLORREF kLedLabelLight = RGB(240, 240, 240);
void PaintLedLabel(HDC dc, std::wstring_view text, int size, int top, int bottom, COLORREF under);

// Nine icons, index i showing write share i / 8, and the idle icon. Empty when
// any of them could not be made.
struct LedIcons {
    std::vector<UniqueIcon> shares;
    UniqueIcon idle;
    int size = 0;  // pixels of each side

    bool Empty() const { return shares.empty(); }
};

inline constexpr int kLedIconCount = 9;

// With a label, every image carries it (a drive's tray LED).
LedIcons BuildLedIcons(COLORREF read, COLORREF write, COLORREF idle, int size = 16, std::wstring_view label = {});

// The idle icon when both amounts are 0, otherwise the icon of the write
// share: index trunc(8 × write / (read + write)). Null when icons is empty.
HICON PickLedIcon(const LedIcons& icons, std::uint64_t read, std::uint64_t write);

// The side of the tray LED icons for a DPI: 16 at 96 DPI, otherwise the
// system's small-icon size for that DPI.
int LedIconSizeForDpi(UINT dpi);

// The DPI the notification area is drawn at: that of the monitor of a
// top-level window of the program at the screen's origin (the primary
// monitor), else the screen's.
UINT TrayDpi(HWND reference);
