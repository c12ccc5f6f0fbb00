#pragma once
#include "render/vec3.h"

// The random point sets, drawn from nextRandom and refilled at every start-up in this order.
inline constexpr int kCloudPointCount = 2000;
extern Vec3 cloudPoints[kCloudPointCount];
inline constexpr int kSmallCloudPointCount = 2000;
extern Vec3 smallCloudPoints[kSmallCloudPointCount];
inline constexpr int kSphereDirectionCount = 1600;
extern Vec3 sphereDirections[kSphereDirectionCount];
void scatterCloudPoints();
void scatterSmallCloudPoints();
void scatterSphereDirections();
// Fills `count` points in order, each with three draws of `coordinate`: x, y, then z.
void scatterPoints(Vec3* points, int count, float (*coordinate)());

// The scenes of the timeline.
void drawRisingCloud();
void drawWaveSheet();
void drawParticleTunnel();
void drawSpectrumRings();
void drawLatticeCube();
void drawCloudMorph();
void drawButterfly();
void drawTriangleSwarm();
void drawHelixColumns();
void drawKnotCurve(float xWeight, float yWeight, float zWeight);
void drawParticleSphere();
void drawWobbleTube();
void drawHarmonicShape();
// The point of the harmonic shape's surface in the direction (theta, phi), in radians.
Vec3 harmonicPoint(double theta, double phi);
void drawCentredCloud();
