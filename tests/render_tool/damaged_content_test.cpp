// The render tool against every kind of damage to every data file: the show must start, draw
// and exit 0 whatever is in its data folder.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "tests/support/run_command.h"

namespace fs = std::filesystem;

namespace {

const char* const kDataFiles[] = {
    "data/music/track.mp3",   "data/textures/particle.png", "data/textures/butterfly.png",
    "data/textures/font.png", "data/3d/torus.obj",
};

enum class Damage { Missing, Empty, TruncatedToHalf, RandomBytes, Directory, Unreadable };
const Damage kDamages[] = {Damage::Missing,     Damage::Empty,     Damage::TruncatedToHalf,
                           Damage::RandomBytes, Damage::Directory, Damage::Unreadable};

const char* damageName(const Damage damage) {
    switch (damage) {
    case Damage::Missing:
        return "missing";
    case Damage::Empty:
        return "empty";
    case Damage::TruncatedToHalf:
        return "truncated";
    case Damage::RandomBytes:
        return "random bytes";
    case Damage::Directory:
        return "directory";
    case Damage::Unreadable:
        return "unreadable";
    }
    return "?";
}

void damageFile(const fs::path& file, const Damage damage) {
    const std::uintmax_t size = fs::file_size(file);
    switch (damage) {
    case Damage::Missing:
        fs::remove(file);
        break;
    case Damage::Empty:
        fs::resize_file(file, 0);
        break;
    case Damage::TruncatedToHalf:
        fs::resize_file(file, size / 2);
        break;
    case Damage::RandomBytes: {
        std::mt19937 random(1234);
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        for (std::uintmax_t i = 0; i < size; ++i) {
            out.put(static_cast<char>(random() & 0xFF));
        }
        break;
    }
    case Damage::Directory:
        fs::remove(file);
        fs::create_directory(file);
        break;
    case Damage::Unreadable:
        fs::permissions(file, fs::perms::none);
        break;
    }
}

int runToolIn(const fs::path& directory, const std::string& arguments, std::string* output) {
    std::string command = "cd '";
    command.append(directory.string()).append("' && ").append(VELLOMIRE_RENDER_TOOL);
    command.append(" ").append(arguments).append(" 2>&1");
    const CommandRun run = runCommand(command);
    *output = run.output;
    return run.status;
}

} // namespace

TEST(DamagedContent, EveryDamageToEveryFileStillRendersAndExitsZero) {
    for (const char* file : kDataFiles) {
        if (!fs::exists(file)) {
            GTEST_SKIP() << file << " is not in the data folder yet";
        }
    }
    const fs::path root = fs::temp_directory_path() / "vellomire-damaged-content";
    for (const char* file : kDataFiles) {
        for (const Damage damage : kDamages) {
            fs::remove_all(root);
            fs::create_directories(root);
            fs::copy("data", root / "data", fs::copy_options::recursive);
            damageFile(root / file, damage);
            std::string output;
            // Two frames in the butterfly's time (particles, butterfly, captions) and one
            // unrecorded frame before them.
            const int status =
                runToolIn(root, "--from 130 --to 130.5 --fps 4 --out frames/", &output);
            EXPECT_EQ(status, 0) << file << " " << damageName(damage) << "\n" << output;
            EXPECT_TRUE(fs::exists(root / "frames" / "frame_000002.png"))
                << file << " " << damageName(damage);
            if (fs::exists(root / file)) {
                fs::permissions(root / file, fs::perms::owner_all, fs::perm_options::add);
            }
        }
    }
    fs::remove_all(root);
}
