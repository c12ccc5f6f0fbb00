#include "render_tool/bench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

#include "demo/frame.h"
#include "platform/sound.h"
#include "render_tool/headless_show.h"

namespace {

// Medians and 95th percentiles of one kind of frame: wall time, and the CPU time of the
// whole process (the GL's rasterizer threads included), which a busy machine disturbs less.
struct FrameTimes {
    double medianMs = 0.0;
    double p95Ms = 0.0;
    double cpuMedianMs = 0.0;
};

struct SceneTiming {
    int scene = 0;
    double seconds = 0.0; // how long the scene lasts in the show
    int sprites = 0;      // sprites drawn by the scene's last batched frame
    FrameTimes chosen;
    FrameTimes literal;
    FrameTimes batched;
    FrameTimes floor;
};

struct FrameSamples {
    std::vector<double> wall;
    std::vector<double> cpu;
};

double percentile(std::vector<double> values, const double fraction) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t index =
        std::min(values.size() - 1, static_cast<std::size_t>(fraction * (values.size() - 1) + 0.5));
    return values[index];
}

FrameTimes summarise(const FrameSamples& samples) {
    return FrameTimes{percentile(samples.wall, 0.5), percentile(samples.wall, 0.95),
                      percentile(samples.cpu, 0.5)};
}

double processCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

// Times one frame, from the start of drawing to the finished picture.
void timeFrame(void (*draw)(double), const double clock, FrameSamples* const samples) {
    const double cpuStart = processCpuMs();
    const auto start = std::chrono::steady_clock::now();
    draw(clock);
    finishShowFrame();
    const auto end = std::chrono::steady_clock::now();
    samples->cpu.push_back(processCpuMs() - cpuStart);
    samples->wall.push_back(std::chrono::duration<double, std::milli>(end - start).count());
}

void drawLiteralFrame(const double clock) {
    setSpriteDrawing(SpriteDrawing::Literal);
    drawShowFrame(clock);
}

void drawBatchedFrame(const double clock) {
    setSpriteDrawing(SpriteDrawing::Batched);
    drawShowFrame(clock);
}

// The captured sprites, or for a scene that draws no sprites (the butterfly, the triangle
// swarm) its own geometry, which has no per-sprite work to take away.
void drawFloorPicture() {
    if (capturedSpriteCount() > 0) {
        replayCapturedSprites();
    } else {
        drawCurrentScene();
    }
}

// The frame's passes (clear, glow, captions, letterbox) around the floor picture.
void drawFloorFrame(const double clock) {
    soundSetSteppedTime(clock);
    drawFrameUsing(drawFloorPicture);
}

double clockOf(const SceneRule& rule, const int i, const int frames) {
    return rule.start + (rule.end - rule.start) * (i + 0.5) / frames;
}

// The literal, batched and floor frames of one clock are timed one after the other, so that
// a change in the machine's load falls on all three alike.
void timeScene(const SceneRule& rule, const int frames, SceneTiming* const timing) {
    setSpriteDrawing(SpriteDrawing::Batched);
    drawShowFrame(clockOf(rule, 0, frames)); // lets the timeline choose the scene
    FrameSamples literal;
    FrameSamples batched;
    FrameSamples floor;
    for (int i = 0; i < frames; ++i) {
        const double clock = clockOf(rule, i, frames);
        timeFrame(drawLiteralFrame, clock, &literal);
        captureSprites(true);
        timeFrame(drawBatchedFrame, clock, &batched);
        captureSprites(false);
        timing->sprites = capturedSpriteCount();
        timeFrame(drawFloorFrame, clock, &floor);
    }
    timing->literal = summarise(literal);
    timing->batched = summarise(batched);
    timing->floor = summarise(floor);
}

void timeChosenPath(const SceneRule& rule, const int frames, const SpriteDrawing drawing,
                    SceneTiming* const timing) {
    setSpriteDrawing(drawing);
    drawShowFrame(clockOf(rule, 0, frames));
    FrameSamples chosen;
    for (int i = 0; i < frames; ++i) {
        timeFrame(drawing == SpriteDrawing::Literal ? drawLiteralFrame : drawBatchedFrame,
                  clockOf(rule, i, frames), &chosen);
    }
    timing->chosen = summarise(chosen);
}

void printTable(const std::vector<SceneTiming>& timings) {
    std::printf("median wall ms per frame (and CPU ms of all threads) per scene:\n");
    std::printf("%5s %7s %9s %9s %8s %9s %8s %9s %9s %9s %8s %8s\n", "scene", "sprites", "literal",
                "batched", "speedup", "floor", "vs floor", "cpu lit", "cpu bat", "cpu floor",
                "cpu spd", "cpu vs f");
    double weighted = 0.0;
    double total = 0.0;
    for (const SceneTiming& t : timings) {
        std::printf("%5d %7d %9.2f %9.2f %7.2fx %9.2f %7.2fx %9.2f %9.2f %9.2f %7.2fx %7.2fx\n",
                    t.scene, t.sprites, t.literal.medianMs, t.batched.medianMs,
                    t.literal.medianMs / t.batched.medianMs, t.floor.medianMs,
                    t.batched.medianMs / t.floor.medianMs, t.literal.cpuMedianMs,
                    t.batched.cpuMedianMs, t.floor.cpuMedianMs,
                    t.literal.cpuMedianMs / t.batched.cpuMedianMs,
                    t.batched.cpuMedianMs / t.floor.cpuMedianMs);
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
            timeChosenPath(rule, framesPerScene, drawing, &timing);
        } else {
            timeScene(rule, framesPerScene, &timing);
        }
        timings.push_back(timing);
    }
    setSpriteDrawing(drawing);
    csv ? printCsv(timings) : printTable(timings);
    return 0;
}
