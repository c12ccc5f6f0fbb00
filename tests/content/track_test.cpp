#include <kiss_fftr.h>
#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "tests/content/content_test_support.h"

namespace {

constexpr int kRate = 44100;
constexpr int kBlock = 1024; // the spectrum's transform length: bins of 43 Hz

// What one pass over the decoded track yields: its format, length, peak, and per whole second
// the signal power and the power of the low spectrum bins 1 to 6 (43 to 300 Hz).
struct TrackFacts {
    long rate = 0;
    int channels = 0;
    int bitrate = 0;
    bool constantBitrate = false;
    double seconds = 0.0;
    float peak = 0.0f;
    std::vector<double> power;
    std::vector<double> lowBand;
};

TrackFacts decodeTrack(const std::string& path) {
    TrackFacts facts;
    mpg123_handle* handle = mpg123_new(nullptr, nullptr);
    if (!handle) {
        return facts;
    }
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_GAPLESS, 0.0);
    mpg123_format_none(handle);
    for (const long rate : {22050L, 32000L, 44100L, 48000L}) {
        mpg123_format(handle, rate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
    }
    int encoding = 0;
    if (mpg123_open(handle, path.c_str()) != MPG123_OK ||
        mpg123_getformat(handle, &facts.rate, &facts.channels, &encoding) != MPG123_OK ||
        mpg123_scan(handle) != MPG123_OK) {
        mpg123_delete(handle);
        return facts;
    }
    mpg123_frameinfo info{};
    if (mpg123_info(handle, &info) == MPG123_OK) {
        facts.bitrate = info.bitrate;
        facts.constantBitrate = info.vbr == MPG123_CBR;
    }
    facts.seconds = static_cast<double>(mpg123_length(handle)) / static_cast<double>(facts.rate);

    kiss_fftr_cfg fft = kiss_fftr_alloc(kBlock, 0, nullptr, nullptr);
    std::vector<float> block(kBlock);
    std::vector<kiss_fft_cpx> bins(kBlock / 2 + 1);
    int filled = 0;
    long frame = 0;
    std::vector<float> buffer(8192);
    const auto addToSecond = [&facts](long second, double power, double low) {
        if (static_cast<std::size_t>(second) >= facts.power.size()) {
            facts.power.resize(second + 1, 0.0);
            facts.lowBand.resize(second + 1, 0.0);
        }
        facts.power[second] += power;
        facts.lowBand[second] += low;
    };
    for (;;) {
        std::size_t bytes = 0;
        const int status = mpg123_read(handle, reinterpret_cast<unsigned char*>(buffer.data()),
                                       buffer.size() * sizeof(float), &bytes);
        const std::size_t frames = bytes / sizeof(float) / facts.channels;
        for (std::size_t i = 0; i < frames; ++i, ++frame) {
            float mono = 0.0f;
            for (int c = 0; c < facts.channels; ++c) {
                const float sample = buffer[i * facts.channels + c];
                facts.peak = std::max(facts.peak, std::abs(sample));
                mono += sample / facts.channels;
            }
            addToSecond(frame / kRate, static_cast<double>(mono) * mono / kRate, 0.0);
            const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * filled / kBlock);
            block[filled++] = static_cast<float>(mono * hann);
            if (filled == kBlock) {
                kiss_fftr(fft, block.data(), bins.data());
                double low = 0.0;
                for (int b = 1; b <= 6; ++b) {
                    low += bins[b].r * bins[b].r + bins[b].i * bins[b].i;
                }
                addToSecond(frame / kRate, 0.0, low);
                filled = 0;
            }
        }
        if (status != MPG123_OK) {
            break;
        }
    }
    kiss_fftr_free(fft);
    mpg123_delete(handle);
    return facts;
}

double average(const std::vector<double>& perSecond, int from, int to) {
    double sum = 0.0;
    for (int s = from; s < to; ++s) {
        sum += perSecond.at(s);
    }
    return sum / (to - from);
}

double decibels(double power) {
    return 10.0 * std::log10(std::max(power, 1e-20));
}

class Track : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(mpg123_init(), MPG123_OK);
        facts_ = decodeTrack(committedPath("data/music/track.mp3"));
    }
    static TrackFacts facts_;
};
TrackFacts Track::facts_;

} // namespace

TEST_F(Track, IsA292SecondStereo44100HzMp3At192Kbits) {
    EXPECT_EQ(facts_.rate, 44100);
    EXPECT_EQ(facts_.channels, 2);
    EXPECT_EQ(facts_.bitrate, 192);
    EXPECT_TRUE(facts_.constantBitrate);
    EXPECT_NEAR(facts_.seconds, 292.0, 0.1);
    ASSERT_GE(facts_.power.size(), 292u);
}

TEST_F(Track, CarriesTheLameTagThatMakesSeekingExact) {
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(readFileBytes(committedPath("data/music/track.mp3"), &bytes));
    const std::string head(bytes.begin(),
                           bytes.begin() + std::min<std::size_t>(bytes.size(), 4096));
    EXPECT_TRUE(head.find("Info") != std::string::npos || head.find("Xing") != std::string::npos);
    EXPECT_NE(head.find("LAME"), std::string::npos);
}

TEST_F(Track, NeverClipsAndFadesToSilenceBy283Seconds) {
    ASSERT_GE(facts_.power.size(), 292u);
    EXPECT_LT(facts_.peak, 0.99f);
    EXPECT_GT(facts_.peak, 0.5f);
    // Playing at a healthy level until the fade, silent after it.
    EXPECT_GT(decibels(average(facts_.power, 270, 278)), -30.0);
    EXPECT_LT(decibels(average(facts_.power, 284, 291)), -70.0);
    // Halfway through the fade the level has dropped clearly but not yet to nothing.
    const double before = decibels(average(facts_.power, 275, 278));
    const double during = decibels(facts_.power.at(281));
    EXPECT_LT(during, before - 3.0);
    EXPECT_GT(during, -70.0);
}

TEST_F(Track, OpensCalmlyAndChangesAtTheSceneCuts) {
    ASSERT_GE(facts_.power.size(), 292u);
    // The opening under the black-out is quieter than the driving tunnel section.
    EXPECT_LT(decibels(average(facts_.power, 1, 9)), decibels(average(facts_.power, 51, 72)) - 6.0);
    // The low bins jump when the bass section starts at 73 s and fall back at 90 s.
    const double bass = decibels(average(facts_.lowBand, 74, 89));
    EXPECT_GT(bass, decibels(average(facts_.lowBand, 66, 72)) + 4.0);
    EXPECT_GT(bass, decibels(average(facts_.lowBand, 91, 97)) + 4.0);
    // Every second of the show before the fade has sound in it.
    for (int second = 2; second < 278; ++second) {
        EXPECT_GT(decibels(facts_.power.at(second)), -45.0) << "second " << second;
    }
}
