// compare_pictures A.png B.png SHARE TOLERANCE: succeeds when both pictures
// have the same size and at least SHARE (0..1) of their pixels are equal,
// each channel within TOLERANCE (of 255). Windows only: reads the pictures
// with GDI+.
#include <windows.h>

#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using namespace Gdiplus::DllExports;

Gdiplus::GpBitmap* load(const char* path) {
    std::wstring wide(path, path + std::char_traits<char>::length(path));
    Gdiplus::GpBitmap* picture = nullptr;
    if (GdipCreateBitmapFromFile(wide.c_str(), &picture) != Gdiplus::Ok) {
        std::fprintf(stderr, "cannot read %s\n", path);
        return nullptr;
    }
    return picture;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: compare_pictures A.png B.png SHARE TOLERANCE\n");
        return 2;
    }
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    int result = 1;
    Gdiplus::GpBitmap* a = load(argv[1]);
    Gdiplus::GpBitmap* b = load(argv[2]);
    UINT aw = 0, ah = 0, bw = 0, bh = 0;
    if (a && b) {
        GdipGetImageWidth(a, &aw);
        GdipGetImageHeight(a, &ah);
        GdipGetImageWidth(b, &bw);
        GdipGetImageHeight(b, &bh);
    }
    if (a && b && (aw != bw || ah != bh)) {
        std::fprintf(stderr, "sizes differ: %ux%u and %ux%u\n", aw, ah, bw, bh);
    } else if (a && b && aw > 0 && ah > 0) {
        const int tolerance = std::atoi(argv[4]);
        unsigned long long equal = 0;
        for (UINT y = 0; y < ah; ++y)
            for (UINT x = 0; x < aw; ++x) {
                Gdiplus::ARGB pa = 0, pb = 0;
                GdipBitmapGetPixel(a, x, y, &pa);
                GdipBitmapGetPixel(b, x, y, &pb);
                int worst = 0;
                for (int shift : {0, 8, 16})
                    worst = std::max(worst, std::abs(static_cast<int>(pa >> shift & 0xFF) -
                                                     static_cast<int>(pb >> shift & 0xFF)));
                equal += worst <= tolerance;
            }
        const double share = static_cast<double>(equal) / (static_cast<double>(aw) * ah);
        const double wanted = std::atof(argv[3]);
        std::printf("%ux%u: %.4f%% of the pixels equal (wanted %.2f%%)\n", aw, ah, 100.0 * share,
                    100.0 * wanted);
        result = share >= wanted ? 0 : 1;
    }
    if (a)
        GdipDisposeImage(a);
    if (b)
        GdipDisposeImage(b);
    Gdiplus::GdiplusShutdown(token);
    return result;
}
