#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <thread>

#include "demo/music.h"
#include "platform/sound.h"
#include "tests/platform/sound_test_support.h"

namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

// Runs each test in an empty working directory of its own, where the show looks for
// data/music/track.mp3, with the music and the sound library as at program start; back in the
// source folder afterwards, as ctest starts the tests.
class MusicTest : public ::testing::Test {
  protected:
    void SetUp() override {
        resetMusic();
        useAudioDriver();
        std::string folder = (fs::temp_directory_path() / "vellomire_music_XXXXXX").string();
        fs::current_path(mkdtemp(folder.data()));
        fs::create_directories("data/music");
    }
    void TearDown() override {
        resetMusic();
        unsetenv("SDL_AUDIODRIVER");
        fs::remove_all(fs::current_path());
        fs::current_path(VELLOMIRE_SOURCE_DIR);
    }

    // Puts a fixture (or a folder) where the track belongs, then runs the show's start-up steps
    // for the music, returning what they printed.
    static std::string start(const std::string& track = "") {
        if (track == "folder") {
            fs::create_directories("data/music/track.mp3");
        } else if (!track.empty()) {
            fs::copy_file(fixturePath(track.c_str()), "data/music/track.mp3");
        }
        testing::internal::CaptureStdout();
        startMusic();
        activateSpectrum();
        return testing::internal::GetCapturedStdout();
    }

    static int clockMs() {
        readMusicClock();
        return static_cast<int>(std::lround(MusicClock * 1000.0f));
    }
};

// A missing, unreadable or undecodable track: the show runs on a silent clock from 0 with a
// spectrum of zeros; a track that cannot be read is reported. A second start-up (a full-screen
// switch) keeps a playing stream without reading the file again; after it the clock goes on
// without a jump. With the render tool's stepped clock, the clock stays the host's.
TEST_F(MusicTest, StartUpsWithAndWithoutAPlayableTrack) {
    const char* const kReport = "Error!\nFile Not Found\n";
    for (const auto& [track, first, second] :
         {std::tuple{"", kReport, kReport}, std::tuple{"folder", kReport, kReport},
          std::tuple{"garbage.mp3", "", kReport}, std::tuple{"tone.mp3", "", ""}}) {
        SCOPED_TRACE(track);
        resetMusic();
        fs::remove_all("data/music/track.mp3");
        EXPECT_EQ(start(track), first);
        EXPECT_LE(clockMs(), 2);
        copySpectrum();
        EXPECT_EQ(*std::max_element(Spectrum, Spectrum + 64), 0.0f);
        seekMusic(2000.0f);
        std::this_thread::sleep_for(milliseconds(50));
        const int before = clockMs();
        EXPECT_GE(before, 2045) << "real time";
        fs::remove_all("data/music/track.mp3");
        EXPECT_EQ(start(), second);
        const int after = clockMs();
        EXPECT_TRUE(after >= before && after <= before + 200) << before << " then " << after;
        copySpectrum();
        EXPECT_EQ(Spectrum[kToneBin] > 0.4f, std::string(track) == "tone.mp3");
    }
    resetMusic();
    soundSetOutput(kSoundOutputStepped);
    EXPECT_EQ(start(), kReport);
    soundSetSteppedTime(12.5);
    EXPECT_EQ(clockMs(), 12500);
}

// Seeks go from the previous frame's clock, truncated to whole milliseconds, clamped at 0 and
// on past the end of the track; the spectrum copies the sound library's first 64 values.
TEST_F(MusicTest, SeeksTruncateAndGoOnPastTheEndAndTheSpectrumCopiesTheFirst64Values) {
    soundSetOutput(kSoundOutputStepped);
    EXPECT_EQ(start("tone.mp3"), "");
    // clock of the frame (s), seek (ms), clock after it (ms)
    constexpr double kMax = std::numeric_limits<int>::max();
    const double seeks[][3] = {{1.2345, 0.9, 1234}, {1.2345, 500, 1734}, {0.2, -500, 0},
                               {2, 5000, 7000},     {7.5, 500, 8000},    {1, -1e12, 0},
                               {1, 1e12, kMax}};
    for (const auto& [frame, seek, after] : seeks) {
        soundSetSteppedTime(frame);
        readMusicClock();
        seekMusic(static_cast<float>(seek));
        EXPECT_EQ(soundStreamGetTime(nullptr), static_cast<int>(after)) << frame << " " << seek;
    }
    soundSetSteppedTime(2.0);
    copySpectrum();
    EXPECT_TRUE(std::equal(Spectrum, Spectrum + 64, soundGetSpectrum()));
}

} // namespace
