#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/content/content_test_support.h"

namespace {

struct ObjSummary {
    std::map<std::string, int> statements; // by keyword
    std::vector<std::string> groups;       // in file order
    std::vector<double> positions;         // x, y, z, ...
    std::vector<double> normals;
    std::vector<double> texCoords; // u, v, ...
    std::vector<std::vector<std::string>> faces;
    bool startsWithComment = false;
};

ObjSummary readObj(const std::string& path) {
    ObjSummary summary;
    std::ifstream file(path);
    std::string line;
    bool first = true;
    while (std::getline(file, line)) {
        std::istringstream words(line);
        std::string keyword;
        if (!(words >> keyword)) {
            continue;
        }
        if (first) {
            summary.startsWithComment = keyword[0] == '#';
            first = false;
        }
        ++summary.statements[keyword[0] == '#' ? "#" : keyword];
        double a = 0, b = 0, c = 0;
        if (keyword == "v" && (words >> a >> b >> c)) {
            summary.positions.insert(summary.positions.end(), {a, b, c});
        } else if (keyword == "vn" && (words >> a >> b >> c)) {
            summary.normals.insert(summary.normals.end(), {a, b, c});
        } else if (keyword == "vt" && (words >> a >> b)) {
            summary.texCoords.insert(summary.texCoords.end(), {a, b});
        } else if (keyword == "g") {
            std::string name;
            words >> name;
            summary.groups.push_back(name);
        } else if (keyword == "f") {
            std::vector<std::string> vertices;
            std::string vertex;
            while (words >> vertex) {
                vertices.push_back(vertex);
            }
            summary.faces.push_back(vertices);
        }
    }
    return summary;
}

int countOf(const ObjSummary& obj, const std::string& keyword) {
    const auto found = obj.statements.find(keyword);
    return found == obj.statements.end() ? 0 : found->second;
}

} // namespace

TEST(TorusModel, HasTheStatementsTheLoaderReads) {
    const ObjSummary obj = readObj(committedPath("data/3d/torus.obj"));
    EXPECT_TRUE(obj.startsWithComment);
    EXPECT_GE(countOf(obj, "#"), 1);
    EXPECT_EQ(countOf(obj, "v"), 32 * 16);
    EXPECT_EQ(countOf(obj, "vn"), 32 * 16);
    EXPECT_EQ(countOf(obj, "vt"), 33 * 17);
    EXPECT_EQ(countOf(obj, "f"), 32 * 16);
    ASSERT_EQ(obj.groups.size(), 2u);
    EXPECT_EQ(obj.groups[0], "outer");
    EXPECT_EQ(obj.groups[1], "inner");
    EXPECT_EQ(obj.positions.size(), 3u * countOf(obj, "v"));
    EXPECT_EQ(obj.texCoords.size(), 2u * countOf(obj, "vt"));
}

TEST(TorusModel, FacesAreQuadsOfPositionTextureNormalWithIndicesInRange) {
    const ObjSummary obj = readObj(committedPath("data/3d/torus.obj"));
    const int positions = static_cast<int>(obj.positions.size() / 3);
    const int normals = static_cast<int>(obj.normals.size() / 3);
    const int texCoords = static_cast<int>(obj.texCoords.size() / 2);
    ASSERT_FALSE(obj.faces.empty());
    for (const auto& face : obj.faces) {
        ASSERT_EQ(face.size(), 4u);
        for (const std::string& vertex : face) {
            int p = 0, t = 0, n = 0;
            char rest = 0;
            ASSERT_EQ(std::sscanf(vertex.c_str(), "%d/%d/%d%c", &p, &t, &n, &rest), 3) << vertex;
            EXPECT_TRUE(p >= 1 && p <= positions) << vertex;
            EXPECT_TRUE(t >= 1 && t <= texCoords) << vertex;
            EXPECT_TRUE(n >= 1 && n <= normals) << vertex;
        }
    }
}

TEST(TorusModel, GeometryIsATorusWithUnitOutwardNormals) {
    const ObjSummary obj = readObj(committedPath("data/3d/torus.obj"));
    ASSERT_EQ(obj.positions.size(), obj.normals.size());
    for (std::size_t i = 0; i < obj.positions.size(); i += 3) {
        const double x = obj.positions[i], y = obj.positions[i + 1], z = obj.positions[i + 2];
        const double ring = std::hypot(x, z);
        // Distance from the tube's centre circle (radius 1) is the tube radius 0.4.
        EXPECT_NEAR(std::hypot(ring - 1.0, y), 0.4, 1e-5);
        const double nx = obj.normals[i], ny = obj.normals[i + 1], nz = obj.normals[i + 2];
        EXPECT_NEAR(std::sqrt(nx * nx + ny * ny + nz * nz), 1.0, 1e-5);
        // The normal points from the tube's centre circle to the vertex.
        const double cx = x / ring, cz = z / ring;
        EXPECT_NEAR(nx, (x - cx) / 0.4, 1e-4);
        EXPECT_NEAR(ny, y / 0.4, 1e-4);
        EXPECT_NEAR(nz, (z - cz) / 0.4, 1e-4);
    }
    for (const double coordinate : obj.texCoords) {
        EXPECT_TRUE(coordinate >= 0.0 && coordinate <= 1.0);
    }
}
