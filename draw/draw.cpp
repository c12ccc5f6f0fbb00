#include "draw/draw.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "draw/matrix.h"
#include "draw/program.h"
#include "platform/gl.h"

namespace draw {

namespace {

// --- The shader pair ----------------------------------------------------------------------------

// Positions arrive in clip coordinates. The colour is flat: the current colour of a primitive
// is one value, and interpolating it with perspective would round some colours a level off.
constexpr const char* kVertexShader = R"(
in vec4 position;
in vec2 texCoord;
in vec4 color;
out vec2 vTexCoord;
flat out vec4 vColor;
void main() {
    gl_Position = position;
    vTexCoord = texCoord;
    vColor = color;
}
)";

// One program per value of `textured`, given as a constant before the text: 0, the colour
// alone; 1, the texture by it; 2, the same with the texture's alpha read as 1. A constant leaves
// one path in each program (software rasterisers may otherwise run every branch per pixel).
constexpr const char* kTexturedConstants[3] = {
    "const int textured = 0;\n",
    "const int textured = 1;\n",
    "const int textured = 2;\n",
};
constexpr const char* kFragmentShader = R"(
precision highp float;
uniform sampler2D image;
in vec2 vTexCoord;
flat in vec4 vColor;
out vec4 fragColor;
void main() {
    if (textured == 0) {
        fragColor = vColor;
    } else {
        vec4 texel = texture(image, vTexCoord);
        if (textured == 2) {
            texel.a = 1.0;
        }
        fragColor = texel * vColor;
    }
}
)";

constexpr const char* kAttributes[] = {"position", "texCoord", "color", nullptr};

struct Vertex {
    ClipVertex position;
    float s;
    float t;
    float color[4];
};

// Everything a primitive's pixels depend on besides its vertices.
struct PipelineState {
    GLuint texture = 0;
    int textured = 0; // texturing on and a texture bound: 1, or 2 for one whose alpha reads 1
    bool blend = false;
    BlendFactor source = BlendFactor::One;
    BlendFactor destination = BlendFactor::Zero;
    bool depthTest = false;
    DepthFunction depthFunction = DepthFunction::Less;
    bool scissor = false;
    Rect scissorBox;
    Rect viewport;
};

bool sameRect(const Rect& a, const Rect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

bool sameState(const PipelineState& a, const PipelineState& b) {
    return a.texture == b.texture && a.textured == b.textured && a.blend == b.blend &&
           a.source == b.source && a.destination == b.destination && a.depthTest == b.depthTest &&
           a.depthFunction == b.depthFunction && a.scissor == b.scissor &&
           sameRect(a.scissorBox, b.scissorBox) && sameRect(a.viewport, b.viewport);
}

// A run of primitives drawn with one call: `count` indices from `first`.
struct Run {
    PipelineState state;
    int first = 0;
    int count = 0;
};

struct Batch {
    std::vector<Vertex> vertices;
    std::vector<std::uint32_t> indices;
    std::vector<Run> runs;
    int primitives = 0;
};

struct MatrixStackState {
    float matrices[kMatrixStackDepth][16];
    int top = 0;
};

// Each quad as two triangles sharing the diagonal from its second to its fourth corner, the
// split OpenGL implementations commonly give GL_QUADS.
constexpr std::uint32_t kQuadTriangles[6] = {0, 1, 3, 1, 2, 3};
constexpr std::uint32_t kTriangle[3] = {0, 1, 2};

struct Layer {
    bool open = false;
    GLuint programs[3] = {0, 0, 0}; // by `textured`
    GLuint vertexArray = 0;
    GLuint vertexBuffer = 0;
    GLuint indexBuffer = 0;
    bool depthReadable = false;

    MatrixStackState stacks[2];
    MatrixStack selected = MatrixStack::ModelView;
    float clipMatrix[16];
    bool clipMatrixStale = true;

    float color[4] = {1, 1, 1, 1};
    float texCoord[2] = {0, 0};
    bool texturing = false;
    GLuint texture = 0;
    std::vector<GLuint> alphaOneTextures; // see treatAlphaAsOne
    PipelineState state; // the other fields; `textured` is derived when a primitive is kept
    float clearColor[4] = {0, 0, 0, 0};

    Primitive primitive = Primitive::Quads;
    bool inPrimitive = false;
    Vertex corners[4];
    int cornerCount = 0;

    Batch pending;
    PipelineState applied;
    bool appliedValid = false;

    bool capturing = false;
    std::vector<Batch> captured;
    std::size_t capturedCount = 0;

    DrawCounts counts;

    // Per row of the picture (from the bottom), the nearest depth that primitives drawn with
    // the depth test may have written there since the last clear of the whole picture (1, the
    // cleared depth, where none reached); rows past the end hold 1.
    std::vector<float> nearestDepthByRow;

    bool checkingErrors = false;
    unsigned int firstError = 0;
    const char* firstErrorWhere = "";
};

Layer layer;

MatrixStackState& selectedStack() {
    return layer.stacks[layer.selected == MatrixStack::Projection ? 0 : 1];
}

float* selectedTop() {
    MatrixStackState& stack = selectedStack();
    return stack.matrices[stack.top];
}

void matrixChanged() {
    layer.clipMatrixStale = true;
}

const float* clipMatrix() {
    if (layer.clipMatrixStale) {
        const MatrixStackState& projection = layer.stacks[0];
        const MatrixStackState& modelView = layer.stacks[1];
        multiplyMatrices(projection.matrices[projection.top], modelView.matrices[modelView.top],
                         layer.clipMatrix);
        layer.clipMatrixStale = false;
    }
    return layer.clipMatrix;
}

// Multiplies the selected matrix by `m` on the right.
void multiplySelected(const float* const m) {
    float* const top = selectedTop();
    float product[16];
    multiplyMatrices(top, m, product);
    std::memcpy(top, product, sizeof(product));
    matrixChanged();
}

// With error checks on: keeps the GL's error after `pass`, if it is the first since the last take.
void noteErrors(const char* const pass) {
    if (!layer.checkingErrors) {
        return;
    }
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR && layer.firstError == 0) {
        layer.firstError = error;
        layer.firstErrorWhere = pass;
    }
}

GLenum glBlendFactor(const BlendFactor factor) {
    switch (factor) {
    case BlendFactor::Zero:
        return GL_ZERO;
    case BlendFactor::One:
        return GL_ONE;
    case BlendFactor::SrcAlpha:
        return GL_SRC_ALPHA;
    case BlendFactor::OneMinusSrcAlpha:
        return GL_ONE_MINUS_SRC_ALPHA;
    case BlendFactor::DstColor:
        return GL_DST_COLOR;
    }
    return GL_ONE;
}

GLenum glDepthFunction(const DepthFunction function) {
    return function == DepthFunction::LessOrEqual ? GL_LEQUAL : GL_LESS;
}

void enableCapability(const GLenum capability, const bool on) {
    on ? glEnable(capability) : glDisable(capability);
}

// Brings the GL to `state`, issuing only the calls whose values differ from what it has.
void applyState(const PipelineState& state) {
    const PipelineState& had = layer.applied;
    const bool all = !layer.appliedValid;
    if (all || had.texture != state.texture) {
        glBindTexture(GL_TEXTURE_2D, state.texture);
    }
    if (all || had.textured != state.textured) {
        glUseProgram(layer.programs[state.textured]);
    }
    if (all || had.blend != state.blend) {
        enableCapability(GL_BLEND, state.blend);
    }
    if (all || had.source != state.source || had.destination != state.destination) {
        glBlendFunc(glBlendFactor(state.source), glBlendFactor(state.destination));
    }
    if (all || had.depthTest != state.depthTest) {
        enableCapability(GL_DEPTH_TEST, state.depthTest);
    }
    if (all || had.depthFunction != state.depthFunction) {
        glDepthFunc(glDepthFunction(state.depthFunction));
    }
    if (all || had.scissor != state.scissor) {
        enableCapability(GL_SCISSOR_TEST, state.scissor);
    }
    if (all || !sameRect(had.scissorBox, state.scissorBox)) {
        const Rect& box = state.scissorBox;
        glScissor(box.x, box.y, box.width, box.height);
    }
    if (all || !sameRect(had.viewport, state.viewport)) {
        const Rect& box = state.viewport;
        glViewport(box.x, box.y, box.width, box.height);
    }
    layer.applied = state;
    layer.appliedValid = true;
}

// Binds the layer's buffers (applyState its program). Anything else may have changed the GL's
// bindings and state between two flushes, so every flush starts from a full application of its
// state.
void bindLayerObjects() {
    glBindVertexArray(layer.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, layer.vertexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, layer.indexBuffer);
    glActiveTexture(GL_TEXTURE0);
    layer.appliedValid = false;
}

void drawBatch(const Batch& batch) {
    if (batch.runs.empty()) {
        return;
    }
    bindLayerObjects();
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(batch.vertices.size() * sizeof(Vertex)),
                 batch.vertices.data(), GL_STREAM_DRAW);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(batch.indices.size() * sizeof(std::uint32_t)),
                 batch.indices.data(), GL_STREAM_DRAW);
    for (const Run& run : batch.runs) {
        applyState(run.state);
        glDrawElements(GL_TRIANGLES, run.count, GL_UNSIGNED_INT,
                       reinterpret_cast<const void*>(static_cast<std::uintptr_t>(run.first) *
                                                     sizeof(std::uint32_t)));
        ++layer.counts.drawCalls;
        noteErrors("a draw call");
    }
}

void keepCapturedCopy(const Batch& batch) {
    if (layer.capturedCount == layer.captured.size()) {
        layer.captured.emplace_back();
    }
    Batch& copy = layer.captured[layer.capturedCount++];
    copy.vertices.assign(batch.vertices.begin(), batch.vertices.end());
    copy.indices.assign(batch.indices.begin(), batch.indices.end());
    copy.runs.assign(batch.runs.begin(), batch.runs.end());
    copy.primitives = batch.primitives;
}

PipelineState primitiveState() {
    PipelineState state = layer.state;
    state.texture = layer.texture;
    state.textured = 0;
    if (layer.texturing && layer.texture != 0) {
        state.textured = 1;
        for (const GLuint opaque : layer.alphaOneTextures) {
            if (opaque == layer.texture) {
                state.textured = 2;
            }
        }
    }
    return state;
}

// Notes `depth` as written in rows [first, end), within the viewport and the scissor box
// where it is on.
void noteDepthRows(const PipelineState& state, int first, int end, const float depth) {
    first = std::max({first, state.viewport.y, 0});
    end = std::min(end, state.viewport.y + state.viewport.height);
    if (state.scissor) {
        first = std::max(first, state.scissorBox.y);
        end = std::min(end, state.scissorBox.y + state.scissorBox.height);
    }
    if (first >= end) {
        return;
    }
    std::vector<float>& rows = layer.nearestDepthByRow;
    if (rows.size() < static_cast<std::size_t>(end)) {
        rows.resize(static_cast<std::size_t>(end), 1.0f);
    }
    for (int row = first; row < end; ++row) {
        rows[row] = std::min(rows[row], depth);
    }
}

// A primitive kept with the depth test on writes depth within the rows its corners span on the
// picture, with a row of slack either way, and no nearer than its nearest corner (a projected
// primitive lies within its corners' box and depths while every corner is in front of the eye;
// otherwise the whole viewport counts, at depth 0).
void noteDepthWrites(const PipelineState& state) {
    const Rect& view = state.viewport;
    float low = static_cast<float>(view.y + view.height);
    float high = static_cast<float>(view.y);
    float nearest = 1.0f;
    for (int c = 0; c < layer.cornerCount; ++c) {
        const ClipVertex& corner = layer.corners[c].position;
        if (!(corner.w > 0.0f)) {
            noteDepthRows(state, view.y, view.y + view.height, 0.0f);
            return;
        }
        const float y = std::clamp(corner.y / corner.w, -1.0f, 1.0f);
        const float row = static_cast<float>(view.y) + (y * 0.5f + 0.5f) * view.height;
        low = std::min(low, row);
        high = std::max(high, row);
        nearest = std::min(nearest, std::max(0.0f, corner.z / corner.w * 0.5f + 0.5f));
    }
    noteDepthRows(state, static_cast<int>(std::floor(low)) - 1,
                  static_cast<int>(std::ceil(high)) + 1, nearest);
}

// Adds the collected corners of one primitive to the pending batch, unless all of them lie
// outside the same clip plane; a new run starts where its state differs from the last one's.
void keepPrimitive(const std::uint32_t* const pattern, const int patternSize) {
    unsigned outsideAll = 0x3F;
    for (int c = 0; c < layer.cornerCount; ++c) {
        outsideAll &= clipOutcode(layer.corners[c].position);
    }
    if (outsideAll != 0) {
        ++layer.counts.dropped;
        return;
    }
    Batch& batch = layer.pending;
    const PipelineState state = primitiveState();
    if (state.depthTest) {
        noteDepthWrites(state);
    }
    if (batch.runs.empty() || !sameState(batch.runs.back().state, state)) {
        Run& run = batch.runs.emplace_back();
        run.state = state;
        run.first = static_cast<int>(batch.indices.size());
    }
    const auto base = static_cast<std::uint32_t>(batch.vertices.size());
    batch.vertices.insert(batch.vertices.end(), layer.corners, layer.corners + layer.cornerCount);
    for (int i = 0; i < patternSize; ++i) {
        batch.indices.push_back(base + pattern[i]);
    }
    batch.runs.back().count += patternSize;
    ++batch.primitives;
    ++layer.counts.primitives;
}

void resetState() {
    for (MatrixStackState& stack : layer.stacks) {
        stack.top = 0;
        std::memcpy(stack.matrices[0], kIdentityMatrix, sizeof(kIdentityMatrix));
    }
    layer.selected = MatrixStack::ModelView;
    matrixChanged();
    const float white[4] = {1, 1, 1, 1};
    std::memcpy(layer.color, white, sizeof(white));
    layer.texCoord[0] = 0.0f;
    layer.texCoord[1] = 0.0f;
    layer.texturing = false;
    layer.texture = 0;
    GLint box[4] = {};
    glGetIntegerv(GL_VIEWPORT, box);
    layer.state = PipelineState{};
    layer.state.viewport = Rect{box[0], box[1], box[2], box[3]};
    layer.state.scissorBox = layer.state.viewport;
    std::memset(layer.clearColor, 0, sizeof(layer.clearColor));
    layer.inPrimitive = false;
    layer.cornerCount = 0;
    layer.pending = Batch{};
    layer.appliedValid = false;
}

bool hasExtension(const char* const name) {
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint i = 0; i < count; ++i) {
        const char* const extension =
            reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
        if (extension != nullptr && std::strcmp(extension, name) == 0) {
            return true;
        }
    }
    return false;
}

void setVertexLayout() {
    glBindVertexArray(layer.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, layer.vertexBuffer);
    const auto stride = static_cast<GLsizei>(sizeof(Vertex));
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(Vertex, position)));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(Vertex, s)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 4, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(Vertex, color)));
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, layer.indexBuffer);
}

} // namespace

// --- Life ---------------------------------------------------------------------------------------

bool openDrawing(std::string* const error) {
    closeDrawing();
    for (int textured = 0; textured < 3; ++textured) {
        std::string message;
        const std::string fragment = std::string(kTexturedConstants[textured]) + kFragmentShader;
        const GLuint program = buildProgram(kVertexShader, fragment.c_str(), kAttributes, &message);
        if (program == 0) {
            for (GLuint& built : layer.programs) {
                if (built != 0) {
                    glDeleteProgram(built);
                    built = 0;
                }
            }
            if (error != nullptr) {
                *error = "the drawing layer cannot start: " + message;
            }
            return false;
        }
        layer.programs[textured] = program;
        glUseProgram(program);
        glUniform1i(glGetUniformLocation(program, "image"), 0);
    }
    glGenVertexArrays(1, &layer.vertexArray);
    glGenBuffers(1, &layer.vertexBuffer);
    glGenBuffers(1, &layer.indexBuffer);
    setVertexLayout();
    layer.depthReadable = hasExtension("GL_NV_read_depth");
    resetState();
    layer.open = true;
    return true;
}

void closeDrawing() {
    if (!layer.open) {
        return;
    }
    glDeleteBuffers(1, &layer.indexBuffer);
    glDeleteBuffers(1, &layer.vertexBuffer);
    glDeleteVertexArrays(1, &layer.vertexArray);
    for (GLuint& program : layer.programs) {
        glDeleteProgram(program);
        program = 0;
    }
    layer.vertexArray = 0;
    layer.vertexBuffer = 0;
    layer.indexBuffer = 0;
    layer.pending = Batch{};
    layer.alphaOneTextures.clear();
    layer.open = false;
}

bool drawingOpen() {
    return layer.open;
}

void flush() {
    Batch& batch = layer.pending;
    if (batch.runs.empty()) {
        return;
    }
    if (layer.open) {
        drawBatch(batch);
    }
    if (layer.capturing) {
        keepCapturedCopy(batch);
    }
    batch.vertices.clear();
    batch.indices.clear();
    batch.runs.clear();
    batch.primitives = 0;
}

// --- Matrices -----------------------------------------------------------------------------------

void selectMatrix(const MatrixStack stack) {
    layer.selected = stack;
}

MatrixStack selectedMatrix() {
    return layer.selected;
}

void loadIdentity() {
    std::memcpy(selectedTop(), kIdentityMatrix, sizeof(kIdentityMatrix));
    matrixChanged();
}

void loadMatrix(const float* const matrix) {
    std::memcpy(selectedTop(), matrix, 16 * sizeof(float));
    matrixChanged();
}

void pushMatrix() {
    MatrixStackState& stack = selectedStack();
    if (stack.top + 1 < kMatrixStackDepth) {
        std::memcpy(stack.matrices[stack.top + 1], stack.matrices[stack.top], 16 * sizeof(float));
        ++stack.top;
    }
}

void popMatrix() {
    MatrixStackState& stack = selectedStack();
    if (stack.top > 0) {
        --stack.top;
        matrixChanged();
    }
}

void translate(const float x, const float y, const float z) {
    translateMatrix(selectedTop(), x, y, z);
    matrixChanged();
}

void rotate(const float degrees, const float x, const float y, const float z) {
    float rotation[16];
    if (rotationMatrix(degrees, x, y, z, rotation)) {
        multiplySelected(rotation);
    }
}

void scale(const float x, const float y, const float z) {
    scaleMatrix(selectedTop(), x, y, z);
    matrixChanged();
}

void multiplyOrtho(const float left, const float right, const float bottom, const float top,
                   const float nearZ, const float farZ) {
    float ortho[16];
    orthoMatrix(left, right, bottom, top, nearZ, farZ, ortho);
    multiplySelected(ortho);
}

void multiplyPerspective(const double fovyDegrees, const double aspect, const double nearZ,
                         const double farZ) {
    float perspective[16];
    if (perspectiveMatrix(fovyDegrees, aspect, nearZ, farZ, perspective)) {
        multiplySelected(perspective);
    }
}

const float* currentMatrix(const MatrixStack stack) {
    const MatrixStackState& state = layer.stacks[stack == MatrixStack::Projection ? 0 : 1];
    return state.matrices[state.top];
}

// --- Primitives ---------------------------------------------------------------------------------

void begin(const Primitive primitive) {
    layer.primitive = primitive;
    layer.inPrimitive = true;
    layer.cornerCount = 0;
}

void end() {
    layer.inPrimitive = false;
    layer.cornerCount = 0; // an unfinished primitive is not drawn
}

void vertex(const float x, const float y, const float z) {
    if (!layer.inPrimitive) {
        return;
    }
    Vertex& v = layer.corners[layer.cornerCount++];
    v.position = transformPoint(clipMatrix(), x, y, z);
    v.s = layer.texCoord[0];
    v.t = layer.texCoord[1];
    std::memcpy(v.color, layer.color, sizeof(v.color));
    if (layer.primitive == Primitive::Quads && layer.cornerCount == 4) {
        keepPrimitive(kQuadTriangles, 6);
        layer.cornerCount = 0;
    } else if (layer.primitive == Primitive::Triangles && layer.cornerCount == 3) {
        keepPrimitive(kTriangle, 3);
        layer.cornerCount = 0;
    }
}

void vertex(const float x, const float y) {
    vertex(x, y, 0.0f);
}

void texCoord(const float s, const float t) {
    layer.texCoord[0] = s;
    layer.texCoord[1] = t;
}

void color(const float r, const float g, const float b) {
    color(r, g, b, 1.0f);
}

void color(const float r, const float g, const float b, const float a) {
    layer.color[0] = r;
    layer.color[1] = g;
    layer.color[2] = b;
    layer.color[3] = a;
}

const float* currentColor() {
    return layer.color;
}

const float* currentTexCoord() {
    return layer.texCoord;
}

// --- State --------------------------------------------------------------------------------------

void bindTexture(const unsigned int texture) {
    layer.texture = texture;
}

void treatAlphaAsOne(const unsigned int texture) {
    layer.alphaOneTextures.push_back(texture);
}

void filterLinearly(const unsigned int texture, const bool linear) {
    flush();
    const GLint filter = linear ? GL_LINEAR : GL_NEAREST;
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    layer.appliedValid = false;
    noteErrors("a change of filtering");
}

unsigned int boundTexture() {
    return layer.texture;
}

void enableTexturing(const bool on) {
    layer.texturing = on;
}

bool texturingEnabled() {
    return layer.texturing;
}

void enableBlending(const bool on) {
    layer.state.blend = on;
}

bool blendingEnabled() {
    return layer.state.blend;
}

void blendFunction(const BlendFactor source, const BlendFactor destination) {
    layer.state.source = source;
    layer.state.destination = destination;
}

void enableDepthTest(const bool on) {
    layer.state.depthTest = on;
}

bool depthTestEnabled() {
    return layer.state.depthTest;
}

void depthFunction(const DepthFunction function) {
    layer.state.depthFunction = function;
}

void enableScissor(const bool on) {
    layer.state.scissor = on;
}

bool scissorEnabled() {
    return layer.state.scissor;
}

void scissorBox(const Rect box) {
    layer.state.scissorBox = box;
}

Rect currentScissorBox() {
    return layer.state.scissorBox;
}

void viewport(const Rect box) {
    layer.state.viewport = box;
}

Rect currentViewport() {
    return layer.state.viewport;
}

void clearColor(const float r, const float g, const float b, const float a) {
    layer.clearColor[0] = r;
    layer.clearColor[1] = g;
    layer.clearColor[2] = b;
    layer.clearColor[3] = a;
}

const float* currentClearColor() {
    return layer.clearColor;
}

// --- The picture --------------------------------------------------------------------------------

void clear() {
    flush();
    bindLayerObjects();
    applyState(primitiveState()); // the scissor box bounds the clear
    glClearColor(layer.clearColor[0], layer.clearColor[1], layer.clearColor[2],
                 layer.clearColor[3]);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    noteErrors("the clear");
    if (!layer.state.scissor) {
        std::fill(layer.nearestDepthByRow.begin(), layer.nearestDepthByRow.end(), 1.0f);
    }
}

void copyPictureToTexture(const unsigned int texture, const int width, const int firstRow,
                          const int rows) {
    flush();
    glBindTexture(GL_TEXTURE_2D, texture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, firstRow, 0, firstRow, width, rows);
    layer.appliedValid = false;
    noteErrors("a copy of the picture");
}

float nearestDepthInRows(const int first, const int end) {
    const std::vector<float>& rows = layer.nearestDepthByRow;
    float nearest = 1.0f;
    for (int row = std::max(first, 0); row < std::min(end, static_cast<int>(rows.size())); ++row) {
        nearest = std::min(nearest, rows[row]);
    }
    return nearest;
}

bool depthReadable() {
    return layer.depthReadable;
}

bool readDepthRows(const int width, const int firstRow, const int rows,
                   unsigned short* const depths) {
    if (!layer.depthReadable) {
        return false;
    }
    flush();
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 2);
    glReadPixels(0, firstRow, width, rows, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT, depths);
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    noteErrors("the depth read");
    return true;
}

void checkErrors(const bool on) {
    if (on && !layer.checkingErrors) {
        glGetError(); // what came before is not the layer's
    }
    layer.checkingErrors = on;
}

unsigned int takeFirstError(const char** const where) {
    const unsigned int error = layer.firstError;
    if (where != nullptr) {
        *where = layer.firstErrorWhere;
    }
    layer.firstError = 0;
    layer.firstErrorWhere = "";
    return error;
}

// --- Counts and captures ------------------------------------------------------------------------

DrawCounts drawCounts() {
    return layer.counts;
}

void resetDrawCounts() {
    layer.counts = DrawCounts{};
}

void captureDraws(const bool capture) {
    flush();
    layer.capturing = capture;
    if (capture) {
        layer.capturedCount = 0; // a new capture forgets the last; stopping keeps it
    }
}

void replayCapturedDraws() {
    flush();
    for (std::size_t i = 0; i < layer.capturedCount; ++i) {
        const Batch& batch = layer.captured[i];
        for (const Run& run : batch.runs) {
            if (run.state.depthTest) { // the whole viewport counts, at any depth
                noteDepthRows(run.state, run.state.viewport.y,
                              run.state.viewport.y + run.state.viewport.height, 0.0f);
            }
        }
        drawBatch(batch);
    }
}

int capturedPrimitiveCount() {
    int primitives = 0;
    for (std::size_t i = 0; i < layer.capturedCount; ++i) {
        primitives += layer.captured[i].primitives;
    }
    return primitives;
}

} // namespace draw
