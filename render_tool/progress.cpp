#include "render_tool/progress.h"

#include <cstdio>
#include <unistd.h>

static double secondsSince(const std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void startProgress(Progress* const progress, const int total) {
    progress->total = total;
    progress->done = 0;
    progress->terminal = isatty(STDERR_FILENO) == 1;
    progress->started = std::chrono::steady_clock::now();
    progress->lastDrawn = progress->started;
}

static void drawBar(const Progress& progress) {
    constexpr int kWidth = 30;
    const double elapsed = secondsSince(progress.started);
    const double fps = elapsed > 0.0 ? progress.done / elapsed : 0.0;
    const double left = fps > 0.0 ? (progress.total - progress.done) / fps : 0.0;
    const int filled = progress.total > 0 ? kWidth * progress.done / progress.total : kWidth;
    char bar[kWidth + 1];
    for (int i = 0; i < kWidth; ++i) {
        bar[i] = i < filled ? '#' : '-';
    }
    bar[kWidth] = '\0';
    std::fprintf(stderr, "\r[%s] %d/%d frames  %.1f fps  %d:%02d left ", bar, progress.done,
                 progress.total, fps, static_cast<int>(left) / 60, static_cast<int>(left) % 60);
    std::fflush(stderr);
}

void advanceProgress(Progress* const progress) {
    ++progress->done;
    if (!progress->terminal) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (progress->done == progress->total ||
        now - progress->lastDrawn > std::chrono::milliseconds(200)) {
        progress->lastDrawn = now;
        drawBar(*progress);
    }
}

void finishProgress(Progress* const progress, const char* const what) {
    const double elapsed = secondsSince(progress->started);
    if (progress->terminal) {
        std::fputc('\n', stderr);
    }
    std::fprintf(stderr, "vellomire-render: %d frames to %s in %.1f s (%.1f fps)\n", progress->done,
                 what, elapsed, elapsed > 0.0 ? progress->done / elapsed : 0.0);
}
