// The metaball mesh of one frame, built by following the surface from seeds near the balls,
// against the usual alternative on the same field: classifying all 32,768 cells of the grid
// with the same tables and triangulating the crossed ones. Both move the balls and start from
// a cleared cache every frame. Prints the two medians and their ratio after the run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "metaballs/marching_tables.h"
#include "metaballs/metaball_globals.h"
#include "metaballs/metaball_scene.h"

namespace {

constexpr int kClockCount = 64;

// Clocks spread over the scene's slot, 139 to 156 s.
float frameClock(const int frame) {
    return 139.0f + 17.0f * static_cast<float>(frame % kClockCount) / kClockCount;
}

IntVec3 fullScanMesh[MaxMeshVertices];

IntVec3 cornerOf(const IntVec3 anchor, const int corner) {
    return IntVec3{anchor.x + 5 * cubeCorners[corner].x, anchor.y + 5 * cubeCorners[corner].y,
                   anchor.z + 5 * cubeCorners[corner].z};
}

// Marching cubes over every cell of the grid, each anchored so that its cube covers the cell,
// with the same sampling and crossings as the surface following.
int scanWholeGrid() {
    metaballField.clearCache();
    int count = 0;
    for (int k = 0; k < 32; ++k) {
        for (int j = 0; j < 32; ++j) {
            for (int i = 0; i < 32; ++i) {
                const IntVec3 anchor{-80 + 5 * i, -80 + 5 * j, -75 + 5 * k};
                float values[kCubeCorners];
                const int configuration = surfacePolygonizer.classifyCell(anchor, values);
                const unsigned crossed = edgeTable[configuration];
                if (crossed == 0) {
                    continue;
                }
                IntVec3 points[kCubeEdges] = {};
                for (int e = 0; e < kCubeEdges; ++e) {
                    if ((crossed >> e) & 1u) {
                        const int first = edgeCorners[e][0];
                        const int second = edgeCorners[e][1];
                        points[e] =
                            metaballField.crossing(cornerOf(anchor, first), values[first],
                                                   cornerOf(anchor, second), values[second]);
                    }
                }
                const std::int8_t* row = triTable[configuration];
                for (int t = 0; row[t] != -1 && count + 3 <= MaxMeshVertices; t += 3) {
                    fullScanMesh[count++] = points[row[t + 2]];
                    fullScanMesh[count++] = points[row[t + 1]];
                    fullScanMesh[count++] = points[row[t]];
                }
            }
        }
    }
    return count;
}

void BM_SurfaceFollowing(benchmark::State& state) {
    int frame = 0;
    long vertices = 0;
    for (auto _ : state) {
        moveMetaballs(frameClock(frame++));
        buildMetaballMesh();
        vertices += surfacePolygonizer.vertexCount;
        benchmark::DoNotOptimize(meshVertices[0]);
    }
    state.counters["vertices"] = static_cast<double>(vertices) / static_cast<double>(frame);
}
BENCHMARK(BM_SurfaceFollowing)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

void BM_FullGridScan(benchmark::State& state) {
    int frame = 0;
    long vertices = 0;
    for (auto _ : state) {
        moveMetaballs(frameClock(frame++));
        vertices += scanWholeGrid();
        benchmark::DoNotOptimize(fullScanMesh[0]);
    }
    state.counters["vertices"] = static_cast<double>(vertices) / static_cast<double>(frame);
}
BENCHMARK(BM_FullGridScan)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

// Prints as usual and keeps the median times of every benchmark.
class MedianReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& reports) override {
        for (const Run& run : reports) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians[run.run_name.function_name] =
                    Median{run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
            }
        }
        ConsoleReporter::ReportRuns(reports);
    }
    struct Median {
        double real;
        double cpu;
    };
    std::map<std::string, Median> medians;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const auto following = reporter.medians.find("BM_SurfaceFollowing");
    const auto scan = reporter.medians.find("BM_FullGridScan");
    if (following != reporter.medians.end() && scan != reporter.medians.end()) {
        const auto& [follow, full] = std::pair(following->second, scan->second);
        std::printf("mesh of one frame, median real time: surface following %.1f us, full-grid "
                    "scan %.1f us, %.1f times faster (goal: at least 8)\n",
                    follow.real, full.real, full.real / follow.real);
        std::printf("mesh of one frame, median CPU time:  surface following %.1f us, full-grid "
                    "scan %.1f us, %.1f times faster\n",
                    follow.cpu, full.cpu, full.cpu / follow.cpu);
    }
    return 0;
}
