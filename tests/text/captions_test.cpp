#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "demo/music.h"
#include "demo/startup.h"
#include "draw/draw.h"
#include "tests/support/headless_picture.h"
#include "text/caption_tables.h"
#include "text/captions.h"
#include "text/font.h"

namespace {

// When each row of the two tables starts and ends, written out apart from the tables (as the
// reference pictures pin the timeline), so that a row moved or lengthened there is caught.
struct Span {
    float start;
    float end;
};
constexpr Span kOverlaySpans[kOverlayCaptionCount] = {
    {27, 32},   {30, 35},   {36, 45},   {38, 45},                           // titles
    {50, 56},   {51, 57},   {52, 58},   {53, 59},   {54, 60},   {55, 61},   // tunnel
    {62, 71},   {63, 72},   {65, 73},   {66, 74},   {78, 84},   {80, 85},   // and rings
    {125, 131}, {126, 132}, {127, 133}, {128, 134}, {129, 135}, {130, 136}, // butterfly
    {143, 151}, {144, 152}, {145, 153}, {146, 154},                         // metaballs
    {173, 182}, {174, 183}, {175, 184}, {176, 185}, {177, 186}, {178, 187}, // helix
    {204, 215}, {205, 216}, {206, 217}, {207, 218}, {208, 219}, {209, 220}, // sphere
    {243, 250}, {244, 251}, {245, 252}, {246, 253}};                        // shape
// Black-outs, the captions on them (from a second after the black-out's start to a second
// before its end) and the final fade (its start only).
constexpr Span kBlackoutSpans[kBlackoutRowCount] = {
    {-2, 1},    {24, 26},   {48, 50},   {72, 76},   {85, 91},   {108, 112}, {109, 111}, {109, 111},
    {114, 118}, {115, 117}, {115, 117}, {120, 124}, {121, 123}, {121, 123}, {138, 140}, {154, 156},
    {169, 172}, {187, 190}, {193, 197}, {194, 196}, {200, 204}, {201, 203}, {201, 203}, {220, 223},
    {226, 230}, {227, 229}, {227, 229}, {236, 242}, {237, 241}, {237, 241}, {237, 241}, {241, 243},
    {253, 254}, {257, 263}, {258, 262}, {268, 274}, {269, 273}, {278, 278}};

enum class Moment { AfterStart, AfterEnd, SecondAfterEnd };
constexpr float kMomentOffsets[] = {0.25f, 0.25f, 1.25f};

// Checks that cannot show: the row's moment lies under a black-out at full black drawn over
// it, or, for the black-out 236-242, under the one that follows it at once (241-243, still
// three quarters black a second after the first one's end).
struct Exempt {
    bool blackoutTable;
    int row;
    Moment moment;
};
constexpr Exempt kExempt[] = {
    {false, 11, Moment::SecondAfterEnd}, // "still faster": 72-76 black-out
    {false, 12, Moment::AfterEnd},
    {false, 12, Moment::SecondAfterEnd}, // "it never slows."
    {false, 13, Moment::AfterEnd},
    {false, 13, Moment::SecondAfterEnd}, // "go on"
    {false, 15, Moment::SecondAfterEnd}, // "and fall back...": 85-91 black-out
    {false, 25, Moment::SecondAfterEnd}, // "to meet": 154-156
    {false, 31, Moment::SecondAfterEnd}, // "never two": 187-190
    {false, 37, Moment::SecondAfterEnd}, // "turning": 220-223
    {true, 27, Moment::AfterEnd},
    {true, 27, Moment::SecondAfterEnd}, // 236-242 under 241-243
    {true, 28, Moment::SecondAfterEnd},
    {true, 29, Moment::SecondAfterEnd},
    {true, 30, Moment::SecondAfterEnd}, // the captions of 236-242, under 241-243
    {true, 31, Moment::AfterStart},     // 241-243 under 236-242
};

bool exempt(const bool blackoutTable, const int row, const Moment moment) {
    return std::any_of(std::begin(kExempt), std::end(kExempt), [&](const Exempt& e) {
        return e.blackoutTable == blackoutTable && e.row == row && e.moment == moment;
    });
}

constexpr int kOrange[3] = {217, 110, 0};

// The captions and black-outs at `clock` over an orange picture.
Picture captionsAt(const float clock) {
    MusicClock = clock;
    draw::clearColor(kOrange[0] / 255.0f, kOrange[1] / 255.0f, kOrange[2] / 255.0f, 1.0f);
    draw::clear();
    drawOverlayCaptions();
    drawBlackoutCaptions();
    return readPicture();
}

// The pixels of a line of text at (x, y) on the 640 x 480 screen that differ from the corner,
// where no caption lies.
int litPixels(const Picture& picture, const int x, const int y, const char* const text) {
    const std::uint8_t* const corner = picture.at(799, 0);
    int lit = 0;
    const int right = std::min((x + 16 * static_cast<int>(std::strlen(text))) * 5 / 4, 800);
    for (int row = 600 - (y + 16) * 5 / 4; row < 600 - y * 5 / 4; ++row) {
        for (int column = x * 5 / 4; column < right; ++column) {
            const std::uint8_t* const p = picture.at(column, row);
            lit += std::abs(p[0] - corner[0]) + std::abs(p[1] - corner[1]) +
                               std::abs(p[2] - corner[2]) >
                           8
                       ? 1
                       : 0;
        }
    }
    return lit;
}

} // namespace

// Every caption and black-out shows just after its start, and is gone a second after its end;
// just after its end a plain caption is gone, a fading one and a black-out still fade out.
TEST(Captions, EveryRowShowsFromItsStartAndIsGoneASecondAfterItsEnd) {
    REQUIRE_HEADLESS_GL();
    fontTexture = loadTexture("data/textures/font.png");
    buildFont();
    draw::depthFunction(draw::DepthFunction::LessOrEqual); // black-outs may cover one another
    const auto check = [](const bool blackoutTable, const int row, const Span span,
                          const bool fades, const auto& shows) {
        for (const Moment moment : {Moment::AfterStart, Moment::AfterEnd, Moment::SecondAfterEnd}) {
            if (blackoutTable && row == kBlackoutRowCount - 1 && moment != Moment::AfterStart) {
                continue; // the final fade never ends
            }
            const float clock = (moment == Moment::AfterStart ? span.start : span.end) +
                                kMomentOffsets[static_cast<int>(moment)];
            const Picture picture = captionsAt(clock);
            const bool expected =
                moment == Moment::AfterStart || (moment == Moment::AfterEnd && fades);
            if (exempt(blackoutTable, row, moment)) {
                EXPECT_LT(picture.at(799, 0)[0], kOrange[0] / 2) << "t = " << clock << ": not dark";
                continue;
            }
            EXPECT_EQ(shows(picture), expected)
                << (blackoutTable ? "black-out table" : "caption table") << " row " << row + 1
                << " at t = " << clock;
        }
    };
    for (int i = 0; i < kOverlayCaptionCount; ++i) {
        const OverlayCaption& row = OverlayCaptionTable[i];
        check(false, i, kOverlaySpans[i], false, [&row](const Picture& picture) {
            return litPixels(picture, row.x, row.y, row.text) > 10;
        });
    }
    for (int i = 0; i < kBlackoutRowCount; ++i) {
        const BlackoutRow& row = BlackoutTable[i];
        check(true, i, kBlackoutSpans[i], true, [&row](const Picture& picture) {
            if (row.step == BlackoutStep::FadingCaption) {
                return litPixels(picture, row.x, row.y, row.text) > 10;
            }
            return picture.at(799, 0)[0] < kOrange[0] - 4; // darkened
        });
    }
}
