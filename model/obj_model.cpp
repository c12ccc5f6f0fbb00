#include "model/obj_model.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#include <unordered_map>
#include <utility>

namespace {

// Counts stay below this so that count + 1 entries always fit a signed 32-bit size.
constexpr std::int64_t kMaxCount = INT32_MAX - 1;

using Words = std::vector<std::string_view>;

enum class Statement {
    Position,      // v
    Normal,        // vn
    TexCoord,      // vt
    Group,         // g
    Face,          // f
    Unsupported,   // any other keyword (o, s, usemtl, mtllib, vp, l, ...): ignored
    NotAStatement, // a line beginning with a number or another non-letter: skipped
};

// The numbers a vertex-data line stores, and how many of them must be present
// (a texture coordinate's v may be left out and reads 0).
struct VertexDataShape {
    int stored;
    int required;
};
constexpr VertexDataShape kPositionShape = {3, 3};
constexpr VertexDataShape kNormalShape = {3, 3};
constexpr VertexDataShape kTexCoordShape = {2, 1};

enum class VertexForm {
    Position,         // p
    PositionTexCoord, // p/t
    PositionNormal,   // p//n
    Full,             // p/t/n
    Invalid,
};

struct FaceVertex {
    std::int64_t position;
    std::int64_t texCoord;
};

// Reads lines of any length, embedded zero bytes included.
struct LineReader {
    char* buffer = nullptr;
    std::size_t capacity = 0;

    LineReader() = default;
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;
    ~LineReader() { std::free(buffer); }

    // The next line without its line end; false at the end of the file or on an error.
    bool next(std::FILE* const file, std::string_view* const line) {
        const ssize_t length = getline(&buffer, &capacity, file);
        if (length < 0) {
            return false;
        }
        std::size_t size = static_cast<std::size_t>(length);
        if (size > 0 && buffer[size - 1] == '\n') {
            --size;
        }
        *line = std::string_view(buffer, size);
        return true;
    }
};

bool isBlank(const char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool isLetter(const char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Splits a line into its words; a word beginning with # starts a comment that runs to the end
// of the line.
void splitWords(const std::string_view line, Words* const words) {
    words->clear();
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) {
            ++i;
        }
        if (i == line.size() || line[i] == '#') {
            return;
        }
        const std::size_t start = i;
        while (i < line.size() && !isBlank(line[i])) {
            ++i;
        }
        words->push_back(line.substr(start, i - start));
    }
}

// A statement is known by the first character of its keyword; vertex data by the second.
Statement classifyStatement(const std::string_view keyword) {
    switch (keyword[0]) {
    case 'v':
        if (keyword.size() == 1) {
            return Statement::Position;
        }
        if (keyword[1] == 'n') {
            return Statement::Normal;
        }
        if (keyword[1] == 't') {
            return Statement::TexCoord;
        }
        return Statement::Unsupported;
    case 'g':
        return Statement::Group;
    case 'f':
        return Statement::Face;
    default:
        return isLetter(keyword[0]) ? Statement::Unsupported : Statement::NotAStatement;
    }
}

// An optional + sign, as C's number syntax allows, is taken off; a sign after it is not.
bool stripPlus(std::string_view* const word) {
    if (!word->empty() && (*word)[0] == '+') {
        word->remove_prefix(1);
        return !word->empty() && (*word)[0] != '-';
    }
    return !word->empty();
}

// A whole word (never beginning with white space) as a finite float, in the decimal forms
// std::from_chars reads. strtof, since not every C++ library offers from_chars for floats,
// reads more: hexadecimal numbers are refused here, and so is a number too small for a float
// (strtof's range error with 0), while a subnormal result is kept.
bool parseFloat(std::string_view word, float* const value) {
    if (!stripPlus(&word) || word.find_first_of("xX") != std::string_view::npos) {
        return false;
    }
    const std::string text(word);
    char* stop = nullptr;
    errno = 0;
    const float parsed = std::strtof(text.c_str(), &stop);
    const bool underflow = errno == ERANGE && parsed == 0.0f;
    if (stop != text.c_str() + text.size() || underflow || !std::isfinite(parsed)) {
        return false;
    }
    *value = parsed;
    return true;
}

// A whole word as an integer; values beyond 64 bits saturate (they are out of range anyway).
bool parseIndex(std::string_view word, std::int64_t* const value) {
    if (!stripPlus(&word)) {
        return false;
    }
    std::int64_t parsed = 0;
    const char* const end = word.data() + word.size();
    const auto [stop, error] = std::from_chars(word.data(), end, parsed);
    if (stop != end) {
        return false;
    }
    if (error == std::errc::result_out_of_range) {
        parsed = word[0] == '-' ? INT64_MIN : INT64_MAX;
    } else if (error != std::errc()) {
        return false;
    }
    *value = parsed;
    return true;
}

// Reads the numbers after the keyword into values (missing optional ones read 0). Returns
// false when a required number is missing or any number is unreadable (it then reads 0).
bool readVertexData(const Words& words, const VertexDataShape shape, float* const values) {
    bool complete = true;
    for (int i = 0; i < shape.stored; ++i) {
        values[i] = 0.0f;
        const std::size_t word = static_cast<std::size_t>(i) + 1;
        if (word < words.size()) {
            complete = parseFloat(words[word], &values[i]) && complete;
        } else if (i < shape.required) {
            complete = false;
        }
    }
    return complete;
}

// Parses one face vertex: p, p/t, p//n or p/t/n. Normal indices are checked for syntax only.
VertexForm parseFaceVertex(const std::string_view word, FaceVertex* const vertex) {
    const std::size_t first = word.find('/');
    vertex->texCoord = 0;
    if (first == std::string_view::npos) {
        return parseIndex(word, &vertex->position) ? VertexForm::Position : VertexForm::Invalid;
    }
    if (!parseIndex(word.substr(0, first), &vertex->position)) {
        return VertexForm::Invalid;
    }
    const std::size_t second = word.find('/', first + 1);
    if (second == std::string_view::npos) {
        return parseIndex(word.substr(first + 1), &vertex->texCoord) ? VertexForm::PositionTexCoord
                                                                     : VertexForm::Invalid;
    }
    std::int64_t normal = 0;
    if (!parseIndex(word.substr(second + 1), &normal)) {
        return VertexForm::Invalid;
    }
    if (second == first + 1) {
        return VertexForm::PositionNormal;
    }
    return parseIndex(word.substr(first + 1, second - first - 1), &vertex->texCoord)
               ? VertexForm::Full
               : VertexForm::Invalid;
}

bool formHasTexCoords(const VertexForm form) {
    return form == VertexForm::PositionTexCoord || form == VertexForm::Full;
}

// Parses the vertices of a face statement. The first vertex decides the form. The face ends
// at the first word that is not a readable vertex, which sets *cutShort and drops the rest of
// the line, or at a comment, which may follow the last vertex without a space. A face with
// fewer than three vertices or a vertex of another form is Invalid.
VertexForm parseFace(const Words& words, std::vector<FaceVertex>* const vertices,
                     bool* const cutShort) {
    vertices->clear();
    *cutShort = false;
    VertexForm form = VertexForm::Invalid;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::size_t comment = words[i].find('#');
        FaceVertex vertex{};
        const VertexForm vertexForm = parseFaceVertex(words[i].substr(0, comment), &vertex);
        if (vertexForm == VertexForm::Invalid) {
            *cutShort = true;
            break;
        }
        if (i > 1 && vertexForm != form) {
            return VertexForm::Invalid;
        }
        form = vertexForm;
        vertices->push_back(vertex);
        if (comment != std::string_view::npos) {
            break;
        }
    }
    return vertices->size() >= 3 ? form : VertexForm::Invalid;
}

// The triangles a face of vertexCount vertices adds to a running total, or 0 when they would
// take it past kMaxCount. Both passes decide alike.
std::int64_t faceTriangles(const std::int64_t total, const std::size_t vertexCount) {
    const std::int64_t added = static_cast<std::int64_t>(vertexCount) - 2;
    return added <= kMaxCount - total ? added : 0;
}

// A file index (1-based, or negative counting back from the latest entry read so far) as an
// index into an array of count entries; 0 when it falls outside 1..count.
std::int32_t resolveIndex(const std::int64_t index, const std::int32_t readSoFar,
                          const std::int32_t count) {
    const std::int64_t resolved = index < 0 ? readSoFar + 1 + index : index;
    return resolved >= 1 && resolved <= count ? static_cast<std::int32_t>(resolved) : 0;
}

// Calls onStatement(statement, words) for every line that holds a statement.
template <typename OnStatement>
void forEachStatement(std::FILE* const file, OnStatement onStatement) {
    LineReader reader;
    Words words;
    std::string_view line;
    while (reader.next(file, &line)) {
        splitWords(line, &words);
        if (!words.empty()) {
            onStatement(classifyStatement(words[0]), words);
        }
    }
}

// True when a pass read the whole file without an error.
bool passReachedEnd(std::FILE* const file) {
    return std::feof(file) != 0 && std::ferror(file) == 0;
}

void allocateObjArrays(ObjModel* const model) {
    const std::size_t positions = static_cast<std::size_t>(model->positionCount) + 1;
    model->positions.assign(positions, Vec3{});
    model->normals.assign(static_cast<std::size_t>(model->normalCount) + 1, Vec3{});
    model->triangles.assign(static_cast<std::size_t>(model->triangleCount), ObjTriangle{});
    if (model->texCoordCount > 0) {
        model->texCoords.assign(static_cast<std::size_t>(model->texCoordCount) + 1, ObjTexCoord{});
        model->tangents.assign(positions, Vec3{});
    }
}

// Where the reading pass stands in the arrays the counting pass sized.
struct ReadCursor {
    std::int32_t positions = 0;
    std::int32_t normals = 0;
    std::int32_t texCoords = 0;
    std::int32_t triangles = 0;
    std::int64_t countedTriangles = 0; // as the counting pass counted them, dropped ones included
};

void readVec3Line(ObjModel* const model, const Words& words, const VertexDataShape shape,
                  std::int32_t* const cursor, const std::int32_t count, std::vector<Vec3>* array) {
    if (*cursor >= count) {
        return; // the file has grown since it was counted
    }
    float values[3];
    if (!readVertexData(words, shape, values)) {
        ++model->faultyVertexLines;
    }
    ++*cursor;
    (*array)[static_cast<std::size_t>(*cursor)] = Vec3{values[0], values[1], values[2]};
}

void readTexCoordLine(ObjModel* const model, const Words& words, ReadCursor* const cursor) {
    if (cursor->texCoords >= model->texCoordCount) {
        return;
    }
    float values[2];
    if (!readVertexData(words, kTexCoordShape, values)) {
        ++model->faultyVertexLines;
    }
    ++cursor->texCoords;
    model->texCoords[static_cast<std::size_t>(cursor->texCoords)] =
        ObjTexCoord{values[0], values[1]};
}

// Resolves one fan triangle's indices; false when any index falls outside its array.
bool resolveTriangle(const ObjModel& model, const ReadCursor& cursor,
                     const FaceVertex* const corners[3], const bool withTexCoords,
                     ObjTriangle* const triangle) {
    for (int c = 0; c < 3; ++c) {
        triangle->positionIndex[c] =
            resolveIndex(corners[c]->position, cursor.positions, model.positionCount);
        triangle->texCoordIndex[c] =
            withTexCoords
                ? resolveIndex(corners[c]->texCoord, cursor.texCoords, model.texCoordCount)
                : 0;
        if (triangle->positionIndex[c] == 0 || (withTexCoords && triangle->texCoordIndex[c] == 0)) {
            return false;
        }
    }
    return true;
}

// Stores the fan of a parsed face into the model and the current group.
void readFace(ObjModel* const model, ObjGroup* const group, const std::vector<FaceVertex>& vertices,
              const VertexForm form, ReadCursor* const cursor) {
    const bool withTexCoords = formHasTexCoords(form);
    for (std::size_t k = 1; k + 1 < vertices.size(); ++k) {
        const FaceVertex* corners[3] = {&vertices[0], &vertices[k], &vertices[k + 1]};
        ObjTriangle triangle{};
        const bool fits = group != nullptr && cursor->triangles < model->triangleCount &&
                          group->triangleCount < group->triangles.size();
        if (!fits || !resolveTriangle(*model, *cursor, corners, withTexCoords, &triangle)) {
            ++model->droppedTriangles;
            continue;
        }
        model->triangles[static_cast<std::size_t>(cursor->triangles)] = triangle;
        group->triangles[group->triangleCount] = cursor->triangles;
        ++group->triangleCount;
        ++cursor->triangles;
    }
}

// The groups by name while a model loads, so that a file of many groups does not walk the list
// at every group statement. It lives only as long as the load; the list is the model's one
// record of its groups.
using GroupIndex = std::unordered_map<std::string_view, ObjGroup*>;

// The group called name, created at the front of the list if there is none.
ObjGroup* addGroup(ObjModel* const model, GroupIndex* const index, const std::string_view name) {
    const auto found = index->find(name);
    if (found != index->end()) {
        return found->second;
    }
    auto group = std::make_unique<ObjGroup>();
    group->name.assign(name);
    group->next = std::move(model->groups);
    model->groups = std::move(group);
    ++model->groupCount;
    ObjGroup* const added = model->groups.get();
    index->emplace(std::string_view(added->name), added);
    return added;
}

// The group called name, or null.
ObjGroup* indexedGroup(const GroupIndex& index, const std::string_view name) {
    const auto found = index.find(name);
    return found == index.end() ? nullptr : found->second;
}

// The counting pass: creates every group, stores the four counts and sizes every array.
void countObjFile(ObjModel* const model, GroupIndex* const index, std::FILE* const file) {
    ObjGroup* current = addGroup(model, index, "default");
    std::int64_t counts[3] = {0, 0, 0}; // positions, normals, texture coordinates
    std::int64_t triangles = 0;
    std::vector<FaceVertex> vertices;
    bool cutShort = false;
    forEachStatement(file, [&](const Statement statement, const Words& words) {
        switch (statement) {
        case Statement::Position:
        case Statement::Normal:
        case Statement::TexCoord: {
            // Position, Normal and TexCoord are the first three statements, in this order.
            std::int64_t& count = counts[static_cast<int>(statement)];
            count = count < kMaxCount ? count + 1 : count;
            break;
        }
        case Statement::Group:
            if (words.size() >= 2) {
                current = addGroup(model, index, words[1]);
            }
            break;
        case Statement::Face:
            if (parseFace(words, &vertices, &cutShort) != VertexForm::Invalid) {
                const std::int64_t added = faceTriangles(triangles, vertices.size());
                triangles += added;
                current->triangleCount += static_cast<std::uint32_t>(added);
            }
            break;
        case Statement::Unsupported:
        case Statement::NotAStatement:
            break;
        }
    });
    model->positionCount = static_cast<std::int32_t>(counts[0]);
    model->normalCount = static_cast<std::int32_t>(counts[1]);
    model->texCoordCount = static_cast<std::int32_t>(counts[2]);
    model->triangleCount = static_cast<std::int32_t>(triangles);
    for (ObjGroup* group = model->groups.get(); group != nullptr; group = group->next.get()) {
        group->triangles.assign(group->triangleCount, 0);
        group->triangleCount = 0;
    }
}

// The reading pass over the same file, rewound: fills the arrays sized by countObjFile, never
// writing past them, and records what it left out.
void readObjFile(ObjModel* const model, const GroupIndex& index, std::FILE* const file) {
    ObjGroup* current = indexedGroup(index, "default");
    ReadCursor cursor;
    std::vector<FaceVertex> vertices;
    bool cutShort = false;
    forEachStatement(file, [&](const Statement statement, const Words& words) {
        switch (statement) {
        case Statement::Position:
            readVec3Line(model, words, kPositionShape, &cursor.positions, model->positionCount,
                         &model->positions);
            break;
        case Statement::Normal:
            readVec3Line(model, words, kNormalShape, &cursor.normals, model->normalCount,
                         &model->normals);
            break;
        case Statement::TexCoord:
            readTexCoordLine(model, words, &cursor);
            break;
        case Statement::Group:
            if (words.size() < 2) {
                ++model->skippedStatements;
            } else {
                current = indexedGroup(index, words[1]); // null if the file changed since counted
            }
            break;
        case Statement::Face: {
            const VertexForm form = parseFace(words, &vertices, &cutShort);
            const std::int64_t added =
                form == VertexForm::Invalid
                    ? 0
                    : faceTriangles(cursor.countedTriangles, vertices.size());
            if (added == 0 || cutShort) {
                ++model->skippedStatements; // skipped whole, or cut short with its words lost
            }
            if (added == 0) {
                break;
            }
            cursor.countedTriangles += added;
            readFace(model, current, vertices, form, &cursor);
            break;
        }
        case Statement::Unsupported:
            break;
        case Statement::NotAStatement:
            ++model->skippedStatements;
            break;
        }
    });
    // Triangles dropped for their indices leave the arrays shorter than counted.
    model->triangleCount = cursor.triangles;
    model->triangles.resize(static_cast<std::size_t>(cursor.triangles));
    for (ObjGroup* group = model->groups.get(); group != nullptr; group = group->next.get()) {
        group->triangles.resize(group->triangleCount);
    }
}

std::array<double, 3> toDouble(const Vec3& v) {
    return {static_cast<double>(v.x), static_cast<double>(v.y), static_cast<double>(v.z)};
}

// The unnormalised tangent of a triangle, in double so that no float input can overflow it;
// false when the texture coordinates are degenerate (det = 0) or the result is not finite.
bool wideTriangleTangent(const Vec3& p0, const Vec3& p1, const Vec3& p2, const ObjTexCoord& uv0,
                         const ObjTexCoord& uv1, const ObjTexCoord& uv2,
                         std::array<double, 3>* const out) {
    const std::array<double, 3> a = toDouble(p0);
    const std::array<double, 3> b = toDouble(p1);
    const std::array<double, 3> c = toDouble(p2);
    const double du1 = static_cast<double>(uv1.u) - uv0.u;
    const double dv1 = static_cast<double>(uv1.v) - uv0.v;
    const double du2 = static_cast<double>(uv2.u) - uv0.u;
    const double dv2 = static_cast<double>(uv2.v) - uv0.v;
    const double det = du1 * dv2 - du2 * dv1;
    if (det == 0.0) {
        return false;
    }
    for (int i = 0; i < 3; ++i) {
        const double e1 = b[i] - a[i];
        const double e2 = c[i] - a[i];
        (*out)[i] = (e1 * dv2 - e2 * dv1) / det;
        if (!std::isfinite((*out)[i])) {
            return false;
        }
    }
    return true;
}

// Fills tangents: the normalised sum of the tangents of the triangles using each position;
// (0, 0, 0) for a position no usable triangle touches.
void computeVertexTangents(ObjModel* const model) {
    // Tangents are summed in double, where neither one triangle's nor the sum can overflow.
    std::vector<std::array<double, 3>> sums(model->positions.size(), {0.0, 0.0, 0.0});
    for (const ObjGroup* group = model->groups.get(); group != nullptr; group = group->next.get()) {
        for (const std::int32_t number : group->triangles) {
            const ObjTriangle& triangle = model->triangles[static_cast<std::size_t>(number)];
            if (triangle.texCoordIndex[0] == 0) {
                continue; // a face without texture coordinates has no tangent
            }
            const std::int32_t* const p = triangle.positionIndex;
            const std::int32_t* const t = triangle.texCoordIndex;
            std::array<double, 3> tangent;
            if (!wideTriangleTangent(model->positions[p[0]], model->positions[p[1]],
                                     model->positions[p[2]], model->texCoords[t[0]],
                                     model->texCoords[t[1]], model->texCoords[t[2]], &tangent)) {
                continue;
            }
            for (int corner = 0; corner < 3; ++corner) {
                std::array<double, 3>& sum = sums[static_cast<std::size_t>(p[corner])];
                for (int i = 0; i < 3; ++i) {
                    sum[i] += tangent[i];
                }
            }
        }
    }
    model->tangents.assign(model->positions.size(), Vec3{0.0f, 0.0f, 0.0f});
    for (std::size_t i = 0; i < sums.size(); ++i) {
        const double length = std::hypot(sums[i][0], sums[i][1], sums[i][2]);
        if (length > 0.0 && std::isfinite(length)) {
            model->tangents[i] = Vec3{static_cast<float>(sums[i][0] / length),
                                      static_cast<float>(sums[i][1] / length),
                                      static_cast<float>(sums[i][2] / length)};
        }
    }
}

} // namespace

ObjGroup::~ObjGroup() {
    std::unique_ptr<ObjGroup> rest = std::move(next);
    while (rest) {
        rest = std::move(rest->next);
    }
}

ObjGroup* findObjGroup(const ObjModel* const model, const std::string_view name) {
    for (ObjGroup* group = model->groups.get(); group != nullptr; group = group->next.get()) {
        if (group->name == name) {
            return group;
        }
    }
    return nullptr;
}

int loadObjModelFromStream(ObjModel* const model, std::FILE* const file) {
    if (std::fseek(file, 0, SEEK_SET) != 0) {
        return 0;
    }
    std::clearerr(file);
    ObjModel loaded;
    GroupIndex index;
    countObjFile(&loaded, &index, file);
    if (!passReachedEnd(file)) {
        return 0;
    }
    allocateObjArrays(&loaded);
    if (std::fseek(file, 0, SEEK_SET) != 0) {
        return 0;
    }
    readObjFile(&loaded, index, file);
    if (!passReachedEnd(file)) {
        return 0;
    }
    if (loaded.texCoordCount > 0) {
        computeVertexTangents(&loaded);
    }
    *model = std::move(loaded);
    return 1;
}

int loadObjModel(ObjModel* const model, const char* const path) {
    if (path == nullptr) {
        return 0;
    }
    // Non-blocking, so that a FIFO cannot stall the open; only regular files are read (a
    // device could be endless, a directory has no text).
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return 0;
    }
    std::FILE* const file = fdopen(fd, "r");
    if (file == nullptr) {
        close(fd);
        return 0;
    }
    const int loaded = loadObjModelFromStream(model, file);
    std::fclose(file);
    return loaded;
}
