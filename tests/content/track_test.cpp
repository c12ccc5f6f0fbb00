#include <gtest/gtest.h>
#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "tools/content_image.h"

namespace {

const std::string kTrack = VELLOMIRE_SOURCE_DIR "/data/music/track.mp3";

// The track's format, its peak and its power per whole second of the mono mix, in dB.
struct TrackFacts {
    long rate = 0;
    int channels = 0;
    mpg123_frameinfo info{};
    double seconds = 0.0;
    float peak = 0.0f;
    std::vector<double> power;

    double decibels(const int from, const int to) const {
        double sum = 0.0;
        for (int s = from; s < to; ++s) {
            sum += power.at(static_cast<std::size_t>(s));
        }
        return 10.0 * std::log10(std::max(sum / (to - from), 1e-20));
    }
};

TrackFacts decodeTrack() {
    TrackFacts facts;
    mpg123_init();
    mpg123_handle* const handle = mpg123_new(nullptr, nullptr);
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_FORCE_FLOAT, 0.0);
    int encoding = 0;
    if (mpg123_open(handle, kTrack.c_str()) == MPG123_OK &&
        mpg123_getformat(handle, &facts.rate, &facts.channels, &encoding) == MPG123_OK &&
        mpg123_scan(handle) == MPG123_OK && mpg123_info(handle, &facts.info) == MPG123_OK) {
        facts.seconds =
            static_cast<double>(mpg123_length(handle)) / static_cast<double>(facts.rate);
        std::vector<float> buffer(8192);
        long frame = 0;
        std::size_t bytes = 0;
        while (mpg123_read(handle, reinterpret_cast<unsigned char*>(buffer.data()),
                           buffer.size() * sizeof(float), &bytes) == MPG123_OK ||
               bytes > 0) {
            for (std::size_t i = 0; i + 1 < bytes / sizeof(float); i += 2, ++frame) {
                facts.peak = std::max({facts.peak, std::abs(buffer[i]), std::abs(buffer[i + 1])});
                const double mono = (buffer[i] + buffer[i + 1]) / 2.0;
                facts.power.resize(static_cast<std::size_t>(frame / facts.rate) + 1, 0.0);
                facts.power.back() += mono * mono / static_cast<double>(facts.rate);
            }
        }
    }
    mpg123_delete(handle);
    return facts;
}

} // namespace

// A 292 s stereo 44.1 kHz MP3 at a constant 192 kbit/s with the LAME tag that makes seeking
// exact; it never clips, plays at a healthy level with sound in every second of the show, opens
// more quietly than the tunnel flight and fades to silence from 278 s to 283 s.
TEST(Track, HasItsFormatLengthAndLoudness) {
    const TrackFacts track = decodeTrack();
    EXPECT_EQ(track.rate, 44100);
    ASSERT_EQ(track.channels, 2);
    EXPECT_EQ(track.info.bitrate, 192);
    EXPECT_EQ(track.info.vbr, MPG123_CBR);
    EXPECT_NEAR(track.seconds, 292.0, 0.1);
    ASSERT_GE(track.power.size(), 292u);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(readFileBytes(kTrack, &bytes));
    const std::string head(bytes.begin(), bytes.begin() + 4096);
    EXPECT_TRUE(head.find("Info") != std::string::npos && head.find("LAME") != std::string::npos);

    EXPECT_TRUE(track.peak > 0.5f && track.peak < 0.99f) << track.peak;
    EXPECT_GT(track.decibels(270, 278), -30.0);
    EXPECT_LT(track.decibels(1, 9), track.decibels(51, 72) - 6.0);
    for (int second = 2; second < 278; ++second) {
        EXPECT_GT(track.decibels(second, second + 1), -45.0) << "second " << second;
    }
    const double halfway = track.decibels(281, 282);
    EXPECT_TRUE(halfway < track.decibels(275, 278) - 3.0 && halfway > -70.0) << halfway;
    EXPECT_LT(track.decibels(284, 291), -70.0);
}
