#pragma once
// Text copied into a caller's fixed buffer, never past its end. No Windows
// headers: this also builds natively.
#include <cstddef>
#include <string_view>

// Copies text into a buffer of `capacity` characters after its first `at`
// characters, cut at the end of the buffer without splitting a surrogate pair,
// and null-terminated. Nothing is written when capacity is 0.
inline void CopyBounded(std::wstring_view text, wchar_t* buffer, std::size_t capacity, std::size_t at = 0)
{
    if (!buffer || capacity == 0)
        return;
    if (at >= capacity)
        at = capacity - 1;
    std::size_t count = text.size() < capacity - 1 - at ? text.size() : capacity - 1 - at;
    // Never leave the first half of a surrogate pair at the cut.
    if (count > 0 && count < text.size() && text[count - 1] >= 0xD800 && text[count - 1] <= 0xDBFF)
        --count;
    text.copy(buffer + at, count);
    buffer[at + count] = L'\0';
}
