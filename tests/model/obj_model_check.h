#pragma once
// Consistency checks and a printable form of a loaded ObjModel, shared by the unit tests and
// the fuzz target.

#include <cmath>
#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "model/obj_model.h"

// Empty when the model is consistent; otherwise what is wrong first.
inline std::string checkObjModel(const ObjModel& m) {
    const bool textured = m.texCoordCount > 0;
    if (m.positionCount < 0 || m.normalCount < 0 || m.texCoordCount < 0 || m.triangleCount < 0)
        return "negative count";
    if (m.positions.size() != static_cast<std::size_t>(m.positionCount) + 1)
        return "positions not sized count + 1";
    if (m.normals.size() != static_cast<std::size_t>(m.normalCount) + 1)
        return "normals not sized count + 1";
    if (m.texCoords.size() != (textured ? static_cast<std::size_t>(m.texCoordCount) + 1 : 0u))
        return "texCoords sized wrongly";
    if (m.tangents.size() != (textured ? m.positions.size() : 0u))
        return "tangents sized wrongly";
    if (m.triangles.size() != static_cast<std::size_t>(m.triangleCount))
        return "triangles not sized triangleCount";
    for (const std::vector<Vec3>* array : {&m.positions, &m.normals, &m.tangents})
        for (const Vec3& v : *array)
            if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z))
                return "non-finite vector";
    for (const ObjTexCoord& uv : m.texCoords)
        if (!std::isfinite(uv.u) || !std::isfinite(uv.v))
            return "non-finite texture coordinate";
    for (const Vec3& t : m.tangents) {
        const double length = std::sqrt(double(t.x) * t.x + double(t.y) * t.y + double(t.z) * t.z);
        if (length != 0.0 && std::fabs(length - 1.0) > 1e-5)
            return "tangent neither zero nor unit";
    }
    for (const ObjTriangle& t : m.triangles) {
        const bool withTexCoords = t.texCoordIndex[0] != 0;
        for (int c = 0; c < 3; ++c) {
            if (t.positionIndex[c] < 1 || t.positionIndex[c] > m.positionCount)
                return "position index out of range";
            if ((t.texCoordIndex[c] != 0) != withTexCoords)
                return "texture indices partly set";
            if (withTexCoords && (t.texCoordIndex[c] < 1 || t.texCoordIndex[c] > m.texCoordCount))
                return "texture index out of range";
        }
    }
    std::int32_t groups = 0;
    std::set<std::string> names;
    std::vector<int> owners(m.triangles.size(), 0);
    const ObjGroup* last = nullptr;
    for (const ObjGroup* g = m.groups.get(); g != nullptr; g = g->next.get()) {
        ++groups;
        last = g;
        if (!names.insert(g->name).second)
            return "group name twice: " + g->name;
        if (findObjGroup(&m, g->name) != g)
            return "findObjGroup misses " + g->name;
        if (g->triangles.size() != g->triangleCount)
            return "group list not sized triangleCount";
        std::int32_t previous = -1;
        for (const std::int32_t number : g->triangles) {
            if (number < 0 || number >= m.triangleCount)
                return "group lists a triangle that does not exist";
            if (number <= previous)
                return "group list not in file order";
            previous = number;
            ++owners[static_cast<std::size_t>(number)];
        }
    }
    if (groups != m.groupCount)
        return "groupCount differs from the list";
    if (last == nullptr || last->name != "default")
        return "\"default\" is not the last group";
    for (const int owner : owners)
        if (owner != 1)
            return "triangle not in exactly one group";
    if (m.skippedStatements < 0 || m.droppedTriangles < 0 || m.faultyVertexLines < 0)
        return "negative fault count";
    return "";
}

// Every field of the model as text, for comparing two models.
inline std::string describeObjModel(const ObjModel& m) {
    std::ostringstream out;
    const auto vectors = [&out](const char* name, const std::vector<Vec3>& array) {
        out << name << ':';
        for (const Vec3& v : array)
            out << ' ' << v.x << ',' << v.y << ',' << v.z;
        out << '\n';
    };
    out << "counts " << m.positionCount << ' ' << m.normalCount << ' ' << m.texCoordCount << ' '
        << m.triangleCount << ' ' << m.groupCount << '\n';
    out << "faults " << m.skippedStatements << ' ' << m.droppedTriangles << ' '
        << m.faultyVertexLines << '\n';
    vectors("positions", m.positions);
    vectors("normals", m.normals);
    vectors("tangents", m.tangents);
    out << "texCoords:";
    for (const ObjTexCoord& uv : m.texCoords)
        out << ' ' << uv.u << ',' << uv.v;
    out << "\ntriangles:";
    for (const ObjTriangle& t : m.triangles)
        out << ' ' << t.positionIndex[0] << '/' << t.texCoordIndex[0] << ',' << t.positionIndex[1]
            << '/' << t.texCoordIndex[1] << ',' << t.positionIndex[2] << '/' << t.texCoordIndex[2];
    out << '\n';
    for (const ObjGroup* g = m.groups.get(); g != nullptr; g = g->next.get()) {
        out << "group " << g->name << ':';
        for (const std::int32_t number : g->triangles)
            out << ' ' << number;
        out << '\n';
    }
    return out.str();
}
