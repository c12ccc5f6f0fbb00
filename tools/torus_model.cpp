#include "tools/torus_model.h"

#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

void appendLine(std::string* text, const char* format, double a, double b, double c) {
    char line[128];
    std::snprintf(line, sizeof line, format, a, b, c);
    *text += line;
}

// Numbers are written with six decimals; tiny negative values are written as zero so that
// "-0.000000" never appears.
double tidy(double value) {
    return std::abs(value) < 5e-7 ? 0.0 : value;
}

} // namespace

std::string makeTorusObj() {
    constexpr int ring = kTorusRingSegments;
    constexpr int tube = kTorusTubeSegments;
    constexpr double twoPi = 2.0 * std::numbers::pi;
    std::string text;
    text += "# Vellomire torus\n";
    text += "# major radius 1.0, minor radius 0.4, 32 x 16 quads, axis along y\n";
    text += "# groups: outer (the half facing away from the axis) and inner\n";
    text += "o torus\n";
    // Positions and normals: one per (ring, tube) corner; the seams share them.
    for (int i = 0; i < ring; ++i) {
        const double a = twoPi * i / ring;
        for (int j = 0; j < tube; ++j) {
            const double b = twoPi * j / tube;
            const double r = kTorusMajorRadius + kTorusMinorRadius * std::cos(b);
            appendLine(&text, "v %.6f %.6f %.6f\n", tidy(r * std::cos(a)),
                       tidy(kTorusMinorRadius * std::sin(b)), tidy(-r * std::sin(a)));
        }
    }
    // Texture coordinates: the seams get their own, so u and v run the full 0..1.
    for (int i = 0; i <= ring; ++i) {
        for (int j = 0; j <= tube; ++j) {
            char line[64];
            std::snprintf(line, sizeof line, "vt %.6f %.6f\n", static_cast<double>(i) / ring,
                          static_cast<double>(j) / tube);
            text += line;
        }
    }
    for (int i = 0; i < ring; ++i) {
        const double a = twoPi * i / ring;
        for (int j = 0; j < tube; ++j) {
            const double b = twoPi * j / tube;
            appendLine(&text, "vn %.6f %.6f %.6f\n", tidy(std::cos(b) * std::cos(a)),
                       tidy(std::sin(b)), tidy(-std::cos(b) * std::sin(a)));
        }
    }
    const auto position = [](int i, int j) { return (i % ring) * tube + (j % tube) + 1; };
    const auto texCoord = [](int i, int j) { return i * (tube + 1) + j + 1; };
    const char* const groups[] = {"outer", "inner"};
    for (int half = 0; half < 2; ++half) {
        text += "g ";
        text += groups[half];
        text += "\ns off\n";
        // The outer half is tube rows 0..3 and 12..15 (cos b >= 0), the inner half the rest.
        for (int i = 0; i < ring; ++i) {
            for (int j = 0; j < tube; ++j) {
                const bool outer = j < tube / 4 || j >= 3 * tube / 4;
                if (outer != (half == 0)) {
                    continue;
                }
                const int corners[4][2] = {{i, j}, {i + 1, j}, {i + 1, j + 1}, {i, j + 1}};
                text += "f";
                for (const auto& corner : corners) {
                    const int p = position(corner[0], corner[1]);
                    char vertex[48];
                    std::snprintf(vertex, sizeof vertex, " %d/%d/%d", p,
                                  texCoord(corner[0], corner[1]), p);
                    text += vertex;
                }
                text += "\n";
            }
        }
    }
    return text;
}
