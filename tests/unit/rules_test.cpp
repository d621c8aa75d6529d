// The bounded copy every text uses, built natively with the sanitizers.
#include <gtest/gtest.h>

#include "common/bounded_text.h"

namespace {

// A text copied after the first characters of a fixed buffer: cut at its end,
// never splitting a surrogate pair, always terminated, nothing past the buffer.
TEST(BoundedText, CopiesAreCutAtTheEndOfTheBuffer)
{
    const std::wstring text =
        L"ab\xD83D\xDCBE"
        L"cd";
    struct Case {
        std::size_t capacity;
        std::size_t at;
        std::wstring expected;
    };
    const Case cases[] = {{10, 2, L"xx" + text}, {6, 2, L"xxab"}, {5, 2, L"xxab"}, {3, 2, L"xx"}, {3, 7, L"xx"}};
    for (const Case& c : cases) {
        std::wstring buffer(12, L'#');  // the text before `at` written as "x"
        buffer.replace(0, std::min(c.at, c.capacity), std::min(c.at, c.capacity), L'x');
        CopyBounded(text, buffer.data(), c.capacity, c.at);
        EXPECT_EQ(c.expected, std::wstring(buffer.c_str())) << c.capacity << " " << c.at;
        EXPECT_EQ(std::wstring(12 - c.capacity, L'#'), buffer.substr(c.capacity)) << c.capacity;
    }
    std::wstring untouched(2, L'#');
    CopyBounded(text, untouched.data(), 0);
    EXPECT_EQ(L"##", untouched);
}

}  // namespace
