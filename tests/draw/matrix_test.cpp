// The matrix maths of the drawing layer against matrices known by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "draw/matrix.h"

namespace {

void expectMatrixNear(const float* actual, const float (&expected)[16], const char* what) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(actual[i], expected[i], 1e-6f) << what << ", element " << i;
    }
}

ClipVertex apply(const float* m, const float x, const float y, const float z) {
    return transformPoint(m, x, y, z);
}

} // namespace

// Quarter turns about each main axis and a third of a turn about the diagonal, which carries x
// to y, y to z and z to x; a degenerate axis gives no rotation.
TEST(Matrix, RotationsTurnTheAxesAsExpected) {
    const struct {
        float degrees, x, y, z;
        float expected[16];
    } cases[] = {
        {90, 0, 0, 1, {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        {90, 0, 0, -1, {0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}},
        {90, 0, 2, 0, {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1}},
        {90, 1, 0, 0, {1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1}},
        {120, 1, 1, 1, {0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 1}},
    };
    for (const auto& c : cases) {
        float m[16];
        ASSERT_TRUE(rotationMatrix(c.degrees, c.x, c.y, c.z, m));
        expectMatrixNear(m, c.expected, "rotation");
    }
    float untouched[16] = {7};
    EXPECT_FALSE(rotationMatrix(30, 0, 0, 0, untouched));
    EXPECT_FALSE(rotationMatrix(30, 1e-5f, 0, 1e-5f, untouched));
    EXPECT_EQ(untouched[0], 7.0f);
}

// Calls multiply on the right, so the last one acts first on a vertex: translating then
// rotating turns the point about the origin before moving it; the other order moves it first.
TEST(Matrix, CallsMultiplyOnTheRightAndScaleAndTranslateInPlace) {
    float m[16];
    std::memcpy(m, kIdentityMatrix, sizeof(m));
    translateMatrix(m, 10, 0, 0);
    float turn[16];
    ASSERT_TRUE(rotationMatrix(90, 0, 0, 1, turn));
    float product[16];
    multiplyMatrices(m, turn, product);
    const ClipVertex moved = apply(product, 1, 0, 0);
    EXPECT_NEAR(moved.x, 10.0f, 1e-6f);
    EXPECT_NEAR(moved.y, 1.0f, 1e-6f);
    multiplyMatrices(turn, m, product);
    const ClipVertex turned = apply(product, 1, 0, 0);
    EXPECT_NEAR(turned.x, 0.0f, 1e-5f);
    EXPECT_NEAR(turned.y, 11.0f, 1e-5f);

    float scaled[16];
    std::memcpy(scaled, product, sizeof(scaled));
    scaleMatrix(scaled, 2, 3, 4);
    const ClipVertex a = apply(scaled, 1, 1, 1);
    const ClipVertex b = apply(product, 2, 3, 4);
    EXPECT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w);
}

// The overlay's screen (640 x 480, y down) and the show's perspective (45 degrees, 4:3, near 1,
// far 100) take known points to known clip coordinates.
TEST(Matrix, ProjectionsMapTheirCornersAndPlanes) {
    float ortho[16];
    orthoMatrix(0, 640, 480, 0, -1, 1, ortho);
    const ClipVertex topLeft = apply(ortho, 0, 0, 0);
    const ClipVertex bottomRight = apply(ortho, 640, 480, 0.5f);
    EXPECT_FLOAT_EQ(topLeft.x, -1.0f);
    EXPECT_FLOAT_EQ(topLeft.y, 1.0f);
    EXPECT_FLOAT_EQ(bottomRight.x, 1.0f);
    EXPECT_FLOAT_EQ(bottomRight.y, -1.0f);
    EXPECT_FLOAT_EQ(bottomRight.z, -0.5f);

    float perspective[16];
    ASSERT_TRUE(perspectiveMatrix(45.0, 4.0 / 3.0, 1.0, 100.0, perspective));
    const float cotangent = static_cast<float>(1.0 / std::tan(22.5 * 3.14159265358979 / 180.0));
    EXPECT_FLOAT_EQ(perspective[0], cotangent * 0.75f);
    EXPECT_FLOAT_EQ(perspective[5], cotangent);
    const ClipVertex nearPoint = apply(perspective, 0, 0, -1);
    const ClipVertex farPoint = apply(perspective, 0, 0, -100);
    EXPECT_FLOAT_EQ(nearPoint.z / nearPoint.w, -1.0f);
    EXPECT_NEAR(farPoint.z / farPoint.w, 1.0f, 1e-6f);
    EXPECT_FALSE(perspectiveMatrix(45.0, 1.0, 5.0, 5.0, perspective));

    EXPECT_EQ(clipOutcode(ClipVertex{0, 0, 0, 1}), 0u);
    EXPECT_EQ(clipOutcode(ClipVertex{-2, 2, 0, 1}), 1u | 8u);
    EXPECT_EQ(clipOutcode(ClipVertex{0, 0, -2, 1}), 16u);
}
