#pragma once

// The clocks of the reference pictures: every scene at two clocks, both sides of every
// boundary of the timeline, every black-out and caption, the final fade, the gaps and a few
// jumps.

// A frame at `clock` of a show that ran on to it, or, with `from`, the first frame after a jump
// from a show running at `from`.
struct Shot {
    double clock;
    double from = -1.0;
};

// clang-format off
inline constexpr Shot kShots[] = {
    // The rising cloud, the end of the opening black-out, the fade into the wave sheet.
    {1.5}, {8.0}, {17.0}, {24.5}, {24.9}, {25.1},
    // The wave sheet with the opening titles; the tunnel with its verses.
    {31.0}, {40.0}, {48.5}, {49.9}, {50.1}, {50.5}, {56.0}, {67.0},
    // The spectrum rings between their black-outs, with their captions.
    {72.5}, {72.9}, {73.1}, {76.5}, {78.5}, {81.0}, {85.5},
    // The lattice cube, the cloud morph and its black-outs with captions.
    {89.9}, {90.1}, {95.0}, {102.0}, {105.9}, {106.1}, {107.0}, {108.5}, {110.0}, {113.5},
    {116.0}, {119.5}, {122.0}, {122.9}, {123.1},
    // The butterfly with its verses, the metaballs with theirs.
    {130.0}, {136.0}, {138.5}, {138.9}, {139.1}, {144.5}, {149.0},
    // The triangle swarm, the first gap (170-171), the helix with its verses.
    {154.5}, {155.9}, {156.1}, {160.0}, {165.0}, {169.5}, {169.9}, {170.1}, {170.5}, {170.9},
    {171.1}, {176.0}, {184.0}, {187.5}, {189.9}, {190.1},
    // The knot, its black-outs with captions, the second gap (200-203), the sphere.
    {191.5}, {195.0}, {198.0}, {199.9}, {200.1}, {200.5}, {201.5}, {202.9}, {203.1}, {207.5},
    {214.0}, {220.5}, {221.9}, {222.1},
    // The wobble tube and its black-outs with captions, the harmonic shape with its verses.
    {225.0}, {228.0}, {233.0}, {239.0}, {242.9}, {243.1}, {243.5}, {246.5}, {251.0}, {253.5},
    {253.9}, {254.1}, {254.5},
    // The centred cloud, the credits, the last scene kept on after the timeline, the final fade.
    {255.5}, {256.5}, {259.9}, {260.1}, {263.5}, {265.0}, {271.0}, {275.0}, {277.0}, {278.5},
    {280.5}, {282.5},
    // Jumps: the frame after one still draws the scene that was on, and a gap keeps it on.
    {80.0, 100.0}, {130.0, 30.0}, {10.0, 60.0}, {265.0, 150.0}, {200.5, 230.0},
};
// clang-format on
