// The matrix maths of the drawing layer against matrices known by hand.
#include <gtest/gtest.h>

#include "draw/matrix.h"

namespace {

void expectMatrixNear(const float* actual, const float (&expected)[16], const char* what) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(actual[i], expected[i], 1e-6f) << what << ", element " << i;
    }
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
