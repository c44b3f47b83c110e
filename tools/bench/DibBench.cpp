// tools/bench/DibBench.cpp
//
// Times reading and writing a 4096 x 4096 24-bit BMP with CDib against a plain read and
// write of the same bytes through the same file calls, and prints the ratio. Each side
// runs several rounds after a warm-up; the best round of each counts, so that a busy
// machine disturbs the comparison as little as it can.
#include "graphics/Dib.h"
#include "platform/File.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr int kSide = 4096;
constexpr int kRounds = 7;

std::string TempPath(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

void WriteSample(const std::string& path)
{
    const DWORD rowBytes = CDib::AlignedRowBytes(24, kSide);
    const DWORD imageBytes = rowBytes * kSide;
    BITMAPFILEHEADER fileHeader = {0x4D42, 54 + imageBytes, 0, 0, 54};
    BITMAPINFOHEADER info = {sizeof(info), kSide, kSide, 1, 24, BI_RGB, 0, 2835, 2835, 0, 0};
    std::unique_ptr<BYTE[]> pixels(new BYTE[imageBytes]);
    for (DWORD i = 0; i < imageBytes; ++i)
        pixels[i] = static_cast<BYTE>(i * 7 + i / rowBytes);
    CFile file;
    file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite);
    file.Write(&fileHeader, sizeof(fileHeader));
    file.Write(&info, sizeof(info));
    file.Write(pixels.get(), imageBytes);
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

template <class Work>
double Best(Work work)
{
    work();
    double best = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        work();
        QueryPerformanceCounter(&end);
        best = std::min(best, Seconds(start, end));
    }
    return best;
}

}  // namespace

int main()
{
    const std::string source = TempPath("autovane-bench.bmp");
    const std::string target = TempPath("autovane-bench-out.bmp");
    WriteSample(source);

    const double plain = Best([&] {
        CFile in;
        in.Open(source.c_str(), CFile::modeRead);
        const UINT size = static_cast<UINT>(in.GetLength());
        std::unique_ptr<BYTE[]> bytes(new BYTE[size]);
        in.Read(bytes.get(), size);
        CFile out;
        out.Open(target.c_str(), CFile::modeCreate | CFile::modeWrite);
        out.Write(bytes.get(), size);
    });
    const double dib = Best([&] {
        CDib image;
        if (!image.Load(source.c_str()) || !image.Save(target.c_str()))
            std::printf("CDib could not read or write the sample\n");
    });

    std::printf("4096 x 4096 x 24 bits (%lu bytes), best of %d rounds\n",
                static_cast<unsigned long>(54 + CDib::AlignedRowBytes(24, kSide) * kSide), kRounds);
    std::printf("plain read and write: %8.1f ms\n", plain * 1000);
    std::printf("CDib Load and Save:   %8.1f ms\n", dib * 1000);
    std::printf("ratio: %.2f (target at most 1.30)\n", dib / plain);
    DeleteFileA(source.c_str());
    DeleteFileA(target.c_str());
    return dib / plain <= 1.3 ? 0 : 1;
}
