#include "tools/perfprov/block_placement.h"

#include <cstring>

#include "sources/perf_layout.h"

namespace {

using namespace perflayout;

constexpr std::size_t kWineShift = kBlockSize;  // Wine's pointer lies this far past the place

std::uint32_t Read32(const std::uint8_t* at)
{
    std::uint32_t value = 0;
    std::memcpy(&value, at, 4);
    return value;
}

// A block whose objects end where the given pointer lies (or, as Wine calls
// providers, 88 bytes before it).
bool IsOurBlock(const std::uint8_t* block, const std::uint8_t* given)
{
    static const char16_t kSignature[4] = {u'P', u'E', u'R', u'F'};
    if (std::memcmp(block + kBlockSignature, kSignature, sizeof kSignature) != 0)
        return false;
    const std::uint32_t total = Read32(block + kBlockTotalByteLength);
    const std::uint32_t header = Read32(block + kBlockHeaderLength);
    if (Read32(block + kBlockLittleEndian) != 1 || header < kBlockSize || total < header)
        return false;
    const std::size_t distance = static_cast<std::size_t>(given - block);
    return distance == total || distance == total + kWineShift;
}

}  // namespace

Placement PlaceObjects(std::uint8_t* given, std::size_t givenRoom, std::size_t readableBefore)
{
    Placement placement{given, givenRoom, false};
    const std::size_t limit = readableBefore < kMaxBlockSearch ? readableBefore : kMaxBlockSearch;
    // The block holds at least its own header in front of the pointer. Fields
    // are 2-byte aligned at least (UTF-16 signature).
    for (std::size_t back = kBlockSize; back <= limit; back += 2) {
        std::uint8_t* block = given - back;
        if (IsOurBlock(block, given)) {
            placement.start = block + Read32(block + kBlockTotalByteLength);
            placement.blockFound = true;
            break;
        }
    }
    return placement;
}
