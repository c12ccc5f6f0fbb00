#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>

#include "model/obj_model.h"
#include "tests/model/obj_model_check.h"

namespace {

// Loads OBJ text through an anonymous temporary file, expecting success and a consistent model.
void load(const std::string& text, ObjModel* model) {
    std::FILE* const file = std::tmpfile();
    ASSERT_TRUE(file != nullptr && std::fwrite(text.data(), 1, text.size(), file) == text.size());
    const int loaded = loadObjModelFromStream(model, file);
    std::fclose(file);
    ASSERT_EQ(loaded, 1);
    ASSERT_EQ(checkObjModel(*model), "");
}

const std::string kSquare = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n";
const std::string kUv = "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n";

} // namespace

// Each file as describeObjModel prints it: counts and faults (skipped statements, dropped
// triangles, faulty vertex lines); positions, normals, tangents and texture coordinates, entry 0
// first; triangles; groups. Every file is loaded into the record the previous one filled.
TEST(ObjModel, LoadsEveryStatementFormAndBadInputByItsRules) {
    const std::pair<std::string, const char*> cases[] = {
        {"", "0 0 0 0 1 faults 0 0 0\n 0,0,0\n 0,0,0\n\n\n\ndefault:\n"},
        // Groups collect their stretches of faces, newest first, "default" last; names compare
        // case-sensitively and end at the first blank.
        {kSquare + "f 1 2 3\ng a\nf 1 2 4\ng b\nf 2 3 4\ng a\nf 1 3 4\ng default\nf 4 3 2\n"
                   "g body left\nf 1 2 3\ng A\n",
         "4 0 0 6 5 faults 0 0 0\n 0,0,0 0,0,0 1,0,0 1,1,0 0,1,0\n 0,0,0\n\n\n"
         "1 2 3, 1 2 4, 2 3 4, 1 3 4, 4 3 2, 1 2 3\nA:; body: 5; b: 2; a: 1 3; default: 0 4\n"},
        // Fans around the first vertex in every vertex form (normal indices are not checked);
        // texture coordinates following x give tangents along x.
        {kSquare + "v 2 2 0\n" + kUv +
             "vt 2 2\nvn 0 0 1\nf\t1 2\t3 4\n"
             "f 1/1/1 2/2/1 3/3/1 4/4/1 5/5/1\nf 1//4 2//5 3//6\nf 4/1 3/2 2/3\n",
         "5 1 5 7 1 faults 0 0 0\n 0,0,0 0,0,0 1,0,0 1,1,0 0,1,0 2,2,0\n 0,0,0 0,0,1\n"
         " 0,0,0 1,0,0 1,0,0 1,0,0 1,0,0 1,0,0\n 0,0 0,0 1,0 1,1 0,1 2,2\n"
         "1 2 3, 1 3 4, 1/1 2/2 3/3, 1/1 3/3 4/4, 1/1 4/4 5/5, 1 2 3, 4/1 3/2 2/3\n"
         "default: 0 1 2 3 4 5 6\n"},
        // Negative indices count back from the latest entry read so far; a triangle with an
        // index outside its array is dropped, its face's other triangles kept. Coinciding
        // texture coordinates (the second triangle) give no tangent.
        {"v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\nf -3/-3 -2/-2 -1/-1\n"
         "v 0 0 1\nvt 0 0\nf -4/-1 -1/-4 2/2\nf 1 2 5\nf 0 1 2\nf -5 1 2\n"
         "f 1 2 99999999999999999999999\nf 1/1 2/1 3/6\ng a\nf 1 2 3 9 4 -1\n",
         "4 0 4 4 2 faults 0 7 0\n 0,0,0 0,0,0 1,0,0 0,1,0 0,0,1\n 0,0,0\n"
         " 0,0,0 1,0,0 1,0,0 1,0,0 0,0,0\n 0,0 0,0 1,0 0,1 0,0\n"
         "1/1 2/2 3/3, 1/4 4/1 2/2, 1 2 3, 1 4 4\na: 2 3; default: 0 1\n"},
        // Skipped whole: faces of fewer than three vertices, of mixed or unknown forms, with an
        // unreadable vertex first; nameless groups (the group stays a); lines not beginning
        // with a keyword; no continuation lines.
        {kSquare + "f\nf 1\nf 1 2\nf 1/1 2 3\nf 1//1 2/1/1 3//1\nf 1/2/3/4 2/2/2 3/3/3\n"
                   "f x 2 3\nf 1.5 2 3\nf 1/ 2/ 3/\nf +-1 2 3\ng a\nf 1 2 3\ng\nf 2 3 4\n"
                   "3 2 1\n+x\n@\n\x01\nf 1 3 4\n2 3 4\n",
         "4 0 0 3 2 faults 16 0 0\n 0,0,0 0,0,0 1,0,0 1,1,0 0,1,0\n 0,0,0\n\n\n"
         "1 2 3, 2 3 4, 1 3 4\na: 0 1 2; default:\n"},
        // A face ends at its first unreadable word (counted as skipped) or at a comment; a
        // file may end inside a statement; CR LF line ends.
        {kSquare + "f 1 2 3 4 foo 2\nf 2 3 4#c 1\n# f 1 2 3\nf 1 2",
         "4 0 0 3 1 faults 2 0 0\n 0,0,0 0,0,0 1,0,0 1,1,0 0,1,0\n 0,0,0\n\n\n"
         "1 2 3, 1 3 4, 2 3 4\ndefault: 0 1 2\n"},
        {kSquare + "g a\r\nf 1 2 4", "4 0 0 1 2 faults 0 0 0\n 0,0,0 0,0,0 1,0,0 1,1,0 0,1,0\n "
                                     "0,0,0\n\n\n1 2 4\na: 0; default:\n"},
        // Other statements change nothing; a texture coordinate's v may be left out.
        {"# c\nmtllib a.mtl\no torus\nv 1 2 3 1\nvp 0.5 0.5\nvn 0 1 0\ns 1\nusemtl metal\n"
         "vt 0.25 0.75 0\nvt +0.5\nv -4.5e1 5 6 # the last\nl 1 2\nvx 7 7 7\n",
         "2 1 2 0 1 faults 0 0 0\n 0,0,0 1,2,3 -45,5,6\n 0,0,0 0,1,0\n 0,0,0 0,0,0 0,0,0\n"
         " 0,0 0.25,0.75 0.5,0\n\ndefault:\n"},
        // Missing, unreadable or out-of-range numbers read 0 and keep later indices aligned.
        {"v 1e39 2 3\nv nan inf 1\nv 1 2\nv 1,5 2 3\nv 7 8 9\nvn 1\nf 5 1 2\nv 1 2",
         "6 1 0 1 1 faults 0 0 6\n 0,0,0 0,2,3 0,0,1 1,2,0 0,2,3 7,8,9 1,2,0\n 0,0,0 1,0,0\n\n\n"
         "5 1 2\ndefault: 0\n"},
        // Only decimal numbers: hexadecimal ones are unreadable, one too small for a float
        // reads 0 as unreadable, a subnormal one is kept.
        {"v 0x10 1e-50 1e-40\n",
         "1 0 0 0 1 faults 0 0 1\n 0,0,0 0,0,9.99995e-41\n 0,0,0\n\n\n\ndefault:\n"},
        // Tangents: a face without texture coordinates adds none; one beyond float range still
        // gives unit tangents, never infinities.
        {"v 0 -3e38 0\nv 0 3e38 0\nv 0 0 3e38\nv 1 1 1\nvt 0 0\nvt 1e-30 0\nvt 0 1e-30\n"
         "f 1/1 2/2 3/3\nf 1/1 2/2 3/3\nf 1 2 4\n",
         "4 0 3 3 1 faults 0 0 0\n 0,0,0 0,-3e+38,0 0,3e+38,0 0,0,3e+38 1,1,1\n 0,0,0\n"
         " 0,0,0 0,1,0 0,1,0 0,1,0 0,0,0\n 0,0 0,0 1e-30,0 0,1e-30\n"
         "1/1 2/2 3/3, 1/1 2/2 3/3, 1 2 4\ndefault: 0 1 2\n"},
    };
    ObjModel m;
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        load(text, &m);
        EXPECT_EQ(describeObjModel(m), expected);
    }
}

TEST(ObjModel, AFailedOpenLeavesTheRecordAsItWas) {
    ObjModel m;
    load(kSquare + kUv + "g a\nf 1/1 2/2 3/3 4/1\n", &m);
    const std::string before = describeObjModel(m);
    const ObjGroup* const head = m.groups.get();
    for (const char* path : {"/nonexistent/model.obj", "/", "/dev/zero", (const char*)nullptr}) {
        EXPECT_EQ(loadObjModel(&m, path), 0) << (path ? path : "null");
    }
    EXPECT_EQ(describeObjModel(m), before);
    EXPECT_EQ(m.groups.get(), head);
}

TEST(ObjModel, WordsLinesAndGroupListsOfAnyLength) {
    std::string text = kSquare + "# " + std::string(100000, 'c') + " f 1 2 3\n" + "v 1." +
                       std::string(3000, '5') + " 0 0\ng " + std::string(5000, 'n') + "\nf 1 2 3";
    for (int i = 0; i < 20000; ++i) {
        text += " 2 3";
    }
    ObjModel m;
    load(text, &m);
    EXPECT_EQ(m.groups->name, std::string(5000, 'n'));
    EXPECT_EQ(m.groups->triangleCount, 40001u);
    EXPECT_NEAR(m.positions.at(5).x, 1.5555555f, 1e-6f);
    // Two million groups, released node by node: a recursive release would overflow the stack.
    for (int i = 0; i < 2000000; ++i) {
        auto group = std::make_unique<ObjGroup>();
        group->next = std::move(m.groups);
        m.groups = std::move(group);
    }
}

// The fuzz target's seed corpus, replayed here so that every build checks it.
TEST(ObjModel, EveryFuzzSeedLoadsConsistently) {
    int files = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(VELLOMIRE_SOURCE_DIR "/tests/model/corpus")) {
        ObjModel m;
        ASSERT_EQ(loadObjModel(&m, entry.path().c_str()), 1) << entry.path();
        EXPECT_EQ(checkObjModel(m), "") << entry.path();
        ++files;
    }
    EXPECT_GE(files, 5);
}
