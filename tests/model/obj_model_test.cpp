#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

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
        fs::remove_all(dir_, ignored);
    }

    std::string write(const std::string& text, const char* name = "model.obj") {
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

void expectVec3(const Vec3& v, float x, float y, float z, const char* note = "") {
    EXPECT_NEAR(v.x, x, 1e-6f) << note;
    EXPECT_NEAR(v.y, y, 1e-6f) << note;
    EXPECT_NEAR(v.z, z, 1e-6f) << note;
}

std::string faults(const ObjModel& m) {
    return std::to_string(m.skippedStatements) + " skipped, " + std::to_string(m.droppedTriangles) +
           " dropped, " + std::to_string(m.faultyVertexLines) + " faulty";
}

const std::string kSquare = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n";
const std::string kSquareUv = "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n";

// ---- the supported subset ----

TEST_F(ObjFile, GroupsCollectTheirStretchesNewestFirstWithDefaultLast) {
    ObjModel m;
    load(kSquare + "f 1 2 3\nf 1 3 4\n", &m);
    EXPECT_EQ(m.groupCount, 1);
    EXPECT_EQ(describeGroups(m), "default: 0 1");

    load(kSquare + "f 1 2 3\n"              // 0: default
                   "g a\nf 1 2 4\n"         // 1: a
                   "g b\nf 2 3 4\n"         // 2: b
                   "g a\nf 1 3 4\n"         // 3: a again
                   "g default\nf 4 3 2\n"   // 4: default named later
                   "g body left\nf 1 2 3\n" // 5: the name is "body"
                   "g empty\n",
         &m);
    EXPECT_EQ(m.groupCount, 5);
    EXPECT_EQ(describeGroups(m), "empty:; body: 5; b: 2; a: 1 3; default: 0 4");
    EXPECT_EQ(findObjGroup(&m, "A"), nullptr) << "names compare case-sensitively";
}

TEST_F(ObjFile, FacesAreFannedAroundTheirFirstVertexInEveryForm) {
    ObjModel m;
    load(kSquare + "v 2 2 0\n" + kSquareUv + "vt 0.5 0.5\nvn 0 0 1\n" +
             "f 1 2 3 4\n"
             "f 1/1/1 2/2/1 3/3/1 4/4/1 5/5/1\n"
             "f 1//4 2//5 3//6\n" // normal indices are dropped unchecked
             "f 4/1 3/2 2/3\n",
         &m);
    EXPECT_EQ(describeTriangles(m), "1 2 3, 1 3 4, "
                                    "1/1 2/2 3/3, 1/1 3/3 4/4, 1/1 4/4 5/5, "
                                    "1 2 3, "
                                    "4/1 3/2 2/3");
    EXPECT_EQ(faults(m), "0 skipped, 0 dropped, 0 faulty");
}

TEST_F(ObjFile, VertexDataIsStoredInFileOrderAndOtherStatementsChangeNothing) {
    ObjModel m;
    load("# comment\nmtllib a.mtl\no torus\nv 1 2 3 1\nvp 0.5 0.5\nvn 0 1 0\ns 1\n"
         "usemtl metal\nvt 0.25 0.75 0\nvt +0.5\nv -4.5e1 5 6 # the last\nl 1 2\nvx 7 7 7\n",
         &m);
    ASSERT_EQ(m.positionCount, 2);
    expectVec3(m.positions[0], 0, 0, 0);
    expectVec3(m.positions[1], 1, 2, 3);
    expectVec3(m.positions[2], -45, 5, 6);
    ASSERT_EQ(m.normalCount, 1);
    expectVec3(m.normals[1], 0, 1, 0);
    ASSERT_EQ(m.texCoordCount, 2);
    EXPECT_EQ(m.texCoords[1].u, 0.25f);
    EXPECT_EQ(m.texCoords[1].v, 0.75f);
    EXPECT_EQ(m.texCoords[2].u, 0.5f);
    EXPECT_EQ(m.texCoords[2].v, 0.0f) << "v may be left out";
    EXPECT_EQ(faults(m), "0 skipped, 0 dropped, 0 faulty");

    load(kSquare + "vn 0 0 1\nf 1//1 2//1 3//1 4//1\n", &m);
    EXPECT_TRUE(m.texCoords.empty());
    EXPECT_TRUE(m.tangents.empty()) << "no texture coordinates, no tangents";
}

TEST_F(ObjFile, TangentsSumOnlyTexturedNonDegenerateTriangles) {
    ObjModel m;
    load(kSquare + "v 5 5 5\n" + kSquareUv + "f 1/1 2/2 3/3 4/4\n", &m);
    for (int i = 1; i <= 4; ++i)
        expectVec3(m.tangents[i], 1, 0, 0);
    expectVec3(m.tangents[0], 0, 0, 0);
    expectVec3(m.tangents[5], 0, 0, 0, "a position no triangle uses");

    // The square's lower half is mapped along x; the face without texture indices and the face
    // whose texture coordinates coincide (det = 0) add nothing.
    load(kSquare + "v 0 0 1\n" + kSquareUv + "f 1/1 2/2 3/3\nf 1 4 5\nf 4/2 5/2 3/2\n", &m);
    expectVec3(m.tangents[3], 1, 0, 0);
    expectVec3(m.tangents[4], 0, 0, 0);
    expectVec3(m.tangents[5], 0, 0, 0);

    // A tangent (y here) beyond float range still gives unit tangents, never infinities.
    load("v 0 -3e38 0\nv 0 3e38 0\nv 0 0 3e38\nvt 0 0\nvt 1e-30 0\nvt 0 1e-30\n"
         "f 1/1 2/2 3/3\nf 1/1 2/2 3/3\n",
         &m);
    expectVec3(m.tangents[1], 0, 1, 0);
}

// ---- opening and reloading ----

TEST_F(ObjFile, FailedOpenLeavesTheRecordExactlyAsItWas) {
    ObjModel m;
    load(kSquare + kSquareUv + "g a\nf 1/1 2/2 3/3 4/1\n", &m);
    const std::string before = describeObjModel(m);
    const ObjGroup* const head = m.groups.get();

    EXPECT_EQ(loadObjModel(&m, (dir_ / "missing.obj").c_str()), 0);
    EXPECT_EQ(loadObjModel(&m, dir_.c_str()), 0) << "a directory";
    EXPECT_EQ(loadObjModel(&m, "/dev/zero"), 0) << "an endless device";
    EXPECT_EQ(loadObjModel(&m, nullptr), 0);
    const std::string locked = write(kSquare, "locked.obj");
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    if (geteuid() != 0) { // root reads through permissions
        EXPECT_EQ(loadObjModel(&m, locked.c_str()), 0) << "no permission";
    }
    EXPECT_EQ(describeObjModel(m), before);
    EXPECT_EQ(m.groups.get(), head);
}

TEST_F(ObjFile, LoadingIntoAFilledRecordReplacesEverything) {
    const std::string small = "v 1 1 1\nv 2 2 2\nv 3 3 3\nf 1 2 3\n";
    ObjModel reused;
    ObjModel fresh;
    load(kSquare + kSquareUv + "g a\nf 1/1 2/2 3/3\ng b\nf 1 2 3 4\n1 2\n", &reused);
    load(small, &reused);
    load(small, &fresh);
    EXPECT_EQ(describeObjModel(reused), describeObjModel(fresh));
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

// ---- bad input ----

TEST_F(ObjFile, IndicesResolveRelativelyOrDropTheirTriangle) {
    ObjModel m;
    load("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\nf -3/-3 -2/-2 -1/-1\n"
         "v 0 0 1\nvt 1 1\nf -4/-1 -1/-4 2/2\n" // -1 is the latest vertex read so far
         "f 1 2 5\n"                            // beyond the count
         "f 0 1 2\n"
         "f -5 1 2\n" // before the first
         "f 1 2 99999999999999999999999\n"
         "f 1/1 2/1 3/6\n"        // a texture index
         "g a\nf 1 2 3 9 4 -1\n", // only the middle two triangles are bad
         &m);
    EXPECT_EQ(describeTriangles(m), "1/1 2/2 3/3, 1/4 4/1 2/2, 1 2 3, 1 4 4");
    EXPECT_EQ(describeGroups(m), "a: 2 3; default: 0 1");
    EXPECT_EQ(faults(m), "0 skipped, 7 dropped, 0 faulty");
}

TEST_F(ObjFile, MalformedStatementsAreSkippedAndTheRestKept) {
    ObjModel m;
    load(kSquare + "f\nf 1\nf 1 2\n"                                       // fewer than 3 vertices
                   "f 1/1 2 3\nf 1//1 2/1/1 3//1\nf 1/2/3/4 2/2/2 3/3/3\n" // mixed or unknown forms
                   "f 1 2 x\nf 1.5 2 3\nf 1/ 2/ 3/\nf +-1 2 3\n"           // unreadable vertices
                   "g a\nf 1 2 3\n"
                   "g\nf 2 3 4\n"         // no name: the group stays a
                   "3 2 1\n+x\n@\n\x01\n" // not statements
                   "f 1 3 4\n2 3 4\n",    // no continuation lines
         &m);
    EXPECT_EQ(describeTriangles(m), "1 2 3, 2 3 4, 1 3 4");
    EXPECT_EQ(describeGroups(m), "a: 0 1 2; default:");
    EXPECT_EQ(faults(m), "16 skipped, 0 dropped, 0 faulty");

    // A face ends at its first unreadable word (counted) or at a comment, keeping what came before.
    load(kSquare + "f 1 2 3 4 foo 2\nf 2 3 4#c 1\n", &m);
    EXPECT_EQ(describeTriangles(m), "1 2 3, 1 3 4, 2 3 4");
    EXPECT_EQ(faults(m), "1 skipped, 0 dropped, 0 faulty");
}

TEST_F(ObjFile, BadNumbersInVertexDataReadZeroAndKeepLaterIndicesAligned) {
    ObjModel m;
    load("v 1e39 2 3\nv nan inf 1\nv 1 2\nv 1,5 2 3\nv 7 8 9\nvt\nf 5 1 2\n", &m);
    ASSERT_EQ(m.positionCount, 5);
    expectVec3(m.positions[1], 0, 2, 3);
    expectVec3(m.positions[2], 0, 0, 1);
    expectVec3(m.positions[3], 1, 2, 0);
    expectVec3(m.positions[4], 0, 2, 3);
    expectVec3(m.positions[5], 7, 8, 9);
    EXPECT_EQ(describeTriangles(m), "5 1 2");
    EXPECT_EQ(faults(m), "0 skipped, 0 dropped, 5 faulty");
}

TEST_F(ObjFile, EmptyFilesAndFilesEndingMidStatementLoad) {
    ObjModel m;
    load("", &m);
    EXPECT_EQ(describeObjModel(m), "0 0 0 0 1 faults 0 0 0\n 0,0,0\n 0,0,0\n\n\n\ndefault:\n");
    load("v 1 2 3\nv 4 5 6\nv 7 8 9\nf 1 2 3", &m);
    EXPECT_EQ(describeTriangles(m), "1 2 3");
    load("v 1 2 3\nv 4 5 6\nv 7 8 9\nf 1 2", &m);
    EXPECT_EQ(faults(m), "1 skipped, 0 dropped, 0 faulty");
    load("v 1 2", &m);
    EXPECT_EQ(faults(m), "0 skipped, 0 dropped, 1 faulty");
    load("v 1 2 3\r\nv 4 5 6\r\nv 7 8 9\r\ng a\r\nf 1 2 3\r\n", &m);
    EXPECT_EQ(describeGroups(m), "a: 0; default:") << "CRLF line ends";
}

TEST_F(ObjFile, WordsAndLinesOfAnyLength) {
    const std::string longName(5000, 'n');
    std::string bigFace = "f 1 2 3";
    for (int i = 0; i < 20000; ++i)
        bigFace += " 2 3";
    std::string text = kSquare;
    text += "# " + std::string(100000, 'c') + " f 1 2 3\n"; // a face hidden in a long comment
    text += "v 1." + std::string(3000, '5') + " 0 0\n";
    text += "g " + longName + "\n" + bigFace + "\n";
    ObjModel m;
    load(text, &m);
    EXPECT_EQ(m.groups->name, longName);
    EXPECT_EQ(m.groups->triangleCount, 40001u);
    ASSERT_EQ(m.positionCount, 5);
    EXPECT_NEAR(m.positions[5].x, 1.5555555f, 1e-6f);
    EXPECT_EQ(faults(m), "0 skipped, 0 dropped, 0 faulty");
}

// The fuzz target's seed corpus, replayed here so that every build checks it.
TEST(ObjCorpus, EverySeedLoadsConsistently) {
    int files = 0;
    for (const auto& entry :
         fs::directory_iterator(fs::path(VELLOMIRE_SOURCE_DIR) / "tests/model/corpus")) {
        ObjModel m;
        ASSERT_EQ(loadObjModel(&m, entry.path().c_str()), 1) << entry.path();
        EXPECT_EQ(checkObjModel(m), "") << entry.path();
        ++files;
    }
    EXPECT_GE(files, 5);
}

} // namespace
