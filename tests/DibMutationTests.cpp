// tests/DibMutationTests.cpp
//
// Randomly damaged BMP files: each is read at a random position of a real file, and an
// image that is accepted must draw, write, read back and write again the same bytes.
// Run under Wine's heap checking, an overrun of any block shows up in the output.
// AUTOVANE_DIB_MUTATIONS sets the number of files (a few thousand by default),
// AUTOVANE_DIB_SEED the random sequence.
#include "DibTestUtil.h"
#include "graphics/Dib.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace {

unsigned long EnvironmentNumber(const char* name, unsigned long fallback)
{
    char text[32] = {};
    const DWORD length = GetEnvironmentVariableA(name, text, sizeof(text));
    return length > 0 && length < sizeof(text) ? std::strtoul(text, nullptr, 10) : fallback;
}

std::vector<Bytes> Seeds()
{
    std::vector<Bytes> seeds;
    const struct {
        int width, height, bits;
        uint32_t clrUsed;
        bool topDown;
    } shapes[] = {
        {33, 2, 1, 0, false}, {5, 3, 4, 5, false}, {4, 3, 8, 0, false}, {3, 2, 16, 0, false},
        {5, 3, 24, 0, true}, {2, 2, 32, 0, false}, {7, 1, 8, 16, true},
    };
    for (const auto& s : shapes) {
        BmpSpec spec;
        spec.width = s.width;
        spec.height = s.height;
        spec.bitCount = s.bits;
        spec.clrUsed = s.clrUsed;
        spec.topDown = s.topDown;
        seeds.push_back(MakeBmp(spec));
    }
    // Run-length data at 8 and 4 bits.
    BmpSpec rle8;
    rle8.width = 4;
    rle8.height = 2;
    rle8.bitCount = 8;
    Bytes bytes = MakeBmp(rle8);
    bytes.resize(1078);
    for (uint8_t b : {2, 5, 2, 7, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1})
        bytes.push_back(b);
    WriteLE32(bytes, 2, static_cast<uint32_t>(bytes.size()));
    WriteLE32(bytes, 30, 1);
    seeds.push_back(bytes);
    BmpSpec rle4 = rle8;
    rle4.bitCount = 4;
    bytes = MakeBmp(rle4);
    bytes.resize(54 + 64);
    for (uint8_t b : {4, 0x12, 0, 0, 0, 4, 0x34, 0x56, 0, 1})
        bytes.push_back(b);
    WriteLE32(bytes, 2, static_cast<uint32_t>(bytes.size()));
    WriteLE32(bytes, 30, 2);
    seeds.push_back(bytes);
    return seeds;
}

class Mutator {
public:
    explicit Mutator(unsigned long seed) : m_random(seed) {}

    Bytes Damage(Bytes bytes)
    {
        const int changes = 1 + Below(4);
        for (int i = 0; i < changes; ++i) {
            switch (Below(6)) {
            case 0:  // a byte anywhere, most often in the headers
                if (!bytes.empty())
                    bytes[Below(2) ? Below(54) % bytes.size() : Below(bytes.size())] =
                        static_cast<uint8_t>(Below(256));
                break;
            case 1:  // a header field set to a value that tends to break arithmetic
                if (bytes.size() >= 54)
                    SetField(bytes);
                break;
            case 2:  // cut short
                bytes.resize(Below(bytes.size() + 1));
                break;
            case 3:  // more bytes at the end
                for (size_t n = Below(80); n > 0; --n)
                    bytes.push_back(static_cast<uint8_t>(Below(256)));
                break;
            case 4:  // one bit
                if (!bytes.empty())
                    bytes[Below(bytes.size())] ^= static_cast<uint8_t>(1u << Below(8));
                break;
            default:  // a block of zeros or 0xFF
                if (!bytes.empty()) {
                    const size_t at = Below(bytes.size());
                    const size_t n = std::min<size_t>(Below(16), bytes.size() - at);
                    std::fill_n(bytes.begin() + at, n, Below(2) ? 0 : 0xFF);
                }
                break;
            }
        }
        return bytes;
    }

    size_t Below(size_t n) { return n ? std::uniform_int_distribution<size_t>(0, n - 1)(m_random) : 0; }

private:
    void SetField(Bytes& bytes)
    {
        static const struct {
            size_t offset;
            int size;
        } fields[] = {{2, 4}, {10, 4}, {14, 4}, {18, 4}, {22, 4}, {26, 2},
                      {28, 2}, {30, 4}, {34, 4}, {46, 4}, {50, 4}};
        const auto& field = fields[Below(std::size(fields))];
        const uint32_t size = static_cast<uint32_t>(bytes.size());
        const uint32_t values[] = {0, 1, 2, 4, 8, 16, 24, 32, 40, 54, 255, 256, 257, 1078,
                                   size, size - 1, size + 1, 0x7FFFFFFF, 0x80000000, 0x80000001,
                                   0xFFFFFFFF, 0xFFFFFFFE, 0x10000, 0x40000000,
                                   static_cast<uint32_t>(Below(0x10000))};
        const uint32_t value = values[Below(std::size(values))];
        if (field.size == 2)
            WriteLE16(bytes, field.offset, static_cast<uint16_t>(value));
        else
            WriteLE32(bytes, field.offset, value);
    }

    std::mt19937 m_random;
};

// The whole content of an open file.
Bytes FileContents(CFile& file)
{
    Bytes bytes(static_cast<size_t>(file.GetLength()));
    file.Seek(0, CFile::begin);
    EXPECT_EQ(bytes.size(), file.Read(bytes.data(), static_cast<UINT>(bytes.size())));
    return bytes;
}

void Replace(CFile& file, const Bytes& bytes)
{
    file.Seek(0, CFile::begin);
    if (!bytes.empty())
        file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    SetEndOfFile(file.m_hFile);
}

// The pixel bytes written are the file's own, from bfOffBits up to its stated size or its
// end, followed by zeros where the file had fewer than the rows need; never anything else.
void ExpectPixelsFromTheFile(const Bytes& file, size_t position, const Bytes& written)
{
    const uint32_t offBits = ReadLE32(file, position + 10);
    const uint32_t fileSize = ReadLE32(file, position + 2);
    const uint64_t available = file.size() - position - offBits;
    const uint64_t stated = fileSize > offBits ? fileSize - offBits : available;
    const uint64_t fromFile = std::min(stated, available);
    const uint32_t writtenOffset = ReadLE32(written, 10);
    for (size_t k = 0; writtenOffset + k < written.size(); ++k) {
        const uint8_t expected = k < fromFile ? file[position + offBits + k] : 0;
        ASSERT_EQ(expected, written[writtenOffset + k]) << "pixel byte " << k;
    }
}

bool HeapsAreSound()
{
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < count && i < 64; ++i)
        if (!HeapValidate(heaps[i], 0, nullptr))
            return false;
    return true;
}

TEST(DibMutationTest, DamagedFilesAreRefusedOrHeldSafely)
{
    const unsigned long mutations = EnvironmentNumber("AUTOVANE_DIB_MUTATIONS", 3000);
    const unsigned long seed = EnvironmentNumber("AUTOVANE_DIB_SEED", 20240611);
    const std::vector<Bytes> seeds = Seeds();
    Mutator mutator(seed);
    ScratchFile inPath("mutated.bin");
    ScratchFile outPath("rewritten.bmp");
    CFile in;
    CFile out;
    ASSERT_TRUE(in.Open(inPath.Path(), CFile::modeCreate | CFile::modeReadWrite));
    ASSERT_TRUE(out.Open(outPath.Path(), CFile::modeCreate | CFile::modeReadWrite));
    Canvas canvas(16, 16);
    unsigned long accepted = 0;
    for (unsigned long n = 0; n < mutations; ++n) {
        SCOPED_TRACE(testing::Message() << "mutation " << n << " of seed " << seed);
        Bytes bytes = mutator.Damage(seeds[mutator.Below(seeds.size())]);
        const size_t position = mutator.Below(4) == 0 ? mutator.Below(64) : 0;
        bytes.insert(bytes.begin(), position, 0x5A);
        Replace(in, bytes);
        in.Seek(static_cast<LONGLONG>(position), CFile::begin);

        CDib dib;
        if (!dib.Read(&in)) {
            ASSERT_EQ(nullptr, dib.GetInfo());
            ASSERT_EQ(nullptr, dib.GetBits());
            continue;
        }
        ++accepted;
        ASSERT_NE(nullptr, dib.GetInfo());
        ASSERT_NE(nullptr, dib.GetBits());
        dib.Draw(&canvas.DC(), 0, 0);
        const RECT region = {0, 0, 8, 8};
        dib.DrawRegion(&canvas.DC(), region, region);

        Replace(out, {});
        ASSERT_TRUE(dib.Write(&out));
        const Bytes written = FileContents(out);
        ExpectPixelsFromTheFile(bytes, position, written);
        CDib again;
        out.Seek(0, CFile::begin);
        ASSERT_TRUE(again.Read(&out)) << "our own file is refused";
        Replace(out, {});
        ASSERT_TRUE(again.Write(&out));
        ASSERT_EQ(written, FileContents(out)) << "a second write differs";

        if (n % 100 == 99) {
            ASSERT_TRUE(HeapsAreSound());
        }
    }
    EXPECT_TRUE(HeapsAreSound());
    std::printf("%lu damaged files, %lu held as images\n", mutations, accepted);
    EXPECT_GT(accepted, 0u);
}

}  // namespace
