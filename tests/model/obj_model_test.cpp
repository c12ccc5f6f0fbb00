#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "model/obj_model.h"
#include "tests/model/obj_model_check.h"

namespace {

namespace fs = std::filesystem;

// Writes OBJ text into a fresh temporary directory and loads it.
class ObjFile : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vellomire-obj-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir_, fs::perms::owner_all, ignored);
        fs::remove_all(dir_, ignored);
    }

    std::string write(const std::string& text, const std::string& name = "model.obj") {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    // Loads text into model, expecting success and a consistent result.
    void load(const std::string& text, ObjModel* model) {
        ASSERT_EQ(loadObjModel(model, write(text).c_str()), 1);
        ASSERT_EQ(checkObjModel(*model), "");
    }

    fs::path dir_;
};

std::vector<std::string> groupNames(const ObjModel& m) {
    std::vector<std::string> names;
    for (const ObjGroup* g = m.groups.get(); g != nullptr; g = g->next.get())
        names.push_back(g->name);
    return names;
}

std::vector<std::int32_t> groupTriangles(const ObjModel& m, const char* name) {
    const ObjGroup* const g = findObjGroup(&m, name);
    return g == nullptr ? std::vector<std::int32_t>{-1} : g->triangles;
}

std::vector<std::int32_t> positionsOf(const ObjTriangle& t) {
    return {t.positionIndex[0], t.positionIndex[1], t.positionIndex[2]};
}

std::vector<std::int32_t> texCoordsOf(const ObjTriangle& t) {
    return {t.texCoordIndex[0], t.texCoordIndex[1], t.texCoordIndex[2]};
}

void expectVec3(const Vec3& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-6f);
    EXPECT_NEAR(v.y, y, 1e-6f);
    EXPECT_NEAR(v.z, z, 1e-6f);
}

const char* const kFourPositions = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n";

// ---- groups ----

TEST_F(ObjFile, FacesWithoutGroupStatementBelongToDefault) {
    ObjModel m;
    load(std::string(kFourPositions) + "f 1 2 3\nf 1 3 4\n", &m);
    EXPECT_EQ(m.groupCount, 1);
    EXPECT_EQ(groupNames(m), std::vector<std::string>{"default"});
    EXPECT_EQ(groupTriangles(m, "default"), (std::vector<std::int32_t>{0, 1}));
}

TEST_F(ObjFile, GroupsCollectTheirStretchesNewestFirstWithDefaultLast) {
    ObjModel m;
    load(std::string(kFourPositions) + "f 1 2 3\n"               // 0: default
                                       "g a\nf 1 2 4\n"          // 1: a
                                       "g b\nf 2 3 4\n"          // 2: b
                                       "g a\nf 1 3 4\n"          // 3: a again
                                       "g default\nf 4 3 2\n"    // 4: default named later
                                       "g body left\nf 1 2 3\n", // 5: two words name "body"
         &m);
    EXPECT_EQ(m.groupCount, 4);
    EXPECT_EQ(groupNames(m), (std::vector<std::string>{"body", "b", "a", "default"}));
    EXPECT_EQ(groupTriangles(m, "a"), (std::vector<std::int32_t>{1, 3}));
    EXPECT_EQ(groupTriangles(m, "b"), (std::vector<std::int32_t>{2}));
    EXPECT_EQ(groupTriangles(m, "default"), (std::vector<std::int32_t>{0, 4}));
    EXPECT_EQ(groupTriangles(m, "body"), (std::vector<std::int32_t>{5}));
    EXPECT_EQ(findObjGroup(&m, "left"), nullptr);
    EXPECT_EQ(findObjGroup(&m, "A"), nullptr) << "names compare case-sensitively";
}

TEST_F(ObjFile, DefaultExistsEvenWhenEveryFaceIsInAnotherGroup) {
    ObjModel m;
    load(std::string(kFourPositions) + "g only\nf 1 2 3\n", &m);
    EXPECT_EQ(groupNames(m), (std::vector<std::string>{"only", "default"}));
    EXPECT_EQ(findObjGroup(&m, "default")->triangleCount, 0u);
}

TEST(ObjGroups, AddReturnsTheExistingGroupOrPutsANewOneInFront) {
    ObjModel m;
    ObjGroup* const a = addObjGroup(&m, "a");
    ObjGroup* const b = addObjGroup(&m, "b");
    EXPECT_EQ(addObjGroup(&m, "a"), a);
    EXPECT_EQ(m.groupCount, 2);
    EXPECT_EQ(m.groups.get(), b);
    EXPECT_EQ(b->next.get(), a);
    EXPECT_EQ(findObjGroup(&m, "b"), b);
    EXPECT_EQ(findObjGroup(&m, "c"), nullptr);
}

// ---- faces ----

TEST_F(ObjFile, FacesAreFannedAroundTheirFirstVertexInEveryForm) {
    ObjModel m;
    load(std::string(kFourPositions) +
             "v 2 2 0\n"
             "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvt 0.5 0.5\n"
             "vn 0 0 1\nvn 0 0 1\nvn 0 0 1\nvn 0 0 1\nvn 0 0 1\nvn 0 0 1\n"
             "f 1 2 3 4\n"
             "f 1/1/1 2/2/2 3/3/3 4/4/4 5/5/5\n"
             "f 1//4 2//5 3//6\n",
         &m);
    ASSERT_EQ(m.triangleCount, 6);
    EXPECT_EQ(positionsOf(m.triangles[0]), (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(positionsOf(m.triangles[1]), (std::vector<std::int32_t>{1, 3, 4}));
    EXPECT_EQ(texCoordsOf(m.triangles[0]), (std::vector<std::int32_t>{0, 0, 0}));
    EXPECT_EQ(texCoordsOf(m.triangles[2]), (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(texCoordsOf(m.triangles[3]), (std::vector<std::int32_t>{1, 3, 4}));
    EXPECT_EQ(texCoordsOf(m.triangles[4]), (std::vector<std::int32_t>{1, 4, 5}));
    EXPECT_EQ(positionsOf(m.triangles[4]), (std::vector<std::int32_t>{1, 4, 5}));
    EXPECT_EQ(positionsOf(m.triangles[5]), (std::vector<std::int32_t>{1, 2, 3}))
        << "normal indices are dropped";
    EXPECT_EQ(texCoordsOf(m.triangles[5]), (std::vector<std::int32_t>{0, 0, 0}));
    EXPECT_EQ(m.skippedStatements + m.droppedTriangles + m.faultyVertexLines, 0);
}

TEST_F(ObjFile, PositionTexCoordFormKeepsTextureIndices) {
    ObjModel m;
    load(std::string(kFourPositions) + "vt 0 0\nvt 1 0\nvt 1 1\nf 4/1 3/2 2/3\n", &m);
    ASSERT_EQ(m.triangleCount, 1);
    EXPECT_EQ(positionsOf(m.triangles[0]), (std::vector<std::int32_t>{4, 3, 2}));
    EXPECT_EQ(texCoordsOf(m.triangles[0]), (std::vector<std::int32_t>{1, 2, 3}));
}

// ---- vertex data ----

TEST_F(ObjFile, VertexDataIsStoredInFileOrderFromEntryOne) {
    ObjModel m;
    load("v 1 2 3 1\n" // a fourth component is ignored
         "vn 0 1 0\n"
         "vt 0.25 0.75 0\n" // so is a third texture component
         "vt +0.5\n"        // v may be left out
         "v -4.5e1 5 6\n",
         &m);
    EXPECT_EQ(m.positionCount, 2);
    expectVec3(m.positions[0], 0, 0, 0);
    expectVec3(m.positions[1], 1, 2, 3);
    expectVec3(m.positions[2], -45, 5, 6);
    ASSERT_EQ(m.normalCount, 1);
    expectVec3(m.normals[1], 0, 1, 0);
    ASSERT_EQ(m.texCoordCount, 2);
    EXPECT_FLOAT_EQ(m.texCoords[1].u, 0.25f);
    EXPECT_FLOAT_EQ(m.texCoords[1].v, 0.75f);
    EXPECT_FLOAT_EQ(m.texCoords[2].u, 0.5f);
    EXPECT_FLOAT_EQ(m.texCoords[2].v, 0.0f);
    EXPECT_EQ(m.faultyVertexLines, 0);
}

TEST_F(ObjFile, UnsupportedStatementsChangeNothing) {
    const std::string plain = std::string(kFourPositions) + "vt 0 0\nvt 1 0\nvt 1 1\n"
                                                            "g a\nf 1/1 2/2 3/3\n";
    const std::string noisy = "# a comment\nmtllib scene.mtl\no torus\n" +
                              std::string(kFourPositions) +
                              "vp 0.5 0.5\nvt 0 0\nvt 1 0\nvt 1 1\ns 1\nusemtl metal\n"
                              "g a # the group\nl 1 2\nf 1/1 2/2 3/3 # last face\nvx 7 7 7\n";
    ObjModel a;
    ObjModel b;
    load(plain, &a);
    load(noisy, &b);
    EXPECT_EQ(describeObjModel(a), describeObjModel(b));
}

TEST_F(ObjFile, FileWithoutTextureCoordinatesHasNoTangents) {
    ObjModel m;
    load(std::string(kFourPositions) + "vn 0 0 1\nf 1//1 2//1 3//1 4//1\n", &m);
    EXPECT_EQ(m.texCoordCount, 0);
    EXPECT_TRUE(m.texCoords.empty());
    EXPECT_TRUE(m.tangents.empty());
    EXPECT_EQ(m.triangleCount, 2);
}

// ---- tangents ----

TEST_F(ObjFile, UnitSquareHasTangentXAtEveryCorner) {
    ObjModel m;
    load(std::string(kFourPositions) + "v 5 5 5\n" // used by no triangle
                                       "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nf 1/1 2/2 3/3 4/4\n",
         &m);
    for (int i = 1; i <= 4; ++i)
        expectVec3(m.tangents[i], 1, 0, 0);
    expectVec3(m.tangents[0], 0, 0, 0);
    expectVec3(m.tangents[5], 0, 0, 0);
}

TEST_F(ObjFile, TangentsSkipUntexturedFacesAndDegenerateTextureCoordinates) {
    ObjModel m;
    // Triangle 0 maps the square's lower half; triangle 1 has no texture indices; triangle 2
    // has three equal texture coordinates (det = 0). Only triangle 0 may contribute.
    load("v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\n"
         "vt 0 0\nvt 1 0\nvt 1 1\nvt 0.5 0.5\n"
         "f 1/1 2/2 3/3\nf 1 4 5\nf 4/4 5/4 3/4\n",
         &m);
    expectVec3(m.tangents[1], 1, 0, 0);
    expectVec3(m.tangents[2], 1, 0, 0);
    expectVec3(m.tangents[3], 1, 0, 0);
    expectVec3(m.tangents[4], 0, 0, 0);
    expectVec3(m.tangents[5], 0, 0, 0);
}

TEST(ObjTangents, TriangleTangentFollowsTheTextureUDirection) {
    const Vec3 p0{0, 0, 0}, p1{0, 2, 0}, p2{0, 0, 3};
    const ObjTexCoord uv0{0, 0}, uv1{1, 0}, uv2{0, 1};
    Vec3 t;
    triangleTangent(&p0, &p1, &p2, &uv0, &uv1, &uv2, &t);
    expectVec3(t, 0, 2, 0);
    const ObjTexCoord flat{0.5f, 0.5f};
    triangleTangent(&p0, &p1, &p2, &flat, &flat, &flat, &t);
    expectVec3(t, 0, 0, 0);
}

TEST(ObjTangents, ATangentBeyondFloatRangeCountsAsDegenerate) {
    const Vec3 p0{-3e38f, 0, 0}, p1{3e38f, 0, 0}, p2{0, 3e38f, 0};
    const ObjTexCoord uv0{0, 0}, uv1{1e-30f, 0}, uv2{0, 1e-30f};
    Vec3 t;
    triangleTangent(&p0, &p1, &p2, &uv0, &uv1, &uv2, &t);
    expectVec3(t, 0, 0, 0);
}

TEST_F(ObjFile, ExtremeCoordinatesStillGiveUnitTangents) {
    // Each triangle's tangent is far beyond float range, and so is their sum.
    std::string text = "v -3e38 0 0\nv 3e38 0 0\nv 0 3e38 0\nvt 0 0\nvt 1e-30 0\nvt 0 1e-30\n";
    for (int i = 0; i < 50; ++i)
        text += "f 1/1 2/2 3/3\n";
    ObjModel m;
    load(text, &m);
    for (int i = 1; i <= 3; ++i)
        expectVec3(m.tangents[i], 1, 0, 0);
}

// ---- opening and reloading ----

TEST_F(ObjFile, FailedOpenLeavesTheRecordExactlyAsItWas) {
    ObjModel m;
    load(std::string(kFourPositions) + "vt 0 0\nvt 1 0\nvt 1 1\ng a\nf 1/1 2/2 3/3 4/1\n", &m);
    const std::string before = describeObjModel(m);
    const ObjGroup* const head = m.groups.get();

    EXPECT_EQ(loadObjModel(&m, (dir_ / "missing.obj").c_str()), 0);
    EXPECT_EQ(loadObjModel(&m, dir_.c_str()), 0) << "a directory";
    EXPECT_EQ(loadObjModel(&m, "/dev/zero"), 0) << "an endless device";
    EXPECT_EQ(loadObjModel(&m, nullptr), 0);
    const std::string locked = write("v 1 2 3\n", "locked.obj");
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    if (geteuid() != 0) { // root reads through permissions
        EXPECT_EQ(loadObjModel(&m, locked.c_str()), 0) << "no permission";
    }

    EXPECT_EQ(describeObjModel(m), before);
    EXPECT_EQ(m.groups.get(), head);
}

TEST_F(ObjFile, LoadingIntoAFilledRecordReplacesEverything) {
    const std::string big = std::string(kFourPositions) +
                            "vt 0 0\nvt 1 0\nvt 1 1\ng a\nf 1/1 2/2 3/3\ng b\nf 1 2 3 4\n1 2\n";
    const std::string small = "v 1 1 1\nv 2 2 2\nv 3 3 3\nf 1 2 3\n";
    ObjModel reused;
    ObjModel fresh;
    load(big, &reused);
    load(small, &reused);
    load(small, &fresh);
    EXPECT_EQ(describeObjModel(reused), describeObjModel(fresh));
    EXPECT_EQ(findObjGroup(&reused, "a"), nullptr);
}

// ---- bad input ----

TEST_F(ObjFile, NegativeIndicesCountBackFromTheLatestVertexRead) {
    ObjModel m;
    load("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\nf -3/-3 -2/-2 -1/-1\n"
         "v 0 0 1\nvt 1 1\nf -4/-1 -1/-4 2/2\n",
         &m);
    ASSERT_EQ(m.triangleCount, 2);
    EXPECT_EQ(positionsOf(m.triangles[0]), (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(texCoordsOf(m.triangles[0]), (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(positionsOf(m.triangles[1]), (std::vector<std::int32_t>{1, 4, 2}));
    EXPECT_EQ(texCoordsOf(m.triangles[1]), (std::vector<std::int32_t>{4, 1, 2}));
}

TEST_F(ObjFile, TrianglesWithIndicesOutOfRangeAreDroppedAndCounted) {
    ObjModel m;
    load(std::string(kFourPositions) + "vt 0 0\n"
                                       "f 1 2 5\n"                       // beyond the count
                                       "f 0 1 2\n"                       // zero
                                       "f -5 1 2\n"                      // before the first
                                       "f 1 2 99999999999999999999999\n" // beyond 64 bits
                                       "f 1/1 2/1 3/2\n"                 // texture index
                                       "g a\nf 1 2 3 9 4\n" // only the middle triangle is bad
                                       "f 1 2 -1\n",        // still fine
         &m);
    EXPECT_EQ(m.droppedTriangles, 7);
    ASSERT_EQ(m.triangleCount, 2);
    EXPECT_EQ(positionsOf(m.triangles[0]), (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(positionsOf(m.triangles[1]), (std::vector<std::int32_t>{1, 2, 4}));
    EXPECT_EQ(groupTriangles(m, "a"), (std::vector<std::int32_t>{0, 1}));
    EXPECT_TRUE(groupTriangles(m, "default").empty());
}

TEST_F(ObjFile, MalformedStatementsAreSkippedAndTheRestKept) {
    ObjModel m;
    load(std::string(kFourPositions) + "f\nf 1\nf 1 2\n"     // fewer than three vertices
                                       "f 1/1 2 3\n"         // mixed forms
                                       "f 1//1 2/1/1 3//1\n" // mixed forms
                                       "f 1 2 x\nf 1.5 2 3\nf 1/ 2/ 3/\nf 1/2/3/4 2 3\n"
                                       "g a\nf 1 2 3\n"
                                       "g\nf 2 3 4\n"         // no name: the group stays a
                                       "3 2 1\n+x\n@\n\x01\n" // not statements
                                       "f 1 3 4\n2 3 4\n",    // no continuation lines
         &m);
    EXPECT_EQ(m.skippedStatements, 9 + 1 + 5);
    EXPECT_EQ(m.droppedTriangles, 0);
    ASSERT_EQ(m.triangleCount, 3);
    EXPECT_EQ(groupTriangles(m, "a"), (std::vector<std::int32_t>{0, 1, 2}));
    EXPECT_EQ(positionsOf(m.triangles[2]), (std::vector<std::int32_t>{1, 3, 4}));
}

TEST_F(ObjFile, BadNumbersInVertexDataReadZeroAndKeepLaterIndicesAligned) {
    ObjModel m;
    load("v 1e39 2 3\n"  // beyond float range
         "v nan inf 1\n" // not finite
         "v 1 2\n"       // missing component
         "v 1,5 2 3\n"   // not a number
         "v 7 8 9\n"
         "vt\n"
         "f 5 1 2\n",
         &m);
    EXPECT_EQ(m.faultyVertexLines, 5);
    ASSERT_EQ(m.positionCount, 5);
    expectVec3(m.positions[1], 0, 2, 3);
    expectVec3(m.positions[2], 0, 0, 1);
    expectVec3(m.positions[3], 1, 2, 0);
    expectVec3(m.positions[4], 0, 2, 3);
    expectVec3(m.positions[5], 7, 8, 9);
    EXPECT_EQ(m.triangleCount, 1);
}

TEST_F(ObjFile, EmptyFilesAndFilesEndingMidStatementLoad) {
    ObjModel m;
    load("", &m);
    EXPECT_EQ(m.positionCount, 0);
    EXPECT_EQ(m.triangleCount, 0);
    EXPECT_EQ(groupNames(m), std::vector<std::string>{"default"});

    load("v 1 2 3\nv 4 5 6\nv 7 8 9\nf 1 2 3", &m); // no final line end
    EXPECT_EQ(m.triangleCount, 1);
    load("v 1 2 3\nv 4 5 6\nv 7 8 9\nf 1 2", &m);
    EXPECT_EQ(m.triangleCount, 0);
    EXPECT_EQ(m.skippedStatements, 1);
    load("v 1 2", &m);
    EXPECT_EQ(m.faultyVertexLines, 1);
    load("g", &m);
    EXPECT_EQ(m.groupCount, 1);
    load("v 1 2 3\r\nv 4 5 6\r\nv 7 8 9\r\ng a\r\nf 1 2 3\r\n", &m);
    EXPECT_EQ(groupTriangles(m, "a"), (std::vector<std::int32_t>{0})) << "CRLF line ends";
}

TEST_F(ObjFile, WordsAndLinesOfAnyLength) {
    const std::string longName(5000, 'n');
    // A comment longer than any fixed buffer, hiding a face in its tail.
    const std::string longComment = "# " + std::string(100000, 'c') + " f 1 2 3\n";
    std::string bigFace = "f 1 2 3";
    for (int i = 0; i < 20000; ++i)
        bigFace += " 2 3";
    std::string longNumber = "v 1." + std::string(3000, '5') + " 0 0\n";
    ObjModel m;
    load("v 0 0 0\nv 1 0 0\nv 0 1 0\n" + longComment + longNumber + "g " + longName + "\n" +
             bigFace + "\n",
         &m);
    EXPECT_EQ(m.triangleCount, 40001);
    EXPECT_EQ(groupTriangles(m, longName.c_str()).size(), 40001u);
    EXPECT_EQ(m.positionCount, 4);
    EXPECT_NEAR(m.positions[4].x, 1.5555555f, 1e-6f);
    EXPECT_EQ(m.skippedStatements + m.faultyVertexLines, 0);
}

TEST_F(ObjFile, BinaryGarbageLoadsConsistently) {
    std::uint32_t state = 12345;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return static_cast<char>(state >> 24);
    };
    const char* const pieces[] = {"v", "vt", "vn", "f", "g", " ",  "\n", "/", "//",
                                  "-", "1",  "2",  "0", "#", "e9", ".5", "\r"};
    for (int round = 0; round < 40; ++round) {
        std::string text;
        for (int i = 0; i < 3000; ++i) {
            const char r = next();
            if ((r & 3) == 0)
                text += r;
            else
                text += pieces[static_cast<unsigned char>(next()) % std::size(pieces)];
        }
        ObjModel m;
        load(text, &m);
        ObjModel again;
        load(text, &again);
        EXPECT_EQ(describeObjModel(m), describeObjModel(again)) << "round " << round;
    }
}

TEST_F(ObjFile, ManyDistinctGroupsLoad) {
    std::string text = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    for (int i = 0; i < 20000; ++i)
        text += "g " + std::to_string(i) + "\nf 1 2 3\n";
    ObjModel m;
    load(text, &m);
    EXPECT_EQ(m.groupCount, 20001);
    EXPECT_EQ(m.groups->name, "19999");
    EXPECT_EQ(groupTriangles(m, "1234"), (std::vector<std::int32_t>{1234}));
}

TEST(ObjGroups, ALongListIsReleasedWithoutDeepRecursion) {
    // Released node by node; a recursive release of two million nodes overflows the stack.
    EXPECT_EXIT(
        {
            auto head = std::make_unique<ObjGroup>();
            for (int i = 0; i < 2000000; ++i) {
                auto group = std::make_unique<ObjGroup>();
                group->next = std::move(head);
                head = std::move(group);
            }
            head.reset();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

// ---- the seed corpus of the fuzz target ----

TEST(ObjCorpus, EverySeedLoadsConsistently) {
    const fs::path corpus = fs::path(VELLOMIRE_SOURCE_DIR) / "tests/model/corpus";
    int files = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(corpus)) {
        ObjModel m;
        ASSERT_EQ(loadObjModel(&m, entry.path().c_str()), 1) << entry.path();
        EXPECT_EQ(checkObjModel(m), "") << entry.path();
        ++files;
    }
    EXPECT_GE(files, 5);
}

} // namespace
