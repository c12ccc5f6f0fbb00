// Reads a raw RGB screenshot (rows top-down, 3 bytes a pixel) and prints, for every rectangle
// given as x,y,w,h, the share of its pixels that are not black (any channel above 32), one
// number per line. Exit status 2 on bad arguments or a short file.
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Rect {
    int x, y, w, h;
};

bool parseRect(const char* text, Rect* r) {
    return std::sscanf(text, "%d,%d,%d,%d", &r->x, &r->y, &r->w, &r->h) == 4 && r->w > 0 &&
           r->h > 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s screenshot.rgb width height x,y,w,h...\n", argv[0]);
        return 2;
    }
    const int width = std::atoi(argv[2]);
    const int height = std::atoi(argv[3]);
    if (width <= 0 || height <= 0) {
        std::fprintf(stderr, "bad size\n");
        return 2;
    }
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
    std::FILE* const file = std::fopen(argv[1], "rb");
    if (file == nullptr || std::fread(rgb.data(), 1, rgb.size(), file) != rgb.size()) {
        std::fprintf(stderr, "cannot read %d x %d pixels from %s\n", width, height, argv[1]);
        return 2;
    }
    std::fclose(file);
    for (int i = 4; i < argc; ++i) {
        Rect r{};
        if (!parseRect(argv[i], &r) || r.x < 0 || r.y < 0 || r.x + r.w > width ||
            r.y + r.h > height) {
            std::fprintf(stderr, "bad rectangle %s\n", argv[i]);
            return 2;
        }
        long lit = 0;
        for (int y = r.y; y < r.y + r.h; ++y) {
            for (int x = r.x; x < r.x + r.w; ++x) {
                const unsigned char* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
                if (p[0] > 32 || p[1] > 32 || p[2] > 32) {
                    ++lit;
                }
            }
        }
        std::printf("%.3f\n", static_cast<double>(lit) / (static_cast<double>(r.w) * r.h));
    }
    return 0;
}
