#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <thread>
#include <unistd.h>

#include "demo/music.h"
#include "platform/sound.h"
#include "tests/platform/sound_test_support.h"

namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

// Runs each test in an empty working directory of its own, where the show looks for
// data/music/track.mp3, with the music and the sound library as at program start.
class MusicTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetMusic();
        useAudioDriver();
        previous_ = fs::current_path();
        dir_ = fs::temp_directory_path() /
               ("vellomire_music_" + std::to_string(static_cast<long>(::getpid())));
        fs::create_directories(dir_ / "data" / "music");
        fs::current_path(dir_);
    }
    void TearDown() override {
        resetMusic();
        unsetenv("SDL_AUDIODRIVER");
        fs::current_path(previous_);
        fs::remove_all(dir_);
    }

    void installTrack(const char* const fixture) {
        fs::copy_file(fixturePath(fixture), dir_ / "data" / "music" / "track.mp3",
                      fs::copy_options::overwrite_existing);
    }

    // The show's start-up steps for the music, returning what they printed.
    static std::string startAndCapture() {
        testing::internal::CaptureStdout();
        startMusic();
        activateSpectrum();
        return testing::internal::GetCapturedStdout();
    }

    static int clockMs() {
        readMusicClock();
        return static_cast<int>(std::lround(MusicClock * 1000.0f));
    }

    fs::path previous_;
    fs::path dir_;
};

TEST_F(MusicTest, MissingTrackReportsAndTheShowRunsOnASilentClock) {
    EXPECT_EQ(startAndCapture(), "Error!\nFile Not Found\n");
    const int start = clockMs();
    EXPECT_LE(start, 2) << "the silent clock starts from 0";
    std::this_thread::sleep_for(milliseconds(120));
    const int later = clockMs();
    EXPECT_GE(later - start, 115) << "and runs in real time";

    seekMusic(5000.0f); // Up
    EXPECT_NEAR(clockMs(), later + 5000, 2);
    seekMusic(-60000.0f);
    EXPECT_LE(clockMs(), 1) << "clamped at 0 by the sound library";
    copySpectrum();
    for (const float value : Spectrum) {
        ASSERT_EQ(value, 0.0f);
    }

    // A full-screen switch runs the start-up again: the same report, the clock goes on.
    seekMusic(7000.0f);
    EXPECT_EQ(startAndCapture(), "Error!\nFile Not Found\n");
    EXPECT_GE(clockMs(), 7000);
}

TEST_F(MusicTest, MissingTrackWithTheSteppedOutputKeepsTheHostsClock) {
    soundSetOutput(kSoundOutputStepped);
    EXPECT_EQ(startAndCapture(), "Error!\nFile Not Found\n");
    EXPECT_EQ(musicTrackLengthMs(), 0);
    soundSetSteppedTime(12.5);
    EXPECT_EQ(clockMs(), 12500);
}

TEST_F(MusicTest, UnreadableOrUndecodableTracksRunOnTheSilentClock) {
    fs::create_directories(dir_ / "data" / "music" / "track.mp3"); // a directory
    EXPECT_EQ(startAndCapture(), "Error!\nFile Not Found\n");
    fs::remove(dir_ / "data" / "music" / "track.mp3");
    resetMusic();

    installTrack("garbage.mp3");
    EXPECT_EQ(startAndCapture(), "");
    const int start = clockMs();
    std::this_thread::sleep_for(milliseconds(60));
    EXPECT_GE(clockMs() - start, 55);
    seekMusic(1500.0f);
    EXPECT_GE(clockMs(), 1500);
}

TEST_F(MusicTest, SeeksTruncateAndGoOnPastTheEndOfTheTrack) {
    installTrack("tone.mp3");
    soundSetOutput(kSoundOutputStepped);
    EXPECT_EQ(startAndCapture(), "");
    EXPECT_EQ(musicTrackLengthMs(), kToneLengthMs);

    soundSetSteppedTime(1.2345);
    EXPECT_EQ(clockMs(), 1234);
    seekMusic(0.9f); // 1234.9 ms: truncated, not rounded
    EXPECT_EQ(soundStreamGetTime(nullptr), 1234);
    seekMusic(500.0f); // Right, from the clock of the previous frame
    EXPECT_EQ(clockMs(), 1734);

    soundSetSteppedTime(0.2);
    readMusicClock();
    seekMusic(-500.0f); // Left in the first half second: -300 ms, clamped to 0
    EXPECT_EQ(clockMs(), 0);
    soundSetSteppedTime(2.0);
    readMusicClock();
    seekMusic(5000.0f); // Up past the end of the 3 s track
    EXPECT_EQ(clockMs(), 7000);
    soundSetSteppedTime(7.5); // the clock runs on past the end
    readMusicClock();
    seekMusic(500.0f); // Right moves on from there, not back to the end of the track
    EXPECT_EQ(clockMs(), 8000);
    seekMusic(1.0e12f); // beyond any int
    EXPECT_EQ(soundStreamGetTime(nullptr), std::numeric_limits<int>::max());
    seekMusic(-1.0e12f);
    EXPECT_EQ(clockMs(), 0);
}

TEST_F(MusicTest, SpectrumCopiesTheFirst64ValuesAtTheClock) {
    installTrack("tone.mp3");
    for (const float value : Spectrum) {
        ASSERT_EQ(value, 0.0f) << "zeros before the first copy";
    }
    soundSetOutput(kSoundOutputStepped);
    startAndCapture();
    soundSetSteppedTime(2.0);
    copySpectrum();
    const float* const source = soundGetSpectrum();
    for (int k = 0; k < 64; ++k) {
        EXPECT_EQ(Spectrum[k], source[k]) << k;
    }
    EXPECT_GT(Spectrum[kToneBin], 0.4f);
    soundSetSteppedTime(0.5);
    EXPECT_GT(Spectrum[kToneBin], 0.4f) << "kept until the next copy";
    copySpectrum();
    EXPECT_LT(Spectrum[kToneBin], 1e-4f);
}

TEST_F(MusicTest, ASecondStartUpKeepsThePlayingStreamAndItsPosition) {
    installTrack("tone.mp3");
    EXPECT_EQ(startAndCapture(), "");
    seekMusic(2000.0f);
    std::this_thread::sleep_for(milliseconds(50));
    const int before = clockMs();
    EXPECT_GE(before, 2045);

    // The file is gone: a start-up that read it again would report it missing.
    fs::remove(dir_ / "data" / "music" / "track.mp3");
    EXPECT_EQ(startAndCapture(), "");
    const int after = clockMs();
    EXPECT_GE(after, before);
    EXPECT_LE(after, before + 200) << "no jump";
    copySpectrum();
    EXPECT_GT(Spectrum[kToneBin], 0.4f) << "still the tone track, still playing";
}

} // namespace
