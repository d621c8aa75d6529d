#pragma once
// Where a provider's objects belong in the caller's buffer.
//
// By the published layout the objects of each provider follow the
// PERF_DATA_BLOCK and the objects before them: they start at the block's start
// + its TotalByteLength, and the room left runs to the end of the caller's
// buffer. Wine hands the first provider a pointer 88 bytes past that place
// (and tells it of 88 bytes more room than there is), so a reader following the
// layout would see a gap instead of the objects. The provider therefore looks
// for the block in front of the pointer it was given (by its "PERF" signature,
// within a bounded range) and writes where the layout says. Both ways of
// calling agree that the room from the block's start + TotalByteLength is
// the size the provider was told.
// No Windows headers: this also builds natively.
#include <cstddef>
#include <cstdint>

struct Placement {
    std::uint8_t* start = nullptr;  // write the objects here
    std::size_t room = 0;           // at most this many bytes
    bool blockFound = false;        // false: the pointer as given is used
};

// given, givenRoom: the pointer and size the provider was handed.
// readableBefore: how many bytes in front of given may be read (the search
// never looks further back, nor further than kMaxBlockSearch).
inline constexpr std::size_t kMaxBlockSearch = 64u << 10;
Placement PlaceObjects(std::uint8_t* given, std::size_t givenRoom, std::size_t readableBefore);
