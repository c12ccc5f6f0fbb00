#include "render_tool/bench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "demo/frame.h"
#include "platform/sound.h"
#include "render_tool/headless_show.h"

namespace {

struct FrameTimes {
    double medianMs = 0.0;
    double p95Ms = 0.0;
};

struct SceneTiming {
    int scene = 0;
    double seconds = 0.0; // how long the scene lasts in the show
    FrameTimes chosen;
    FrameTimes literal;
    FrameTimes batched;
    FrameTimes floor;
};

double percentile(std::vector<double> values, const double fraction) {
    std::sort(values.begin(), values.end());
    const std::size_t index =
        std::min(values.size() - 1, static_cast<std::size_t>(fraction * (values.size() - 1) + 0.5));
    return values[index];
}

double millisecondsOf(void (*draw)(double), const double clock) {
    const auto start = std::chrono::steady_clock::now();
    draw(clock);
    finishShowFrame();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

void drawNormalFrame(const double clock) {
    drawShowFrame(clock);
}

// The frame's passes with the captured sprite geometry in place of the scene.
void drawFloorFrame(const double clock) {
    soundSetSteppedTime(clock);
    drawFrameUsing(replayCapturedSprites);
}

double clockOf(const SceneRule& rule, const int i, const int frames) {
    return rule.start + (rule.end - rule.start) * (i + 0.5) / frames;
}

FrameTimes timeFrames(const SceneRule& rule, const int frames, const SpriteDrawing drawing) {
    setSpriteDrawing(drawing);
    drawShowFrame(clockOf(rule, 0, frames)); // lets the timeline choose the scene
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
        times.push_back(millisecondsOf(drawNormalFrame, clockOf(rule, i, frames)));
    }
    return FrameTimes{percentile(times, 0.5), percentile(times, 0.95)};
}

FrameTimes timeFloorFrames(const SceneRule& rule, const int frames) {
    setSpriteDrawing(SpriteDrawing::Batched);
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
        const double clock = clockOf(rule, i, frames);
        captureSprites(true);
        drawShowFrame(clock);
        captureSprites(false);
        times.push_back(millisecondsOf(drawFloorFrame, clock));
    }
    return FrameTimes{percentile(times, 0.5), percentile(times, 0.95)};
}

void printTable(const std::vector<SceneTiming>& timings) {
    std::printf("%5s %11s %11s %9s %8s %8s %10s %9s\n", "scene", "literal ms", "batched ms",
                "p95 ms", "fps", "speedup", "floor ms", "vs floor");
    double weighted = 0.0;
    double total = 0.0;
    for (const SceneTiming& t : timings) {
        std::printf("%5d %11.2f %11.2f %9.2f %8.1f %7.2fx %10.2f %8.2fx\n", t.scene,
                    t.literal.medianMs, t.batched.medianMs, t.batched.p95Ms,
                    1000.0 / t.batched.medianMs, t.literal.medianMs / t.batched.medianMs,
                    t.floor.medianMs, t.batched.medianMs / t.floor.medianMs);
        weighted += t.batched.medianMs * t.seconds;
        total += t.seconds;
    }
    const double average = weighted / total;
    std::printf("whole show (batched, weighted by scene length): %.2f ms per frame, %.1f fps\n",
                average, 1000.0 / average);
}

void printCsv(const std::vector<SceneTiming>& timings) {
    std::printf("scene,median_ms,p95_ms,fps\n");
    for (const SceneTiming& t : timings) {
        std::printf("%d,%.3f,%.3f,%.1f\n", t.scene, t.chosen.medianMs, t.chosen.p95Ms,
                    1000.0 / t.chosen.medianMs);
    }
}

} // namespace

int runFrameBench(const int framesPerScene, const bool csv, const SpriteDrawing drawing) {
    std::vector<SceneTiming> timings;
    for (int r = 0; r < kSceneRuleCount; ++r) {
        const SceneRule& rule = SceneTimeline[r];
        SceneTiming timing;
        timing.scene = rule.scene;
        timing.seconds =
            (r + 1 < kSceneRuleCount ? SceneTimeline[r + 1].start : kShowEnd) - rule.start;
        if (csv) {
            timing.chosen = timeFrames(rule, framesPerScene, drawing);
        } else {
            timing.literal = timeFrames(rule, framesPerScene, SpriteDrawing::Literal);
            timing.batched = timeFrames(rule, framesPerScene, SpriteDrawing::Batched);
            timing.floor = timeFloorFrames(rule, framesPerScene);
        }
        timings.push_back(timing);
    }
    setSpriteDrawing(drawing);
    csv ? printCsv(timings) : printTable(timings);
    return 0;
}
