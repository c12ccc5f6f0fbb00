#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "demo/music.h"
#include "platform/gl.h"
#include "render/overlay.h"
#include "tests/support/headless_picture.h"
#include "tests/text/test_atlas.h"
#include "text/caption_tables.h"
#include "text/captions.h"

namespace {

constexpr int kOrange[3] = {217, 110, 0};
constexpr int kBandTop = 175;    // rows from the top of the picture
constexpr int kBandBottom = 425; // first row of the bottom bar

// Frame steps 6 to 8 at clock t over an orange picture, with the state the glow leaves.
Picture captionsAt(const float t) {
    useTestFont();
    MusicClock = t;
    glViewport(0, 0, kPictureWidth, kPictureHeight);
    glClearColor(kOrange[0] / 255.0f, kOrange[1] / 255.0f, kOrange[2] / 255.0f, 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 0.2f);
    drawOverlayCaptions();
    drawBlackoutCaptions();
    drawLetterbox();
    return readPicture();
}

void expectColour(const std::uint8_t* pixel, const int r, const int g, const int b,
                  const int tolerance = 2) {
    EXPECT_NEAR(pixel[0], r, tolerance);
    EXPECT_NEAR(pixel[1], g, tolerance);
    EXPECT_NEAR(pixel[2], b, tolerance);
}

// The number of pixels of the open band that are not the colour (r, g, b), within 2.
int bandPixelsOtherThan(const Picture& picture, const int r, const int g, const int b) {
    int other = 0;
    for (int y = kBandTop; y < kBandBottom; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            const std::uint8_t* const pixel = picture.at(x, y);
            if (std::abs(pixel[0] - r) > 2 || std::abs(pixel[1] - g) > 2 ||
                std::abs(pixel[2] - b) > 2) {
                ++other;
            }
        }
    }
    return other;
}

// 'h' in set 1 is cell 'h' + 96; rows 7 and 8 of the black-out list start at (200, 260) and
// (200, 240).
constexpr int kHelloCell = 'h' + 96;

} // namespace

TEST(Captions, TheShowOpensOnBlackAndFadesIn) {
    REQUIRE_HEADLESS_GL();
    EXPECT_EQ(bandPixelsOtherThan(captionsAt(0.0f), 0, 0, 0), 0);
    EXPECT_EQ(bandPixelsOtherThan(captionsAt(0.5f), 0, 0, 0), 0);
    EXPECT_EQ(bandPixelsOtherThan(captionsAt(1.5f), 108, 55, 0), 0) << "half black";
    EXPECT_EQ(bandPixelsOtherThan(captionsAt(2.0f), kOrange[0], kOrange[1], kOrange[2]), 0);
    const Picture picture = captionsAt(2.0f);
    expectColour(picture.at(400, 10), 0, 0, 0, 0);
    expectColour(picture.at(400, 590), 0, 0, 0, 0);
}

TEST(Captions, LinesOnABlackoutFadeWhileTheBlackHolds) {
    REQUIRE_HEADLESS_GL();
    {
        SCOPED_TRACE("t = 110: black with both lines fully lit");
        const Picture picture = captionsAt(110.0f);
        EXPECT_EQ(cellAt(picture, 200, 260), kHelloCell);
        EXPECT_EQ(cellAt(picture, 200, 240), 'a' + 96);
        expectColour(pixelAtUnits(picture, 208, 272), 0, 0, 0, 0); // the glyph's upper half
        expectColour(pixelAtUnits(picture, 100, 250), 0, 0, 0, 0);
    }
    {
        SCOPED_TRACE("t = 111.5: the lines at half strength, the black still full");
        const Picture picture = captionsAt(111.5f);
        expectColour(pixelAtUnits(picture, 208, 264), kHelloCell / 2, 128, 128);
        expectColour(pixelAtUnits(picture, 100, 250), 0, 0, 0, 0);
    }
    {
        SCOPED_TRACE("t = 112.5: the black at half strength, the lines gone");
        const Picture picture = captionsAt(112.5f);
        EXPECT_EQ(bandPixelsOtherThan(picture, 108, 55, 0), 0);
    }
}

TEST(Captions, TheFinalFadeAndTheOverlappingBlackouts) {
    REQUIRE_HEADLESS_GL();
    EXPECT_EQ(bandPixelsOtherThan(captionsAt(242.5f), 0, 0, 0), 0);
    // The second black-out clears during the second after 243 (row 39's line is up by then).
    expectColour(pixelAtUnits(captionsAt(243.5f), 100, 250), 108, 55, 0);
    EXPECT_EQ(bandPixelsOtherThan(captionsAt(278.0f), kOrange[0], kOrange[1], kOrange[2]), 0);
    EXPECT_EQ(bandPixelsOtherThan(captionsAt(280.5f), 108, 55, 0), 0);
    EXPECT_EQ(bandPixelsOtherThan(captionsAt(283.0f), 0, 0, 0), 0);
    EXPECT_EQ(bandPixelsOtherThan(captionsAt(286.9f), 0, 0, 0), 0);
}

// Row 1, "quennet." from 27 s to 32 s at (20, 270), and row 3, "called:" from 36 s to 45 s at
// the same place. 'q' and 'c' are cells 81 and 67 of set 0, whose marks (cell, 0, 0) multiply
// the orange picture; the white ground leaves it unchanged.
TEST(Captions, APlainCaptionShowsStrictlyInsideItsWindow) {
    REQUIRE_HEADLESS_GL();
    struct Visible {
        float t;
        int cell;
    };
    for (const Visible v : {Visible{27.01f, 'q' - 32}, Visible{31.0f, 'q' - 32},
                            Visible{36.01f, 'c' - 32}, Visible{44.99f, 'c' - 32}}) {
        SCOPED_TRACE(v.t);
        const Picture picture = captionsAt(v.t);
        expectColour(pixelAtUnits(picture, 28, 274), kOrange[0] * v.cell / 255, 0, 0);
        expectColour(pixelAtUnits(picture, 28, 282), kOrange[0], kOrange[1], kOrange[2], 0);
    }
    // At its start and from its end on, nothing of it (and no other caption) is drawn.
    for (const float t : {27.0f, 36.0f, 45.0f}) {
        SCOPED_TRACE(t);
        EXPECT_EQ(bandPixelsOtherThan(captionsAt(t), kOrange[0], kOrange[1], kOrange[2]), 0);
    }
}

TEST(CaptionTables, EveryLineHasItsRowsLengthAndOnlyTheFontsMarks) {
    // Lengths of rows 1 to 42 of the overlay list and of the caption rows of the black-out list.
    const std::size_t overlayLengths[kOverlayCaptionCount] = {
        8,  18, 7,  11, 14, 13, 13, 14, 8, 8, 6, 12, 15, 5,  31, 30, 16, 8, 16, 9,  15,
        18, 19, 18, 18, 7,  9,  7,  9,  6, 9, 9, 20, 18, 11, 12, 12, 7,  7, 11, 15, 4};
    const std::size_t captionLengths[] = {6,  12, 16, 19, 3,  5,  28, 20,
                                          21, 15, 10, 15, 17, 21, 17, 16};
    const auto allowed = [](const char c) {
        return (c >= 'a' && c <= 'z') || std::strchr(" .?:'", c) != nullptr;
    };
    for (int i = 0; i < kOverlayCaptionCount; ++i) {
        const std::string text = OverlayCaptionTable[i].text;
        EXPECT_EQ(text.size(), overlayLengths[i]) << "row " << i + 1 << " \"" << text << "\"";
        for (const char c : text) {
            EXPECT_TRUE(allowed(c)) << "row " << i + 1 << " \"" << text << "\"";
        }
    }
    std::size_t captions = 0;
    for (int i = 0; i < kBlackoutRowCount; ++i) {
        const BlackoutRow& row = BlackoutTable[i];
        if (row.step != BlackoutStep::FadingCaption) {
            continue;
        }
        ASSERT_LT(captions, std::size(captionLengths));
        const std::string text = row.text;
        EXPECT_EQ(text.size(), captionLengths[captions++]) << "row " << i + 1;
        for (const char c : text) {
            EXPECT_TRUE(allowed(c)) << "row " << i + 1 << " \"" << text << "\"";
        }
    }
    EXPECT_EQ(captions, std::size(captionLengths));
    EXPECT_STREQ(OverlayCaptionTable[0].text, "quennet.");
    EXPECT_STREQ(OverlayCaptionTable[1].text, "some sort of demo.");
    EXPECT_STREQ(OverlayCaptionTable[2].text, "called:");
    EXPECT_STREQ(OverlayCaptionTable[3].text, "brellicand.");
    EXPECT_STREQ(BlackoutTable[34].text, "coding by plomfer");
    EXPECT_STREQ(BlackoutTable[36].text, "music by drevlin");
}

// Each caption on a black-out starts a second after the black-out that precedes it and ends a
// second before it: the text shows only on full black.
TEST(CaptionTables, BlackoutCaptionsLieInsideTheirBlackout) {
    const BlackoutRow* blackout = nullptr;
    for (int i = 0; i < kBlackoutRowCount; ++i) {
        const BlackoutRow& row = BlackoutTable[i];
        if (row.step == BlackoutStep::Blackout) {
            EXPECT_LT(row.start, row.end) << "row " << i + 1;
            blackout = &row;
        } else if (row.step == BlackoutStep::FadingCaption) {
            ASSERT_NE(blackout, nullptr) << "row " << i + 1;
            EXPECT_EQ(row.start, blackout->start + 1.0f) << "row " << i + 1;
            EXPECT_EQ(row.end, blackout->end - 1.0f) << "row " << i + 1;
        }
    }
    EXPECT_EQ(BlackoutTable[kBlackoutRowCount - 1].step, BlackoutStep::FinalFade);
}
