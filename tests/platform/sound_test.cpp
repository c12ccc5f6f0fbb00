#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <thread>
#include <vector>

#include "platform/sound.h"
#include "platform/sound_clock.h"
#include "platform/sound_spectrum.h"
#include "tests/platform/sound_test_support.h"

namespace {

using std::chrono::milliseconds;

class SoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        soundReset();
        forceSilentOutput();
    }
    void TearDown() override {
        soundReset();
        unsetenv("SDL_AUDIODRIVER");
    }

    // Initialises the library on `output` and opens the tone track (not yet playing).
    SoundStream* openTone(const int output) {
        EXPECT_TRUE(soundSetOutput(output));
        EXPECT_TRUE(soundInit(44100, 32, 0));
        track_ = readFixture("tone.mp3");
        EXPECT_GT(track_.size(), 1000u);
        return soundStreamOpen(track_.data(), kSoundModeNormal | kSoundModeLoadMemory, 0,
                               static_cast<int>(track_.size()));
    }

    // Opens the tone track and plays it, with the spectrum on.
    SoundStream* playTone(const int output) {
        SoundStream* const stream = openTone(output);
        const int channel = soundStreamPlayEx(-1, stream, nullptr, true);
        EXPECT_GE(channel, 0);
        EXPECT_TRUE(soundSetPaused(channel, false));
        EXPECT_TRUE(soundDspSetActive(soundGetFftUnit(), true));
        return stream;
    }

    std::vector<unsigned char> track_;
};

int loudestBin(const float* const spectrum) {
    return static_cast<int>(std::max_element(spectrum, spectrum + kSpectrumBins) - spectrum);
}

float loudestAwayFrom(const float* const spectrum, const int bin, const int margin) {
    float loudest = 0.0f;
    for (int k = 0; k < kSpectrumBins; ++k) {
        if (std::abs(k - bin) > margin) {
            loudest = std::max(loudest, spectrum[k]);
        }
    }
    return loudest;
}

TEST_F(SoundTest, SteppedClockIsTheStepTimeAndSeeksLandWhereAsked) {
    SoundStream* const stream = openTone(kSoundOutputStepped);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(soundStreamGetLengthMs(stream), kToneLengthMs);

    soundSetSteppedTime(1.2349);
    EXPECT_EQ(soundStreamGetTime(stream), 1234) << "whole milliseconds, truncated";
    soundSetSteppedTime(287.001);
    EXPECT_EQ(soundStreamGetTime(stream), 287001) << "past the track: the clock is the host's";
    soundSetSteppedTime(-3.0);
    EXPECT_EQ(soundStreamGetTime(stream), 0);

    for (const int target : {1, 17, 999, 1001, 2345, 2999}) {
        soundStreamSetTime(stream, target);
        EXPECT_EQ(soundStreamGetTime(stream), target);
    }
    soundStreamSetTime(stream, -500);
    EXPECT_EQ(soundStreamGetTime(stream), 0);
    soundStreamSetTime(stream, 5000);
    EXPECT_EQ(soundStreamGetTime(stream), 5000) << "past the end of the track";
    soundStreamSetTime(stream, std::numeric_limits<int>::min());
    EXPECT_EQ(soundStreamGetTime(stream), 0);
    soundStreamSetTime(stream, std::numeric_limits<int>::max());
    EXPECT_EQ(soundStreamGetTime(stream), std::numeric_limits<int>::max());
}

TEST_F(SoundTest, SteppedSpectrumIsTheWindowEndingAtTheStepTime) {
    playTone(kSoundOutputStepped);

    soundSetSteppedTime(2.0);
    const float* spectrum = soundGetSpectrum();
    EXPECT_EQ(loudestBin(spectrum), kToneBin);
    EXPECT_NEAR(spectrum[kToneBin], 0.5f, 0.03f) << "a half-scale sine gives 0.5 in its bin";
    EXPECT_LT(loudestAwayFrom(spectrum, kToneBin, 2), 0.02f);

    // The tone starts at 1 s: the window ending there holds none of it, the window ending
    // 1024 samples later holds only tone.
    soundSetSteppedTime(1.0);
    EXPECT_LT(soundGetSpectrum()[kToneBin], 0.05f);
    soundSetSteppedTime(1.0 + 1100.0 / 44100.0);
    EXPECT_NEAR(soundGetSpectrum()[kToneBin], 0.5f, 0.05f);

    // Silence, the very start and past the end give zeros.
    for (const double seconds : {0.5, 0.0, 3.5, 200.0}) {
        soundSetSteppedTime(seconds);
        spectrum = soundGetSpectrum();
        EXPECT_LT(*std::max_element(spectrum, spectrum + kSpectrumBins), 1e-4f) << seconds;
    }

    // A seek moves the spectrum with the clock.
    soundStreamSetTime(nullptr, 0);
    soundSetSteppedTime(0.2);
    ASSERT_LT(soundGetSpectrum()[kToneBin], 1e-4f);
    EXPECT_TRUE(soundDspSetActive(soundGetFftUnit(), false));
    soundSetSteppedTime(2.5);
    EXPECT_EQ(soundGetSpectrum()[kToneBin], 0.0f) << "the FFT unit is off";
}

TEST_F(SoundTest, SpectrumIsZeroBeforeThePlaybackAndTheFftUnit) {
    SoundStream* const stream = openTone(kSoundOutputStepped);
    soundSetSteppedTime(2.0);
    soundDspSetActive(soundGetFftUnit(), true);
    EXPECT_EQ(soundGetSpectrum()[kToneBin], 0.0f) << "opened but not playing";
    const int channel = soundStreamPlayEx(-1, stream, nullptr, true);
    EXPECT_EQ(soundGetSpectrum()[kToneBin], 0.0f) << "paused";
    soundSetPaused(channel, false);
    EXPECT_GT(soundGetSpectrum()[kToneBin], 0.4f);
}

TEST_F(SoundTest, OtherSampleRatesAreResampledTo44100) {
    EXPECT_TRUE(soundSetOutput(kSoundOutputStepped));
    EXPECT_TRUE(soundInit(44100, 32, 0));
    std::vector<unsigned char> track = readFixture("tone48k.mp3");
    SoundStream* const stream =
        soundStreamOpen(track.data(), kSoundModeLoadMemory, 0, static_cast<int>(track.size()));
    ASSERT_NE(stream, nullptr);
    EXPECT_NEAR(soundStreamGetLengthMs(stream), 1000, 30);
    soundSetPaused(soundStreamPlayEx(-1, stream, nullptr, true), false);
    soundDspSetActive(soundGetFftUnit(), true);
    soundSetSteppedTime(0.5);
    EXPECT_EQ(loudestBin(soundGetSpectrum()), kToneBin) << "861 Hz stays in bin 20";
    EXPECT_NEAR(soundGetSpectrum()[kToneBin], 0.5f, 0.05f);
}

TEST(SpectrumAnalysis, ASineOnABinGivesItsAmplitudeThere) {
    SpectrumAnalyser* const analyser = createSpectrumAnalyser();
    std::vector<float> samples(kSpectrumWindow);
    float bins[kSpectrumBins];
    const auto sine = [&](const double amplitude, const double bin) {
        for (int n = 0; n < kSpectrumWindow; ++n) {
            samples[n] = static_cast<float>(
                amplitude * std::sin(2.0 * std::numbers::pi * bin * n / kSpectrumWindow + 0.3));
        }
        computeSpectrum(analyser, samples.data(), bins);
    };

    sine(1.0, 37);
    EXPECT_NEAR(bins[37], 1.0f, 0.01f);
    EXPECT_NEAR(bins[36], 0.5f, 0.01f) << "the Hann window's neighbour bins hold half";
    EXPECT_LT(loudestAwayFrom(bins, 37, 1), 1e-3f);

    sine(0.25, 300);
    EXPECT_EQ(loudestBin(bins), 300);
    EXPECT_NEAR(bins[300], 0.25f, 0.005f);

    sine(1.0, 511);
    EXPECT_NEAR(bins[511], 1.0f, 0.01f) << "the highest bin is still reported";

    std::fill(samples.begin(), samples.end(), 3.0f); // beyond full scale: clamped
    computeSpectrum(analyser, samples.data(), bins);
    EXPECT_EQ(bins[0], 1.0f);

    std::fill(samples.begin(), samples.end(), 0.0f);
    computeSpectrum(analyser, samples.data(), bins);
    EXPECT_EQ(*std::max_element(bins, bins + kSpectrumBins), 0.0f);
    destroySpectrumAnalyser(analyser);
}

// A device that keeps one 1024-frame buffer ahead: buffer k is handed over at about k x 1024
// frames of wall time (late by the jitter of the audio thread) and heard one buffer later.
TEST(DeviceClock, IsThePositionHandedOverLessWhatTheDeviceHoldsAndNeverGoesBack) {
    constexpr double kRate = 44100.0;
    constexpr std::int64_t kBuffer = 1024;
    constexpr double kLateMs[] = {0.0, 4.0, 1.0, 9.0, 0.5, 2.0, 6.0};
    HandedBuffer handed;
    SmoothedClock clock{0.0, 0.0, true}; // playback starts at frame 0 at time 0
    double previous = 0.0;
    for (int read = 1; read <= 120; ++read) { // 2 s of 60 Hz frames
        const double now = read / 60.0;
        for (std::int64_t k = handed.firstFrame / kBuffer + 1;; ++k) {
            const double wall = (k * kBuffer) / kRate + kLateMs[k % 7] * 0.001;
            if (wall > now) {
                break;
            }
            handed = HandedBuffer{k * kBuffer, wall};
        }
        advanceClock(clock, heardFrame(handed, kBuffer, kBuffer, now), true, now);
        ASSERT_GE(clock.frames, previous) << "read " << read;
        previous = clock.frames;
        if (now >= 1.0) { // once steered in: one buffer behind, less the callbacks' lateness
            EXPECT_NEAR(clock.frames, now * kRate - kBuffer, 0.005 * kRate) << "read " << read;
        }
    }
}

TEST_F(SoundTest, SilentOutputRunsInRealTimeAndSeeksAndRunsOnPastTheEnd) {
    SoundStream* const stream = playTone(kSoundOutputDevice);
    ASSERT_NE(stream, nullptr);
    const int first = soundStreamGetTime(stream);
    std::this_thread::sleep_for(milliseconds(200));
    const int second = soundStreamGetTime(stream);
    EXPECT_GE(second - first, 195);
    EXPECT_LT(second - first, 1000);

    soundStreamSetTime(stream, 2500);
    const int afterSeek = soundStreamGetTime(stream);
    EXPECT_GE(afterSeek, 2500);
    EXPECT_LE(afterSeek, 2501);
    EXPECT_EQ(loudestBin(soundGetSpectrum()), kToneBin) << "the spectrum follows the seek";

    soundStreamSetTime(stream, -700);
    EXPECT_LE(soundStreamGetTime(stream), 1);

    soundStreamSetTime(stream, 1000000);
    const int pastEnd = soundStreamGetTime(stream);
    EXPECT_GE(pastEnd, 1000000) << "a seek past the end lands where asked";
    EXPECT_LE(pastEnd, 1000001);
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_GE(soundStreamGetTime(stream), 1000095) << "the clock runs on in silence";
    EXPECT_LT(*std::max_element(soundGetSpectrum(), soundGetSpectrum() + kSpectrumBins), 1e-4f);
}

TEST_F(SoundTest, WithoutAStreamTheClockIsSilentRealTimeFromZeroAndSeekable) {
    EXPECT_TRUE(soundSetOutput(kSoundOutputDevice));
    EXPECT_TRUE(soundInit(44100, 32, 0));
    soundClose(); // as after a missing track
    const int start = soundStreamGetTime(nullptr);
    EXPECT_LE(start, 1);
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_GE(soundStreamGetTime(nullptr), start + 95);

    soundStreamSetTime(nullptr, 42000);
    EXPECT_LE(soundStreamGetTime(nullptr) - 42000, 1);
    EXPECT_GE(soundStreamGetTime(nullptr), 42000);
    soundStreamSetTime(nullptr, -500);
    EXPECT_LE(soundStreamGetTime(nullptr), 1);

    const float* const spectrum = soundGetSpectrum();
    EXPECT_EQ(*std::max_element(spectrum, spectrum + kSpectrumBins), 0.0f);
}

TEST_F(SoundTest, BadDataAndBadCallsFailCleanly) {
    std::vector<unsigned char> garbage = readFixture("garbage.mp3");
    ASSERT_FALSE(garbage.empty());
    const unsigned memory = kSoundModeNormal | kSoundModeLoadMemory;
    EXPECT_EQ(soundStreamOpen(garbage.data(), memory, 0, static_cast<int>(garbage.size())), nullptr)
        << "not initialised yet";

    SoundStream* const tone = openTone(kSoundOutputDevice);
    ASSERT_NE(tone, nullptr);
    EXPECT_EQ(soundStreamOpen(garbage.data(), memory, 0, static_cast<int>(garbage.size())),
              nullptr);
    EXPECT_EQ(soundStreamOpen(track_.data(), memory, 0, 0), nullptr);
    EXPECT_EQ(soundStreamOpen(track_.data(), memory, -1, 100), nullptr);
    EXPECT_EQ(soundStreamOpen(track_.data(), memory, 50, 50), nullptr);
    EXPECT_EQ(soundStreamOpen(nullptr, memory, 0, 100), nullptr);
    EXPECT_EQ(soundStreamOpen(track_.data(), kSoundModeNormal, 0, 100), nullptr)
        << "only memory streams";
    // The first 600 bytes of a real MP3: a few frames, then nothing. Decodes what is there.
    SoundStream* const cut = soundStreamOpen(track_.data(), memory, 0, 600);
    EXPECT_TRUE(cut == nullptr || soundStreamGetLengthMs(cut) < 200);

    EXPECT_EQ(soundStreamPlayEx(-1, nullptr, nullptr, false), -1);
    EXPECT_EQ(soundStreamPlayEx(32, tone, nullptr, false), -1) << "channels are 0 to 31";
    EXPECT_FALSE(soundSetPaused(-1, false));
    EXPECT_FALSE(soundSetPaused(5, false)) << "nothing on channel 5";
    EXPECT_EQ(soundStreamGetLengthMs(nullptr), 0);
    EXPECT_FALSE(soundDspSetActive(nullptr, true));
}

TEST_F(SoundTest, OutputChoiceAndReinitialisation) {
    EXPECT_TRUE(soundSetOutput(kSoundOutputStepped));
    EXPECT_FALSE(soundSetOutput(kSoundOutputDevice)) << "the host's stepped choice holds";
    SoundStream* const stream = openTone(kSoundOutputStepped);
    const int channel = soundStreamPlayEx(-1, stream, nullptr, false);
    EXPECT_EQ(channel, 0);
    EXPECT_FALSE(soundSetOutput(kSoundOutputStepped)) << "refused while initialised";

    // A second start-up (SetOutput and Init again) keeps the stream and its position.
    soundStreamSetTime(stream, 2222);
    soundSetOutput(kSoundOutputDevice);
    EXPECT_TRUE(soundInit(44100, 32, 0));
    EXPECT_EQ(soundStreamGetTime(stream), 2222);
    EXPECT_EQ(soundStreamGetLengthMs(stream), kToneLengthMs);

    // Close frees the streams: the old handle is no longer one, and reads as no stream.
    soundClose();
    EXPECT_EQ(soundStreamGetLengthMs(stream), 0);
    EXPECT_FALSE(soundSetOutput(kSoundOutputDevice)) << "a close keeps the stepped choice";
    soundReset();
    EXPECT_TRUE(soundSetOutput(kSoundOutputDevice)) << "a reset forgets it";
}

// The track's bytes held as a host holds them, to the end of the process.
struct TrackHeldToTheEnd {
    std::vector<unsigned char> bytes;
    ~TrackHeldToTheEnd() {
        if (soundDeviceOpen()) {
            std::fputs("the track is freed while the audio thread may read it\n", stderr);
            std::_Exit(3);
        }
    }
};

TEST_F(SoundTest, AtExitTheDeviceClosesBeforeTheTrackIsFreed) {
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // a fresh process: no earlier output opened
    useAudioDriver("dummy");
    const auto playThenExit = [] {
        static TrackHeldToTheEnd track; // destroyed at exit, as a host's track buffer is
        track.bytes = readFixture("tone.mp3");
        soundInit(44100, 32, 0);
        SoundStream* const stream = soundStreamOpen(track.bytes.data(), kSoundModeLoadMemory, 0,
                                                    static_cast<int>(track.bytes.size()));
        soundSetPaused(soundStreamPlayEx(-1, stream, nullptr, true), false);
        std::this_thread::sleep_for(milliseconds(100));
        std::exit(soundDeviceOpen() ? 0 : 2);
    };
    EXPECT_EXIT(playThenExit(), testing::ExitedWithCode(0), "");
}

TEST_F(SoundTest, DeviceOutputPlaysAndSeeksThroughTheAudioCallback) {
    useAudioDriver("dummy");
    SoundStream* const stream = playTone(kSoundOutputDevice);
    ASSERT_NE(stream, nullptr);
    soundStreamSetTime(stream, 1500);
    const int afterSeek = soundStreamGetTime(stream);
    EXPECT_GE(afterSeek, 1500);
    EXPECT_LE(afterSeek, 1501);

    std::this_thread::sleep_for(milliseconds(300));
    const int later = soundStreamGetTime(stream);
    EXPECT_GE(later, 1500 + 250);
    EXPECT_LE(later, 1500 + 1000);
    const float* const spectrum = soundGetSpectrum();
    EXPECT_EQ(loudestBin(spectrum), kToneBin) << "the callback analysed the tone it played";
    EXPECT_NEAR(spectrum[kToneBin], 0.5f, 0.05f);

    // Into the leading silence, past the end of the track, and back into the tone.
    for (const int target : {100, 60000, 2000}) {
        soundStreamSetTime(stream, target);
        const int landed = soundStreamGetTime(stream);
        EXPECT_GE(landed, target);
        EXPECT_LE(landed, target + 1);
        std::this_thread::sleep_for(milliseconds(150));
        EXPECT_EQ(soundGetSpectrum()[kToneBin] > 0.4f, target == 2000) << target;
    }
}

} // namespace
