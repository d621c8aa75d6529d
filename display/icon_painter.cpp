#include "display/icon_painter.h"

#include <algorithm>

#include "common/dpi.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr std::uint32_t kColourBits = 0x00FFFFFF;
constexpr std::uint32_t kOpaque = 0xFF000000;

// The pixel font: 3 × 5 cells a character, rows top first, three bits a row
// (the left cell the highest).
constexpr std::uint16_t kDigits[10] = {
    0b111'101'101'101'111, 0b010'110'010'010'111, 0b111'001'111'100'111, 0b111'001'111'001'111, 0b101'101'111'001'001,
    0b111'100'111'001'111, 0b111'100'111'101'111, 0b111'001'001'010'010, 0b111'101'111'101'111, 0b111'101'111'001'111};
constexpr std::uint16_t kLetters[26] = {
    0b010'101'111'101'101, 0b110'101'110'101'110, 0b011'100'100'100'011, 0b110'101'101'101'110,  // A-D
    0b111'100'110'100'111, 0b111'100'110'100'100, 0b011'100'101'101'011, 0b101'101'111'101'101,  // E-H
    0b111'010'010'010'111, 0b001'001'001'101'010, 0b101'101'110'101'101, 0b100'100'100'100'111,  // I-L
    0b101'111'111'101'101, 0b110'101'101'101'101, 0b010'101'101'101'010, 0b110'101'110'100'100,  // M-P
    0b010'101'101'110'011, 0b110'101'110'101'101, 0b011'100'010'001'110, 0b111'010'010'010'010,  // Q-T
    0b101'101'101'101'111, 0b101'101'101'101'010, 0b101'101'111'111'101, 0b101'101'010'101'101,  // U-X
    0b101'101'010'010'010, 0b111'001'010'100'111};                                               // Y-Z

std::uint16_t Glyph(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return kDigits[c - L'0'];
    if (c >= L'a' && c <= L'z')
        c = static_cast<wchar_t>(c - L'a' + L'A');
    return c >= L'A' && c <= L'Z' ? kLetters[c - L'A'] : 0;
}

}  // namespace

createIconHelper::createIconHelper(HDC dc, int size) : width_(size), height_(size)
{
    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = width_;
    header.bV5Height = height_;  // bottom-up rows
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    bitmap_.Reset(
        CreateDIBSection(dc, reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = bitmap_ ? static_cast<std::uint32_t*>(bits) : nullptr;
    dc_ = CreateCompatibleDC(dc);
}

createIconHelper::~createIconHelper()
{
    if (dc_)
        DeleteDC(dc_);
}

HICON createIconHelper::MakeIcon()
{
    if (!bitmap_ || !bits_ || !dc_)
        return nullptr;
    const int saved = SaveDC(dc_);
    if (!saved)
        return nullptr;
    SelectObject(dc_, bitmap_.Get());
    Paint();
    RestoreDC(dc_, saved);  // the DIB section is free again
    GdiFlush();

    std::vector<BYTE> mask;
    ApplyTransparency(mask);
    const GdiObject<HBITMAP> maskBitmap(CreateBitmap(width_, height_, 1, 1, mask.data()));
    if (!maskBitmap)
        return nullptr;
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = maskBitmap.Get();
    info.hbmColor = bitmap_.Get();
    return CreateIconIndirect(&info);
}

void createIconHelper::ApplyTransparency(std::vector<BYTE>& mask) const
{
    // The mask matches the alpha, so the icon also draws right where the
    // alpha is not used; transparent pixels are black for the same reason.
    const int stride = (width_ + 15) / 16 * 2;
    mask.assign(static_cast<std::size_t>(stride) * height_, 0);
    const std::uint32_t key = bits_[0] & kColourBits;  // the bottom-left pixel, background white
    for (int y = 0; y < height_; ++y) {
        std::uint32_t* row = bits_ + static_cast<std::size_t>(height_ - 1 - y) * width_;
        for (int x = 0; x < width_; ++x) {
            if (makeTransparent && (row[x] & kColourBits) == key) {
                row[x] = 0;
                mask[static_cast<std::size_t>(y) * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
            } else {
                row[x] = (row[x] & kColourBits) | kOpaque;
            }
        }
    }
}

void rwCreateIconHelper::Paint()
{
    const int w = width_;
    const float h = static_cast<float>(height_);
    PatBlt(dc_, 0, 0, w, height_, WHITENESS);
    SelectObject(dc_, GetStockObject(DC_PEN));
    SelectObject(dc_, GetStockObject(DC_BRUSH));
    const int top = static_cast<int>(h * 0.15f);
    const int bottom = static_cast<int>(h * 0.85f);
    const float share = std::clamp(fraction, 0.0f, 1.0f);
    const int mid = static_cast<int>(h * 0.85f - (h * 0.85f - h * 0.15f) * share);
    SetDCBrushColor(dc_, topColour);
    PatBlt(dc_, 0, top, w, bottom - top, PATCOPY);
    SetDCBrushColor(dc_, bottomColour);
    PatBlt(dc_, 0, mid, w, bottom - mid, PATCOPY);
    for (const POINT corner : {POINT{0, top}, POINT{0, bottom - 1}, POINT{w - 1, top}, POINT{w - 1, bottom - 1}})
        SetPixelV(dc_, corner.x, corner.y, kWhite);
    PaintLedLabel(dc_, label, w, top, bottom, (top + bottom) / 2 < mid ? topColour : bottomColour);
}

void PaintLedLabel(HDC dc, std::wstring_view text, int size, int top, int bottom, COLORREF under)
{
    const int count = static_cast<int>(std::min<std::size_t>(text.size(), 64));
    const int columns = 4 * count - 1;  // three cells a character, one between two
    const int cell = count > 0 ? std::min(size / columns, (bottom - top) / 5) : 0;
    if (cell < 1)
        return;
    const int left = (size - columns * cell) / 2;
    const int upper = top + (bottom - top - 5 * cell) / 2;
    const int luminance = (299 * GetRValue(under) + 587 * GetGValue(under) + 114 * GetBValue(under)) / 1000;
    SelectObject(dc, GetStockObject(DC_BRUSH));
    SetDCBrushColor(dc, luminance >= 128 ? RGB(0, 0, 0) : kLedLabelLight);
    for (int i = 0; i < count; ++i) {
        const std::uint16_t glyph = Glyph(text[static_cast<std::size_t>(i)]);
        for (int row = 0; row < 5; ++row) {
            for (int column = 0; column < 3; ++column) {
                if ((glyph >> (14 - 3 * row - column)) & 1)
                    PatBlt(dc, left + (4 * i + column) * cell, upper + row * cell, cell, cell, PATCOPY);
            }
        }
    }
}

LedIcons BuildLedIcons(COLORREF read, COLORREF write, COLORREF idle, int size, std::wstring_view label)
{
    LedIcons icons;
    icons.size = size;
    for (int i = 0; i < kLedIconCount; ++i) {
        rwCreateIconHelper painter(nullptr, size);
        painter.label = label;
        painter.topColour = read;
        painter.bottomColour = write;
        painter.fraction = static_cast<float>(i) * 0.125f;
        icons.shares.emplace_back(painter.MakeIcon());
    }
    rwCreateIconHelper painter(nullptr, size);
    painter.label = label;
    painter.topColour = idle;
    painter.bottomColour = idle;
    icons.idle.Reset(painter.MakeIcon());
    const bool complete = icons.idle && std::all_of(icons.shares.begin(), icons.shares.end(),
                                                    [](const UniqueIcon& icon) { return static_cast<bool>(icon); });
    return complete ? std::move(icons) : LedIcons{};
}

HICON PickLedIcon(const LedIcons& icons, std::uint64_t read, std::uint64_t write)
{
    if (icons.Empty())
        return nullptr;
    if (read == 0 && write == 0)
        return icons.idle.Get();
    const double ratio = static_cast<double>(write) / (static_cast<double>(read) + static_cast<double>(write));
    const auto index = static_cast<std::size_t>((icons.shares.size() - 1) * ratio);
    return icons.shares[std::min(index, icons.shares.size() - 1)].Get();
}

int LedIconSizeForDpi(UINT dpi)
{
    if (dpi == USER_DEFAULT_SCREEN_DPI || dpi == 0)
        return 16;
    const int size = SystemMetricForDpi(SM_CXSMICON, dpi);
    return size > 0 ? size : 16;
}

UINT TrayDpi(HWND reference)
{
    return DpiOfWindow(reference);
}
