// Measures how the show drawn at a larger size compares with the 800 x 600 show: the larger
// frames box-filtered down to 800 x 600 must look the same, and be sharper at full size.
//   bench_size_fidelity render WxH DIR      every reference clock at that size, as DIR/NNN.png
//   bench_size_fidelity compare DIR800 DIR [DIR2X]
//       per clock: mean and worst 16 x 16 block difference of DIR's frames box-filtered to
//       800 x 600, and the fine detail inside the open band against the 800 x 600 frame scaled
//       up to DIR's size and, given DIR2X (frames at twice DIR's size), against those frames
//       box-filtered to DIR's size: the detail the content allows at that size
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/measures/picture_measures.h"
#include "render/letterbox_band.h"
#include "render/picture_target.h"
#include "render/sprite.h"
#include "render_tool/headless_show.h"
#include "render_tool/image_writer.h"
#include "tests/reference/reference_shots.h"

namespace {

std::string shotPath(const std::string& directory, const int index) {
    char name[16];
    std::snprintf(name, sizeof(name), "/%03d.png", index);
    return directory + name;
}

int renderShots(const PictureSize size, const std::string& directory) {
    std::filesystem::create_directories(directory);
    std::string error;
    if (!setPictureSize(size) || !openHeadlessShow(false, &error)) {
        std::fprintf(stderr, "size_fidelity: no headless show: %s\n", error.c_str());
        return 1;
    }
    RgbImage frame{size.width, size.height, {}};
    int index = 0;
    for (const Shot& shot : kShots) {
        primeShowAt(shot.from >= 0.0 ? shot.from : shot.clock);
        drawShowFrame(shot.clock);
        readShowPicture(&frame.rgb);
        if (!writePicturePng(shotPath(directory, index++), frame, &error)) {
            std::fprintf(stderr, "size_fidelity: %s\n", error.c_str());
            return 1;
        }
    }
    closeHeadlessShow();
    return 0;
}

// The sum, least and most of a figure over the frames with detail.
struct Spread {
    double sum = 0.0;
    double least = 1e9;
    double most = 0.0;
    int count = 0;
    void add(const double value) {
        sum += value;
        least = std::min(least, value);
        most = std::max(most, value);
        ++count;
    }
    void print(const char* what) const {
        std::printf("%s: mean %.2fx, least %.2fx, most %.2fx (%d frames with detail in the band)\n",
                    what, count > 0 ? sum / count : 0.0, count > 0 ? least : 0.0, most, count);
    }
};

int compareShots(const std::string& smallDirectory, const std::string& largeDirectory,
                 const std::string& supersampledDirectory) {
    double worstMean = 0.0;
    double worstBlock = 0.0;
    Spread overScaled;
    Spread ofSupersampled;
    std::printf("%5s %8s %10s %11s %10s %10s %10s\n", "shot", "clock", "mean", "worst 16px",
                "detail", "vs scaled", "vs 2x box");
    for (int index = 0; index < static_cast<int>(std::size(kShots)); ++index) {
        RgbPicture small;
        RgbPicture large;
        if (!readRgbPng(shotPath(smallDirectory, index), &small) ||
            !readRgbPng(shotPath(largeDirectory, index), &large) || small.width != 800 ||
            large.width % 800 != 0 || large.width * 3 != large.height * 4) {
            std::fprintf(stderr, "size_fidelity: shot %d is missing or of the wrong size\n", index);
            return 1;
        }
        const Likeness likeness = compareLikeness(boxFilterDown(large, large.width / 800), small);
        // The open band of the letterbox, where the show's detail is.
        setPictureSize({large.width, large.height});
        const PictureRows band = openPictureRows();
        const double detail = meanAbsoluteLaplacian(large, band.first, band.end);
        const double scaledDetail = meanAbsoluteLaplacian(
            scaleUpBilinear(small, large.width, large.height), band.first, band.end);
        const double ratio = scaledDetail > 0.0 ? detail / scaledDetail : 0.0;
        double supersampledRatio = 0.0;
        RgbPicture supersampled;
        if (!supersampledDirectory.empty()) {
            if (!readRgbPng(shotPath(supersampledDirectory, index), &supersampled) ||
                supersampled.width != 2 * large.width) {
                std::fprintf(stderr, "size_fidelity: shot %d at twice the size is missing\n",
                             index);
                return 1;
            }
            const double supersampledDetail =
                meanAbsoluteLaplacian(boxFilterDown(supersampled, 2), band.first, band.end);
            supersampledRatio = supersampledDetail > 0.0 ? detail / supersampledDetail : 0.0;
        }
        std::printf("%5d %8.2f %10.3f %11.3f %10.3f %9.2fx %9.2fx\n", index, kShots[index].clock,
                    likeness.meanLevels, likeness.worstBlockLevels, detail, ratio,
                    supersampledRatio);
        worstMean = std::max(worstMean, likeness.meanLevels);
        worstBlock = std::max(worstBlock, likeness.worstBlockLevels);
        if (scaledDetail > 0.5) { // frames with some detail in the band
            overScaled.add(ratio);
            if (!supersampledDirectory.empty()) {
                ofSupersampled.add(supersampledRatio);
            }
        }
    }
    std::printf("largest mean difference %.3f levels, worst 16 x 16 block %.3f levels\n", worstMean,
                worstBlock);
    overScaled.print("fine detail against the scaled-up 800 x 600 frame");
    if (!supersampledDirectory.empty()) {
        ofSupersampled.print("fine detail against the frame drawn at twice the size, box-filtered");
    }
    return 0;
}

} // namespace

int main(const int argc, char** const argv) {
    PictureSize size;
    if (argc == 4 && std::strcmp(argv[1], "render") == 0 && parsePictureSize(argv[2], &size)) {
        return renderShots(size, argv[3]);
    }
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "compare") == 0) {
        return compareShots(argv[2], argv[3], argc == 5 ? argv[4] : "");
    }
    std::fprintf(stderr,
                 "usage: bench_size_fidelity render WxH DIR | compare DIR800 DIR [DIR2X]\n");
    return 2;
}
