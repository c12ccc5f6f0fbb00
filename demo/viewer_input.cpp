#include "demo/viewer_input.h"

#include <algorithm>
#include <cmath>

#include "demo/frame.h"
#include "demo/music.h"

bool isToggleKey(const ShowKey key) {
    return key == ShowKey::Space || key == ShowKey::H;
}

namespace {

std::size_t slot(const ShowKey key) {
    return static_cast<std::size_t>(key);
}

const KeyBinding& bindingOf(const ShowKey key) {
    for (const KeyBinding& binding : kKeyBindings) {
        if (binding.key == key) {
            return binding;
        }
    }
    return kKeyBindings[0]; // every key has its row
}

int stripClockMs(const VirtualPoint point) {
    return static_cast<int>(std::lround(stripSecondsAt(point.x) * 1000.0f));
}

} // namespace

void pressShowKey(ShowKeys* const keys, const ShowKey key, const bool repeat) {
    keys->down[slot(key)] = 1;
    if (repeat && isToggleKey(key)) {
        return;
    }
    keys->presses[slot(key)] += 1;
    if (!bindingOf(key).whileHeld && keys->tapCount < kMaxTapsPerTurn) {
        keys->taps[static_cast<std::size_t>(keys->tapCount++)] = key;
    }
}

void releaseShowKey(ShowKeys* const keys, const ShowKey key) {
    keys->down[slot(key)] = 0;
}

void releaseShowKeys(ShowKeys* const keys) {
    keys->down.fill(0);
}

void pollShowKeys(ShowKeys* const keys, void (*const perform)(const KeyBinding&)) {
    for (const KeyBinding& binding : kKeyBindings) {
        if (binding.whileHeld &&
            (keys->down[slot(binding.key)] == 1 || keys->presses[slot(binding.key)] > 0)) {
            perform(binding);
        }
    }
    for (int tap = 0; tap < keys->tapCount; ++tap) {
        perform(bindingOf(keys->taps[static_cast<std::size_t>(tap)]));
    }
    keys->presses.fill(0);
    keys->tapCount = 0;
}

bool performShowCommand(const KeyBinding& binding, const ShowControlActions& controls,
                        void (*const seek)(float)) {
    switch (binding.command) {
    case KeyCommand::Seek:
        seek(binding.amount);
        markShowFrameDue();
        return true;
    case KeyCommand::TogglePause:
        controls.togglePause();
        return true;
    case KeyCommand::Step:
        controls.step(static_cast<int>(binding.amount));
        return true;
    case KeyCommand::NextCut:
        controls.nextCut();
        return true;
    case KeyCommand::PreviousCut:
        controls.previousCut();
        return true;
    case KeyCommand::Start:
        controls.start();
        return true;
    default:
        return false;
    }
}

void notePointerOverBar(HeadsUpVisibility* const visibility, const bool over,
                        const std::uint32_t now) {
    if (visibility->pointerOver && !over) {
        visibility->lingering = true;
        visibility->leftAt = now;
    }
    visibility->pointerOver = over;
}

bool headsUpShown(const HeadsUpVisibility& visibility, const std::uint32_t now) {
    return visibility.held || visibility.pointerOver ||
           (visibility.lingering && now - visibility.leftAt < kHeadsUpLingerMs);
}

bool overBottomBar(const VirtualPoint point) {
    return point.y <= kBottomBarTop;
}

void followPointer(const PointerTurn& turn, const std::uint32_t now,
                   const ShowControlActions& controls, HeadsUpVisibility* const visibility,
                   StripScrub* const scrub) {
    if (!turn.moved && !turn.pressed && !turn.released) {
        return;
    }
    notePointerOverBar(visibility, turn.inside && overBottomBar(turn.point), now);
    if (turn.pressed && !scrub->active && onStrip(turn.point.x, turn.point.y)) {
        scrub->active = true;
        scrub->pausedBefore = controls.paused();
        controls.setPaused(true);
        controls.moveTo(stripClockMs(turn.point));
    } else if (scrub->active && turn.moved) {
        controls.moveTo(stripClockMs(turn.point));
    }
    if (scrub->active && turn.released) {
        scrub->active = false;
        controls.setPaused(scrub->pausedBefore);
    }
}

void countFrame(FrameRate* const rate, const std::uint32_t now, const bool playing) {
    constexpr std::uint32_t kPeriodMs = 1000;
    if (!playing || rate->since == 0) {
        rate->since = playing ? now : 0;
        rate->frames = 0;
        return;
    }
    ++rate->frames;
    if (now - rate->since >= kPeriodMs) {
        rate->perSecond =
            static_cast<float>(rate->frames) * 1000.0f / static_cast<float>(now - rate->since);
        rate->since = now;
        rate->frames = 0;
    }
}

HeadsUp currentHeadsUp(const FrameRate& rate, const PictureSize picture) {
    HeadsUp line;
    line.clockMs = static_cast<int>(std::lround(MusicClock * 1000.0));
    line.scene = CurrentScene;
    line.framesPerSecond = rate.perSecond;
    line.pictureWidth = picture.width;
    line.pictureHeight = picture.height;
    line.paused = showPaused();
    return line;
}
