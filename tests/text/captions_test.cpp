#include <gtest/gtest.h>

#include <cstdlib>

#include "demo/music.h"
#include "demo/startup.h"
#include "draw/draw.h"
#include "tests/support/headless_picture.h"
#include "text/caption_tables.h"
#include "text/captions.h"
#include "text/font.h"

// The open band (rows 175 to 424) over an orange picture at chosen times: its colour where no
// caption is lit (black, half black or orange), and whether a caption is lit in it. Plain
// captions show strictly inside their window; black-outs fade in and out over a second, and the
// final fade over five.
TEST(Captions, CaptionsAndBlackoutsShowInTheirSeconds) {
    REQUIRE_HEADLESS_GL();
    fontTexture = loadTexture("data/textures/font.png");
    buildFont();
    draw::depthFunction(draw::DepthFunction::LessOrEqual); // one black-out may cover another
    const float cases[][5] = {
        {0.0f, 0, 0, 0, 0},       {0.5f, 0, 0, 0, 0},      {1.5f, 108, 55, 0, 0},
        {2.0f, 217, 110, 0, 0},   {27.0f, 217, 110, 0, 0}, {27.01f, 217, 110, 0, 1},
        {44.99f, 217, 110, 0, 1}, {45.0f, 217, 110, 0, 0}, {78.5f, 217, 110, 0, 1},
        {110.0f, 0, 0, 0, 1},     {112.5f, 108, 55, 0, 0}, {243.5f, 108, 55, 0, 1},
        {278.0f, 217, 110, 0, 0}, {280.5f, 108, 55, 0, 0}, {283.0f, 0, 0, 0, 0}};
    for (const auto& c : cases) {
        MusicClock = c[0];
        draw::clearColor(217 / 255.0f, 110 / 255.0f, 0.0f, 1.0f);
        draw::clear();
        drawOverlayCaptions();
        drawBlackoutCaptions();
        const Picture picture = readPicture();
        int other = 0;
        for (int y = 175; y < 425; ++y) {
            for (int x = 0; x < kDefaultPictureSize.width; ++x) {
                const std::uint8_t* const p = picture.at(x, y);
                other += std::abs(p[0] - c[1]) + std::abs(p[1] - c[2]) + std::abs(p[2] - c[3]) > 4;
            }
        }
        EXPECT_EQ(other > 0, c[4] != 0) << "t = " << c[0] << ": " << other << " other pixels";
        EXPECT_LT(other, kDefaultPictureSize.width * 250 / 10) << "t = " << c[0];
    }
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
