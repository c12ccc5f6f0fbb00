#include "render_tool/bench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

#include "demo/frame.h"
#include "draw/draw.h"
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
    int primitives = 0;   // primitives the scene drew in its last frame
    int drawCalls = 0;    // draw calls of the whole last frame
    FrameTimes frame;
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

// The scene of the frame with its draws kept: everything it hands the drawing layer is flushed
// and copied before the glow starts.
void drawCapturedScene() {
    draw::captureDraws(true);
    drawCurrentScene();
    draw::captureDraws(false);
}

void drawPlainFrame(const double clock) {
    draw::resetDrawCounts();
    drawShowFrame(clock);
}

void drawCapturingFrame(const double clock) {
    soundSetSteppedTime(clock);
    draw::resetDrawCounts();
    drawFrameUsing(drawCapturedScene);
}

// The fill-rate floor of a scene: the vertices its last frame handed the layer, drawn again
// from the layer's kept copies, with each run's state, and no per-vertex work (no matrices,
// no culling, no batching). A scene that draws nothing (in a gap of the timeline) is drawn
// as it is.
void drawFloorPicture() {
    if (draw::capturedPrimitiveCount() > 0) {
        draw::replayCapturedDraws();
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

// The frame and the floor of one clock are timed one after the other, so that a change in the
// machine's load falls on both alike.
void timeScene(const SceneRule& rule, const int frames, const bool withFloor,
               SceneTiming* const timing) {
    drawShowFrame(clockOf(rule, 0, frames)); // lets the timeline choose the scene
    FrameSamples frame;
    FrameSamples floor;
    for (int i = 0; i < frames; ++i) {
        const double clock = clockOf(rule, i, frames);
        timeFrame(withFloor ? drawCapturingFrame : drawPlainFrame, clock, &frame);
        timing->drawCalls = draw::drawCounts().drawCalls;
        if (withFloor) {
            timing->primitives = draw::capturedPrimitiveCount();
            timeFrame(drawFloorFrame, clock, &floor);
        }
    }
    timing->frame = summarise(frame);
    timing->floor = summarise(floor);
}

void printTable(const std::vector<SceneTiming>& timings) {
    std::printf("median wall ms per frame (and CPU ms of all threads) per scene; the floor is\n"
                "the scene's own draws replayed from the layer's kept copies:\n");
    std::printf("%5s %6s %6s %9s %9s %8s %9s %9s %8s\n", "scene", "prims", "draws", "frame",
                "floor", "vs floor", "cpu frame", "cpu floor", "cpu vs f");
    double weighted = 0.0;
    double total = 0.0;
    for (const SceneTiming& t : timings) {
        std::printf("%5d %6d %6d %9.2f %9.2f %7.2fx %9.2f %9.2f %7.2fx\n", t.scene, t.primitives,
                    t.drawCalls, t.frame.medianMs, t.floor.medianMs,
                    t.frame.medianMs / t.floor.medianMs, t.frame.cpuMedianMs, t.floor.cpuMedianMs,
                    t.frame.cpuMedianMs / t.floor.cpuMedianMs);
        weighted += t.frame.medianMs * t.seconds;
        total += t.seconds;
    }
    const double average = weighted / total;
    std::printf("whole show (weighted by scene length): %.2f ms per frame, %.1f fps\n", average,
                1000.0 / average);
}

void printCsv(const std::vector<SceneTiming>& timings) {
    std::printf("scene,median_ms,p95_ms,fps\n");
    for (const SceneTiming& t : timings) {
        std::printf("%d,%.3f,%.3f,%.1f\n", t.scene, t.frame.medianMs, t.frame.p95Ms,
                    1000.0 / t.frame.medianMs);
    }
}

} // namespace

int runFrameBench(const int framesPerScene, const bool csv) {
    std::vector<SceneTiming> timings;
    for (int r = 0; r < kSceneRuleCount; ++r) {
        const SceneRule& rule = SceneTimeline[r];
        SceneTiming timing;
        timing.scene = rule.scene;
        timing.seconds =
            (r + 1 < kSceneRuleCount ? SceneTimeline[r + 1].start : kShowEnd) - rule.start;
        timeScene(rule, framesPerScene, !csv, &timing);
        timings.push_back(timing);
    }
    csv ? printCsv(timings) : printTable(timings);
    return 0;
}
