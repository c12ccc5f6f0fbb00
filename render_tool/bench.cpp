#include "render_tool/bench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "demo/frame.h"
#include "render_tool/headless_show.h"

struct SceneTiming {
    int scene;
    double medianMs;
    double p95Ms;
    double seconds; // how long the scene lasts in the show
};

static double percentile(std::vector<double> values, const double fraction) {
    std::sort(values.begin(), values.end());
    const std::size_t index =
        std::min(values.size() - 1, static_cast<std::size_t>(fraction * (values.size() - 1) + 0.5));
    return values[index];
}

static double timeFrame(const double clock) {
    const auto start = std::chrono::steady_clock::now();
    drawShowFrame(clock);
    finishShowFrame();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

static SceneTiming timeScene(const SceneRule& rule, const double lastsUntil,
                             const int framesPerScene) {
    const double span = rule.end - rule.start;
    // One frame inside the interval first, so that the timeline has chosen the scene.
    drawShowFrame(rule.start + span * 0.5 / framesPerScene);
    std::vector<double> times;
    for (int i = 0; i < framesPerScene; ++i) {
        times.push_back(timeFrame(rule.start + span * (i + 0.5) / framesPerScene));
    }
    return SceneTiming{rule.scene, percentile(times, 0.5), percentile(times, 0.95),
                       lastsUntil - rule.start};
}

int runFrameBench(const int framesPerScene, const bool csv) {
    std::vector<SceneTiming> timings;
    for (int r = 0; r < kSceneRuleCount; ++r) {
        const double lastsUntil =
            r + 1 < kSceneRuleCount ? SceneTimeline[r + 1].start : static_cast<double>(kShowEnd);
        timings.push_back(timeScene(SceneTimeline[r], lastsUntil, framesPerScene));
    }
    double weighted = 0.0;
    double total = 0.0;
    if (csv) {
        std::printf("scene,median_ms,p95_ms,fps\n");
    } else {
        std::printf("%5s %10s %10s %8s\n", "scene", "median ms", "p95 ms", "fps");
    }
    for (const SceneTiming& t : timings) {
        const double fps = t.medianMs > 0.0 ? 1000.0 / t.medianMs : 0.0;
        std::printf(csv ? "%d,%.3f,%.3f,%.1f\n" : "%5d %10.2f %10.2f %8.1f\n", t.scene, t.medianMs,
                    t.p95Ms, fps);
        weighted += t.medianMs * t.seconds;
        total += t.seconds;
    }
    if (!csv) {
        const double average = weighted / total;
        std::printf("whole show: %.2f ms per frame on average (%.1f fps)\n", average,
                    1000.0 / average);
    }
    return 0;
}
