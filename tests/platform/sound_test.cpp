#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <thread>
#include <vector>

#include "platform/sound.h"
#include "platform/sound_clock.h"
#include "platform/sound_decoder.h"
#include "platform/sound_spectrum.h"
#include "tests/platform/sound_test_support.h"

namespace {

using std::chrono::milliseconds;

class SoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        soundReset();
        useAudioDriver();
    }
    void TearDown() override {
        soundReset();
        unsetenv("SDL_AUDIODRIVER");
    }

    // Initialises the library on `output` and opens the tone track; when `playing`, plays it
    // with the spectrum on.
    SoundStream* open(const int output, const bool playing) {
        EXPECT_TRUE(soundSetOutput(output));
        EXPECT_TRUE(soundInit(44100, 32, 0));
        track_ = readFixture("tone.mp3");
        SoundStream* const stream = soundStreamOpen(
            track_.data(), kSoundModeNormal | kSoundModeLoadMemory, 0, int(track_.size()));
        if (playing) {
            EXPECT_TRUE(soundSetPaused(soundStreamPlayEx(-1, stream, nullptr, true), false));
            EXPECT_TRUE(soundDspSetActive(soundGetFftUnit(), true));
        }
        return stream;
    }

    std::vector<unsigned char> track_;
};

float loudestAwayFrom(const float* const spectrum, const int bin, const int margin) {
    float loudest = 0.0f;
    for (int k = 0; k < kSpectrumBins; ++k) {
        loudest = std::abs(k - bin) > margin ? std::max(loudest, spectrum[k]) : loudest;
    }
    return loudest;
}

// Seeks `stream` to each target and expects the clock there (a real-time clock may have moved
// on by a millisecond), then the spectrum of the tone exactly where it plays.
void expectSeeksLand(SoundStream* const stream, std::initializer_list<int> targets, const int slack,
                     const milliseconds settle = milliseconds(0)) {
    for (const int target : targets) {
        soundStreamSetTime(stream, target);
        const int landed = soundStreamGetTime(stream);
        EXPECT_GE(landed, std::max(target, 0)) << target;
        EXPECT_LE(landed, std::max(target, 0) + slack) << target;
        std::this_thread::sleep_for(settle);
        const bool tone = target >= 1025 && target < kToneLengthMs; // the window's 1024 samples
        EXPECT_EQ(soundGetSpectrum()[kToneBin] > 0.4f, tone) << target;
        EXPECT_LT(loudestAwayFrom(soundGetSpectrum(), kToneBin, 2), 0.02f) << target;
    }
}

TEST_F(SoundTest, SteppedClockIsTheStepTimeAndTheSpectrumTheWindowEndingThere) {
    SoundStream* const stream = open(kSoundOutputStepped, false);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(soundStreamGetLengthMs(stream), kToneLengthMs);
    soundSetSteppedTime(2.0);
    soundDspSetActive(soundGetFftUnit(), true);
    EXPECT_EQ(soundGetSpectrum()[kToneBin], 0.0f) << "opened but not playing";
    const int channel = soundStreamPlayEx(-1, stream, nullptr, true);
    EXPECT_EQ(soundGetSpectrum()[kToneBin], 0.0f) << "paused";
    soundSetPaused(channel, false);
    EXPECT_NEAR(soundGetSpectrum()[kToneBin], 0.5f, 0.03f) << "a half-scale sine gives 0.5";
    for (const auto& [seconds, ms] : {std::pair{1.2349, 1234}, std::pair{1.001, 1001},
                                      std::pair{287.001, 287001}, std::pair{-3.0, 0}}) {
        soundSetSteppedTime(seconds);
        EXPECT_EQ(soundStreamGetTime(stream), ms) << "whole milliseconds, truncated";
    }
    // The tone starts at 1 s: the window ending there holds none of it, 25 ms later only tone.
    constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
    expectSeeksLand(stream, {1000, 1025, 1, 17, 999, 2345, 2999, -500, 5000, kMin, kMax}, 0);
    soundDspSetActive(soundGetFftUnit(), false);
    soundSetSteppedTime(2.5);
    EXPECT_EQ(soundGetSpectrum()[kToneBin], 0.0f) << "the FFT unit is off";
}

// A read that starts before the track is silence up to its start, then the track's own frames.
TEST(Mp3Decoder, AReadFromBeforeTheStartIsSilenceThenTheTrack) {
    const std::vector<unsigned char> track = readFixture("tone.mp3");
    Mp3Decoder* const decoder = openMp3Decoder(track.data(), track.size());
    ASSERT_NE(decoder, nullptr);
    constexpr int kBefore = 1000;
    constexpr int kFrames = 46000; // past the tone's start at 1 s
    std::vector<float> early(2 * (kBefore + kFrames), 1.0f);
    std::vector<float> fromStart(2 * kFrames);
    ASSERT_TRUE(mp3ReadFrames(decoder, -kBefore, early.data(), kBefore + kFrames));
    ASSERT_TRUE(mp3ReadFrames(decoder, 0, fromStart.data(), kFrames));
    closeMp3Decoder(decoder);
    EXPECT_TRUE(
        std::all_of(early.begin(), early.begin() + 2 * kBefore, [](float v) { return v == 0; }));
    EXPECT_TRUE(std::equal(fromStart.begin(), fromStart.end(), early.begin() + 2 * kBefore));
    EXPECT_GT(*std::max_element(fromStart.begin(), fromStart.end()), 0.3f);
}

// A spectrum beyond full scale tops out at 1.
TEST(SpectrumAnalysis, FullScaleIsTheTop) {
    SpectrumAnalyser* const analyser = createSpectrumAnalyser();
    std::vector<float> samples(kSpectrumWindow, 3.0f); // a constant beyond full scale
    float bins[kSpectrumBins];
    computeSpectrum(analyser, samples.data(), bins);
    EXPECT_EQ(bins[0], 1.0f);
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
        for (std::int64_t k = handed.firstFrame / kBuffer + 1;
             (k * kBuffer) / kRate + kLateMs[k % 7] * 0.001 <= now; ++k) {
            handed = HandedBuffer{k * kBuffer, (k * kBuffer) / kRate + kLateMs[k % 7] * 0.001};
        }
        advanceClock(clock, heardFrame(handed, kBuffer, kBuffer, now), true, now);
        ASSERT_GE(clock.frames, previous) << "read " << read;
        previous = clock.frames;
        if (now >= 1.0) { // once steered in: one buffer behind, less the callbacks' lateness
            EXPECT_NEAR(clock.frames, now * kRate - kBuffer, 0.005 * kRate) << "read " << read;
        }
    }
}

// Without a sound card (the silent clock) and through SDL's dummy driver, which calls back in
// real time like a sound card: seeks land where asked, in the tone, past the end of the track,
// into the silence before the tone and before 0; from there the clock runs in real time and
// never goes back.
TEST_F(SoundTest, DeviceOutputSeeksLandWhereAskedAndTheClockRunsOnNeverGoingBack) {
    for (const char* const driver : {"vellomire-no-such-driver", "dummy"}) {
        SCOPED_TRACE(driver);
        soundReset();
        useAudioDriver(driver);
        SoundStream* const stream = open(kSoundOutputDevice, true);
        ASSERT_NE(stream, nullptr);
        for (const int start : {1500, 1000000}) {
            expectSeeksLand(stream, {start}, 1, milliseconds(150));
            int previous = soundStreamGetTime(stream);
            for (int read = 0; read < 60; ++read) {
                std::this_thread::sleep_for(milliseconds(5));
                const int now = soundStreamGetTime(stream);
                ASSERT_GE(now, previous) << "read " << read;
                previous = now;
            }
            EXPECT_GE(previous, start + 300) << "at least 450 ms of sleep went by";
        }
        expectSeeksLand(stream, {100, 2000, -700}, 1, milliseconds(150));
    }
}

TEST_F(SoundTest, BadDataFailsCleanlyAndASecondStartUpKeepsTheStream) {
    const std::vector<unsigned char> garbage = readFixture("garbage.mp3");
    ASSERT_FALSE(garbage.empty());
    const unsigned memory = kSoundModeNormal | kSoundModeLoadMemory;
    const int size = static_cast<int>(garbage.size());
    EXPECT_EQ(soundStreamOpen(garbage.data(), memory, 0, size), nullptr) << "not initialised";
    SoundStream* const stream = open(kSoundOutputStepped, false);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(soundStreamOpen(garbage.data(), memory, 0, size), nullptr);
    EXPECT_EQ(soundStreamOpen(track_.data(), memory, 0, 0), nullptr);
    EXPECT_EQ(soundStreamOpen(track_.data(), memory, -1, 100), nullptr);
    EXPECT_EQ(soundStreamOpen(track_.data(), memory, 50, 50), nullptr);
    EXPECT_EQ(soundStreamOpen(nullptr, memory, 0, 100), nullptr);
    EXPECT_EQ(soundStreamOpen(track_.data(), kSoundModeNormal, 0, 100), nullptr) << "memory only";
    // The first 600 bytes of a real MP3: a few frames, then nothing. Decodes what is there.
    SoundStream* const cut = soundStreamOpen(track_.data(), memory, 0, 600);
    EXPECT_TRUE(cut == nullptr || soundStreamGetLengthMs(cut) < 200);

    // A second start-up (SetOutput and Init again) keeps the stream and its position; a close
    // frees it, and the old handle then reads as no stream.
    soundStreamSetTime(stream, 2222);
    EXPECT_FALSE(soundSetOutput(kSoundOutputDevice)) << "refused while initialised";
    EXPECT_TRUE(soundInit(44100, 32, 0));
    EXPECT_EQ(soundStreamGetTime(stream), 2222);
    soundClose();
    EXPECT_EQ(soundStreamGetLengthMs(stream), 0);
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

} // namespace
