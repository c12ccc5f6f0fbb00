// The show against its reference pictures (tests/reference/pictures/): every scene, every
// boundary of the timeline, black-out, caption, the final fade, the gaps and a few seeks, on
// both sprite paths with letterbox culling off and on. A difference of more than two levels in
// any channel of any pixel fails, and leaves the frame, the reference and a difference picture
// in reference-failures/ of the build tree. The pictures are written anew only when
// VELLOMIRE_WRITE_REFERENCES is set (scripts/regenerate-references.sh), never by a test run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <png.h>
#include <string>
#include <vector>

#include "render/letterbox_band.h"
#include "render/picture_target.h"
#include "render/sprite.h"
#include "render_tool/headless_show.h"
#include "render_tool/image_writer.h"

namespace {

// A frame at `clock` of a show that ran on to it, or, with `from`, the first frame after a jump
// from a show running at `from`.
struct Shot {
    double clock;
    double from = -1.0;
};

// clang-format off
constexpr Shot kShots[] = {
    // The rising cloud, the end of the opening black-out, the fade into the wave sheet.
    {1.5}, {8.0}, {17.0}, {24.5}, {24.9}, {25.1},
    // The wave sheet with the opening titles; the tunnel with its verses.
    {31.0}, {40.0}, {48.5}, {49.9}, {50.1}, {50.5}, {56.0}, {67.0},
    // The spectrum rings between their black-outs, with their captions.
    {72.5}, {72.9}, {73.1}, {76.5}, {78.5}, {81.0}, {85.5},
    // The lattice cube, the cloud morph and its black-outs with captions.
    {89.9}, {90.1}, {95.0}, {102.0}, {105.9}, {106.1}, {107.0}, {108.5}, {110.0}, {113.5},
    {116.0}, {119.5}, {122.0}, {122.9}, {123.1},
    // The butterfly with its verses, the metaballs with theirs.
    {130.0}, {136.0}, {138.5}, {138.9}, {139.1}, {144.5}, {149.0},
    // The triangle swarm, the first gap (170-171), the helix with its verses.
    {154.5}, {155.9}, {156.1}, {160.0}, {165.0}, {169.5}, {169.9}, {170.1}, {170.5}, {170.9},
    {171.1}, {176.0}, {184.0}, {187.5}, {189.9}, {190.1},
    // The knot, its black-outs with captions, the second gap (200-203), the sphere.
    {191.5}, {195.0}, {198.0}, {199.9}, {200.1}, {200.5}, {201.5}, {202.9}, {203.1}, {207.5},
    {214.0}, {220.5}, {221.9}, {222.1},
    // The wobble tube and its black-outs with captions, the harmonic shape with its verses.
    {225.0}, {228.0}, {233.0}, {239.0}, {242.9}, {243.1}, {243.5}, {246.5}, {251.0}, {253.5},
    {253.9}, {254.1}, {254.5},
    // The centred cloud, the credits, the last scene kept on after the timeline, the final fade.
    {255.5}, {256.5}, {259.9}, {260.1}, {263.5}, {265.0}, {271.0}, {275.0}, {277.0}, {278.5},
    {280.5}, {282.5},
    // Jumps: the frame after one still draws the scene that was on, and a gap keeps it on.
    {80.0, 100.0}, {130.0, 30.0}, {10.0, 60.0}, {265.0, 150.0}, {200.5, 230.0},
};
// clang-format on

struct Variant {
    const char* name;
    SpriteDrawing drawing;
    bool culling;
};

using Rgb = std::vector<std::uint8_t>; // 800 x 600, rows bottom-up as the GL reads them

constexpr int kTolerance = 2;
const std::string kReferences = VELLOMIRE_SOURCE_DIR "/tests/reference/pictures/";
constexpr int kRowBytes = kPictureWidth * 3;

bool readPng(const std::string& path, Rgb* const rgb) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    rgb->resize(std::size_t{kRowBytes} * kPictureHeight);
    const bool fits = image.width == kPictureWidth && image.height == kPictureHeight;
    if (!fits || png_image_finish_read(&image, nullptr, rgb->data(), -kRowBytes, nullptr) == 0) {
        png_image_free(&image);
        return false;
    }
    return true;
}

std::string shotName(const int index, const Shot& shot) {
    char name[48];
    const int length = std::snprintf(name, sizeof(name), "%03d-%.2f", index, shot.clock);
    if (shot.from >= 0.0) {
        std::snprintf(name + length, sizeof(name) - length, "-from-%.2f", shot.from);
    }
    return name;
}

// Compares `frame` with the reference `name`; on a difference writes the three pictures.
void expectLikeReference(const std::string& name, const Rgb& frame, const std::string& failures) {
    const std::string path = kReferences + name + ".png";
    Rgb reference;
    if (!readPng(path, &reference)) {
        ADD_FAILURE() << "no reference " << path << ": run scripts/regenerate-references.sh";
        return;
    }
    Rgb difference(frame.size());
    int pixels = 0;
    int worst = 0;
    for (std::size_t i = 0; i < frame.size(); i += 3) {
        int level = 0;
        for (std::size_t c = i; c < i + 3; ++c) {
            const int d = std::abs(frame[c] - reference[c]);
            difference[c] = static_cast<std::uint8_t>(std::min(255, 16 * d));
            level = std::max(level, d);
        }
        pixels += level > kTolerance ? 1 : 0;
        worst = std::max(worst, level);
    }
    if (pixels == 0) {
        return;
    }
    std::filesystem::create_directories(failures);
    std::string error;
    writePicturePng(failures + name + "-frame.png", frame, &error);
    writePicturePng(failures + name + "-reference.png", reference, &error);
    writePicturePng(failures + name + "-difference.png", difference, &error);
    ADD_FAILURE() << name << ": " << pixels << " pixels differ by up to " << worst
                  << " levels; see " << failures << name << "-{frame,reference,difference}.png";
}

// The drifting clouds carry every frame drawn before and the point sets continue the random
// sequence of the process, so a variant is only comparable in a process of its own (as ctest
// runs each test) after the same frames.
void expectShowLikeReferences(const Variant& variant) {
    static bool showStarted = false;
    if (showStarted) {
        GTEST_SKIP() << "each variant needs a process of its own: run one per --gtest_filter";
    }
    showStarted = true;
    std::string error;
    ASSERT_TRUE(openHeadlessShow(false, &error)) << error;
    setSpriteDrawing(variant.drawing);
    setLetterboxCulling(variant.culling);
    const bool writing = std::getenv("VELLOMIRE_WRITE_REFERENCES") != nullptr;
    const std::string failures =
        std::string(VELLOMIRE_BINARY_DIR "/reference-failures/") + variant.name + "/";
    std::filesystem::remove_all(failures);
    Rgb frame;
    int index = 0;
    for (const Shot& shot : kShots) {
        // A frame at the start clock first, so that the rings see the spectrum of that time.
        primeShowAt(shot.from >= 0.0 ? shot.from : shot.clock);
        drawShowFrame(shot.clock);
        readShowPicture(&frame);
        const std::string name = shotName(index++, shot);
        if (writing) {
            EXPECT_TRUE(writePicturePng(kReferences + name + ".png", frame, &error)) << error;
        } else {
            expectLikeReference(name, frame, failures);
        }
    }
    closeHeadlessShow();
}

} // namespace

TEST(ReferencePictures, LiteralSprites) {
    expectShowLikeReferences({"literal", SpriteDrawing::Literal, false});
}
TEST(ReferencePictures, LiteralSpritesCulled) {
    expectShowLikeReferences({"literal-culled", SpriteDrawing::Literal, true});
}
TEST(ReferencePictures, BatchedSprites) {
    expectShowLikeReferences({"batched", SpriteDrawing::Batched, false});
}
TEST(ReferencePictures, BatchedSpritesCulled) {
    expectShowLikeReferences({"batched-culled", SpriteDrawing::Batched, true});
}
