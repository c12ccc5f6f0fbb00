#pragma once
// Consistency checks and a printable form of a loaded ObjModel, shared by the unit tests and
// the fuzz target.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "model/obj_model.h"

// Empty when the model is consistent; otherwise what is wrong first.
inline std::string checkObjModel(const ObjModel& m) {
    const std::size_t textured = m.texCoordCount > 0 ? 1 : 0;
    if (m.positionCount < 0 || m.normalCount < 0 || m.texCoordCount < 0 || m.triangleCount < 0 ||
        m.skippedStatements < 0 || m.droppedTriangles < 0 || m.faultyVertexLines < 0)
        return "negative count";
    if (m.positions.size() != std::size_t(m.positionCount) + 1 ||
        m.normals.size() != std::size_t(m.normalCount) + 1 ||
        m.texCoords.size() != textured * (std::size_t(m.texCoordCount) + 1) ||
        m.tangents.size() != textured * m.positions.size() ||
        m.triangles.size() != std::size_t(m.triangleCount))
        return "array not sized by its count";
    for (const std::vector<Vec3>* array : {&m.positions, &m.normals, &m.tangents})
        for (const Vec3& v : *array) {
            const double square = double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z;
            if (!std::isfinite(square) ||
                (array == &m.tangents && square != 0.0 && std::fabs(square - 1.0) > 2e-5))
                return "non-finite vector, or tangent neither zero nor unit";
        }
    for (const ObjTexCoord& uv : m.texCoords)
        if (!std::isfinite(double(uv.u) + uv.v))
            return "non-finite texture coordinate";
    for (const ObjTriangle& t : m.triangles)
        for (int c = 0; c < 3; ++c)
            if (t.positionIndex[c] < 1 || t.positionIndex[c] > m.positionCount ||
                (t.texCoordIndex[c] != 0) != (t.texCoordIndex[0] != 0) || t.texCoordIndex[c] < 0 ||
                t.texCoordIndex[c] > m.texCoordCount)
                return "triangle index out of range";
    std::set<std::string> names;
    std::vector<int> owners(m.triangles.size(), 0);
    const ObjGroup* last = nullptr;
    for (const ObjGroup* g = m.groups.get(); g != nullptr; last = g, g = g->next.get()) {
        if (!names.insert(g->name).second || findObjGroup(&m, g->name) != g ||
            g->triangles.size() != g->triangleCount)
            return "group not found by its unique name or not sized triangleCount: " + g->name;
        for (std::size_t i = 0; i < g->triangles.size(); ++i) {
            const std::int32_t number = g->triangles[i];
            if (number < 0 || number >= m.triangleCount || (i > 0 && number <= g->triangles[i - 1]))
                return "group list out of range or not in file order";
            ++owners[std::size_t(number)];
        }
    }
    if (names.size() != std::size_t(m.groupCount) || last == nullptr || last->name != "default")
        return "groupCount wrong or \"default\" not last";
    if (std::count(owners.begin(), owners.end(), 1) != std::ptrdiff_t(owners.size()))
        return "triangle not in exactly one group";
    return "";
}

// Every field of the model as text, for comparing two models.
inline std::string describeObjModel(const ObjModel& m) {
    std::ostringstream out;
    out << m.positionCount << ' ' << m.normalCount << ' ' << m.texCoordCount << ' '
        << m.triangleCount << ' ' << m.groupCount << " faults " << m.skippedStatements << ' '
        << m.droppedTriangles << ' ' << m.faultyVertexLines << '\n';
    for (const std::vector<Vec3>* array : {&m.positions, &m.normals, &m.tangents}) {
        for (const Vec3& v : *array)
            out << ' ' << v.x << ',' << v.y << ',' << v.z;
        out << '\n';
    }
    for (const ObjTexCoord& uv : m.texCoords)
        out << ' ' << uv.u << ',' << uv.v;
    out << '\n'; // the triangles as "p p p" or "p/t p/t p/t", joined by ", "
    for (const ObjTriangle& t : m.triangles)
        for (int c = 0; c < 3; ++c) {
            out << (c ? " " : &t == m.triangles.data() ? "" : ", ") << t.positionIndex[c];
            if (t.texCoordIndex[0] != 0)
                out << '/' << t.texCoordIndex[c];
        }
    out << '\n'; // the groups in list order as "name: triangle numbers", joined by "; "
    for (const ObjGroup* g = m.groups.get(); g != nullptr; g = g->next.get()) {
        out << (g == m.groups.get() ? "" : "; ") << g->name << ':';
        for (const std::int32_t number : g->triangles)
            out << ' ' << number;
    }
    out << '\n';
    return out.str();
}
