#pragma once
#include <string>

// The show's drawing layer over OpenGL ES 3.0 (WebGL 2): the few verbs the show draws with.
//
// It keeps the state the show's drawing code reads and sets as explicit values: two matrix
// stacks, the current colour and texture coordinate, the bound texture, texturing, blending,
// depth test, scissor and viewport. Primitives are given vertex by vertex between begin and
// end; each vertex is transformed to clip coordinates on the CPU with the matrices in force
// and stored with its texture coordinate and the current colour. A primitive wholly outside
// one clip plane is dropped. Vertices go to one streaming buffer and are drawn with one draw
// call per run of primitives sharing the same state: a state change costs nothing until a
// vertex needs it. flush() draws what is pending; the verbs that read or copy the picture
// flush first.
//
// One shader pair draws everything: the colour alone, or texture x colour (what OpenGL 1.1's
// modulate environment gives) while texturing is on and a texture is bound. The colour is
// constant over a primitive (the provoking vertex's), as a current colour is.
namespace draw {

// --- The layer's life, within a current OpenGL ES 3.0 context -----------------------------------

// Compiles the shader pair, makes the buffers and sets the state to its defaults (identity
// matrices, white, no texture, texturing, blending, depth test and scissor off, the depth
// function LESS, the blend function ONE, ZERO). False with a message naming what failed.
bool openDrawing(std::string* error);
// Releases what openDrawing made (the context must still be current). Safe when not open.
void closeDrawing();
bool drawingOpen();

// Draws the pending primitives.
void flush();

// --- Matrices -----------------------------------------------------------------------------------

enum class MatrixStack { Projection, ModelView };
inline constexpr int kMatrixStackDepth = 32;

// The stack the matrix verbs act on (ModelView at the start).
void selectMatrix(MatrixStack stack);
MatrixStack selectedMatrix();
void loadIdentity();
void loadMatrix(const float* matrix); // 16 values, column-major
// Pushing past kMatrixStackDepth or popping the last matrix does nothing.
void pushMatrix();
void popMatrix();
// Multiply the selected matrix on the right, as OpenGL 1.1's calls of the same names do.
void translate(float x, float y, float z);
void rotate(float degrees, float x, float y, float z);
void scale(float x, float y, float z);
void multiplyOrtho(float left, float right, float bottom, float top, float nearZ, float farZ);
void multiplyPerspective(double fovyDegrees, double aspect, double nearZ, double farZ);
// The current matrix of a stack, column-major.
const float* currentMatrix(MatrixStack stack);

// --- Primitives ---------------------------------------------------------------------------------

enum class Primitive { Quads, Triangles };

void begin(Primitive primitive);
void end();
void vertex(float x, float y, float z);
void vertex(float x, float y);
void texCoord(float s, float t);
void color(float r, float g, float b);
void color(float r, float g, float b, float a);
const float* currentColor();
const float* currentTexCoord();

// --- State --------------------------------------------------------------------------------------

enum class BlendFactor { Zero, One, SrcAlpha, OneMinusSrcAlpha, DstColor };
enum class DepthFunction { Less, LessOrEqual };

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

void bindTexture(unsigned int texture);
unsigned int boundTexture();
// Marks `texture` as holding colour alone: sampled, its alpha reads 1, as an RGB texture's does.
// For copies of the picture kept in RGBA, whose copies the browser's GL makes many times faster
// than into RGB. Holds until the drawing layer closes.
void treatAlphaAsOne(unsigned int texture);
// Samples `texture` filtered linearly (true) or at the nearest texel (false) from here on;
// what was drawn with it before keeps the filtering it had.
void filterLinearly(unsigned int texture, bool linear);
void enableTexturing(bool on);
bool texturingEnabled();
void enableBlending(bool on);
bool blendingEnabled();
void blendFunction(BlendFactor source, BlendFactor destination);
void enableDepthTest(bool on);
bool depthTestEnabled();
void depthFunction(DepthFunction function);
void enableScissor(bool on);
bool scissorEnabled();
void scissorBox(Rect box);
Rect currentScissorBox();
void viewport(Rect box);
Rect currentViewport();
void clearColor(float r, float g, float b, float a);
const float* currentClearColor(); // 4 values

// --- The picture --------------------------------------------------------------------------------

// Clears the colour and depth buffers (within the scissor box while the scissor is on).
void clear();
// Copies the picture's rows [firstRow, firstRow + rows) of its lower-left `width` columns into
// the same place of a 2D texture.
void copyPictureToTexture(unsigned int texture, int width, int firstRow, int rows);
// The nearest depth (0 to 1) that primitives drawn with the depth test (which writes depth) may
// have written to the picture's rows [first, end), counted from the bottom, since the last clear
// of the whole picture: the nearest of their corners' depths where their corners' rows, with a
// row of slack, reach those rows. 1 (the cleared depth) where none reached them.
float nearestDepthInRows(int first, int end);
// True where the picture's depth can be read back (OpenGL ES needs GL_NV_read_depth for it;
// WebGL 2 never offers it).
bool depthReadable();
// Reads the 16-bit depths of the picture's rows [firstRow, firstRow + rows), `width` wide.
// False (and nothing read) where depth cannot be read.
bool readDepthRows(int width, int firstRow, int rows, unsigned short* depths);

// --- What a frame cost --------------------------------------------------------------------------

struct DrawCounts {
    int drawCalls = 0;
    int primitives = 0;
    int dropped = 0; // primitives wholly outside a clip plane
};
// The counts since the last reset.
DrawCounts drawCounts();
void resetDrawCounts();

// With true: asks the GL for errors after every pass the layer hands it (each draw call, clear,
// copy and read) and keeps the first with the pass it followed. Off at the start.
void checkErrors(bool on);
// The first error kept since the last call (0 for none), and where it came (a static text).
unsigned int takeFirstError(const char** where);

// With true: keeps a copy of everything flushed from now on (forgetting earlier copies), so
// that the same geometry can be drawn again with no per-vertex work. False stops keeping.
void captureDraws(bool capture);
// Draws the kept copies again, each with the state it had.
void replayCapturedDraws();
// How many primitives the kept copies hold.
int capturedPrimitiveCount();

} // namespace draw
