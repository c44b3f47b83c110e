// tests/DibMutationTests.cpp
//
// Randomly damaged BMP files: each is read at a random position of a real file, and an
// image that is accepted, written after the file's end, must be held safely (see
// HeldSafely); an empty object writes nothing. Run under Wine's heap
// checking, an overrun of any block shows up in the output. AUTOVANE_DIB_MUTATIONS sets
// the number of files (3000 by default), AUTOVANE_DIB_SEED the random sequence.
#include "DibTestUtil.h"

#include <cstdlib>
#include <iterator>
#include <random>

namespace {

unsigned long EnvironmentNumber(const char* name, unsigned long fallback)
{
    char text[32] = {};
    const DWORD length = GetEnvironmentVariableA(name, text, sizeof(text));
    return length > 0 && length < sizeof(text) ? std::strtoul(text, nullptr, 10) : fallback;
}

TEST(DibMutationTest, DamagedFilesAreRefusedOrHeldSafely)
{
    const unsigned long mutations = EnvironmentNumber("AUTOVANE_DIB_MUTATIONS", 3000);
    const unsigned long seed = EnvironmentNumber("AUTOVANE_DIB_SEED", 20240611);
    const Bytes seeds[] = {
        MakeBmp({33, 2, 1}), MakeBmp({5, 3, 4, 5}), MakeBmp({4, 3, 8}), MakeBmp({3, 2, 16}),
        MakeBmp({5, 3, 24, 0, ~0u, 0, true}), MakeBmp({2, 2, 32}), MakeBmp({7, 1, 8, 16, ~0u, 0, true}),
        MakeRle({4, 2, 8}, {2, 5, 2, 7, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1}),
        MakeRle({4, 2, 4}, {4, 0x12, 0, 0, 0, 4, 0x34, 0x56, 0, 1})};
    const uint32_t fields[][2] = {{2, 4},  {10, 4}, {14, 4}, {18, 4}, {22, 4}, {26, 2},
                                  {28, 2}, {30, 4}, {34, 4}, {46, 4}, {50, 4}};
    std::mt19937 random(seed);
    auto below = [&](size_t n) { return n ? std::uniform_int_distribution<size_t>(0, n - 1)(random) : 0; };
    ScratchFile damaged("mutated.bin");
    unsigned long accepted = 0;
    for (unsigned long n = 0; n < mutations; ++n) {
        Bytes bytes = seeds[below(std::size(seeds))];
        for (size_t changes = 1 + below(4); changes > 0; --changes) {
            const size_t at = below(bytes.size()), kind = below(5);
            const uint32_t size = static_cast<uint32_t>(bytes.size());
            // Values that tend to break arithmetic, for a header field.
            const uint32_t values[] = {0, 1, 2, 4, 8, 16, 24, 32, 40, 54, 255, 256, 257, 1078, size, size - 1,
                                       size + 1, 0x7FFFFFFF, 0x80000000, 0x80000001, 0xFFFFFFFF, 0xFFFFFFFE,
                                       0x10000, 0x40000000, static_cast<uint32_t>(below(0x10000))};
            const auto& field = fields[below(std::size(fields))];
            if (kind == 0 && size > 0)  // a byte anywhere, most often in the headers
                bytes[below(2) ? below(54) % size : at] = static_cast<uint8_t>(below(256));
            else if (kind == 1 && size >= 54)
                Put(bytes, field[0], static_cast<int>(field[1]), values[below(std::size(values))]);
            else if (kind == 2)  // cut short
                bytes.resize(below(size + 1));
            else if (kind == 3)  // more bytes at the end
                for (size_t extra = below(80); extra > 0; --extra)
                    bytes.push_back(static_cast<uint8_t>(below(256)));
            else if (kind == 4)  // a block of zeros or 0xFF
                std::fill_n(bytes.begin() + at, std::min<size_t>(below(16), size - at), below(2) ? 0 : 0xFF);
        }
        const size_t position = below(4) == 0 ? below(64) : 0;
        bytes.insert(bytes.begin(), position, 0x5A);
        damaged.Store(bytes);
        // Read at the position, and written after the file's end.
        CDib dib;
        CFile file;
        ASSERT_TRUE(file.Open(damaged.Path(), CFile::modeReadWrite));
        file.Seek(static_cast<LONGLONG>(position), CFile::begin);
        const BOOL read = dib.Read(&file);
        file.Seek(0, CFile::end);
        ASSERT_EQ(read, dib.Write(&file));
        file.Close();
        const Bytes contents = damaged.Contents();
        const Bytes written(contents.begin() + static_cast<ptrdiff_t>(bytes.size()), contents.end());
        ASSERT_TRUE(read ? HeldSafely(dib, bytes, position, written)
                         : testing::AssertionResult(!dib.GetInfo() && !dib.GetBits()))
            << "mutation " << n << " of seed " << seed;
        accepted += read;
        ASSERT_TRUE(n % 100 != 99 || HeapsAreSound()) << "mutation " << n << " of seed " << seed;
    }
    EXPECT_TRUE(HeapsAreSound());
    std::printf("%lu damaged files, %lu held as images\n", mutations, accepted);
    EXPECT_GT(accepted, 0u);
}

}  // namespace
