#pragma once
// Wavefront OBJ reader: positions, normals, texture coordinates, polygon faces split into
// triangles, named groups, and one unit tangent per position when the file has texture
// coordinates (the normalised sum of the tangents of the textured triangles using it; zero
// where none does). The file is read twice: a counting pass sizes every array, a reading pass
// fills it.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "render/vec3.h"

struct ObjTexCoord {
    float u;
    float v;
};

// One triangle of a face. Indices are 1-based and always lie in 1..count of their array
// (negative indices of the file are resolved when the face is read). texCoordIndex is
// {0, 0, 0} when the face carried no texture coordinates.
struct ObjTriangle {
    std::int32_t positionIndex[3];
    std::int32_t texCoordIndex[3];
};

// A named group: the numbers of its triangles (indices into ObjModel::triangles) in file
// order, and the next older group.
struct ObjGroup {
    std::string name;
    std::uint32_t triangleCount = 0;
    std::vector<std::int32_t> triangles;
    std::unique_ptr<ObjGroup> next;

    ObjGroup() = default;
    ObjGroup(const ObjGroup&) = delete;
    ObjGroup& operator=(const ObjGroup&) = delete;
    // Releases the rest of the list one node at a time, so a long list cannot exhaust the stack.
    ~ObjGroup();
};

// A loaded model. Arrays indexed by the file's 1-based indices hold count + 1 entries; entry 0
// is a zero placeholder. texCoords and tangents are empty when the file has no texture
// coordinates. The record owns all of its memory.
struct ObjModel {
    std::int32_t positionCount = 0;
    std::vector<Vec3> positions;
    std::vector<Vec3> tangents;
    std::int32_t normalCount = 0;
    std::vector<Vec3> normals;
    std::int32_t texCoordCount = 0;
    std::vector<ObjTexCoord> texCoords;
    std::int32_t triangleCount = 0;
    std::vector<ObjTriangle> triangles;
    std::int32_t groupCount = 0;
    std::unique_ptr<ObjGroup> groups; // newest first; "default" is always the last

    // What the reading pass had to leave out or mend, so that a caller can warn:
    // statements skipped whole (faces of fewer than three readable vertices or with mixed
    // vertex forms, group statements without a name, lines that do not begin with a keyword)
    // or cut short (a face ends at its first unreadable word and keeps the triangles of the
    // vertices before it), triangles dropped for an index outside its array, and vertex-data lines
    // whose numbers were missing, unreadable or out of range (stored with 0 in their place).
    std::int64_t skippedStatements = 0;
    std::int64_t droppedTriangles = 0;
    std::int64_t faultyVertexLines = 0;
};

// Loads the OBJ file at path into model. Returns 1 when the model was loaded and 0 when the
// file cannot be opened or read (missing, a directory or device, no permission, a read
// error), in which case the model is left exactly as it was. A successful load replaces and
// releases everything the model held.
int loadObjModel(ObjModel* model, const char* path);

// Loads from an open, seekable stream (read from its start); the same result rules as
// loadObjModel. The stream stays open.
int loadObjModelFromStream(ObjModel* model, std::FILE* file);

// The first group in list order called name (exact, case-sensitive), or null.
ObjGroup* findObjGroup(const ObjModel* model, std::string_view name);
