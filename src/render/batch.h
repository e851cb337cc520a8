// One place that talks to GL for everything drawn many times a frame. Callers
// set state and submit shapes; the batch gathers them into runs of shapes that
// share a texture, blend, texture mode and program and draws each run with one
// call. A shape joins the latest run of its state, even past runs of other
// states, when nothing in those lies under it (CoverGrid): any two shapes that
// share a pixel keep their order, so the picture is the one the shapes make
// drawn one by one, at a fraction of the driver's work.
//
// Anyone who calls GL directly between submissions calls flush() first; the
// next submission then picks up whatever state that code left.
#pragma once

#include <vector>

#include "core/basics.h"
#include "render/coverGrid.h"

// GL's own values, so that callers need no GL header.
const unsigned BLEND_ONE = 1, BLEND_SRC_ALPHA = 0x0302, BLEND_ONE_MINUS_SRC_ALPHA = 0x0303;
const int TEXTURE_MODULATE = 0x2100, TEXTURE_REPLACE = 0x1E01;

struct Rgba {
    float r, g, b, a;
};

class Batch {
public:
    // Test switch: each shape is drawn as soon as it is submitted, through the
    // matrix stack and glBegin, as the game drew before it batched.
    bool immediate = false;

    void bindTexture(unsigned texture);
    void blend(unsigned source, unsigned destination);
    void colour(float r, float g, float b, float a = 1);
    void textureMode(int mode);  // the GL_TEXTURE_ENV_MODE of what follows

    // A square of half-size s centred on centre, turned by `degrees` about +z,
    // with the whole current texture on it (image up along +y).
    void square(point centre, float halfSize, float degrees = 0);
    // Four corners round centre, turned with them by `degrees`, and their
    // texture coordinates.
    void quad(point centre, float degrees, const point (&corners)[4], const point (&texCoords)[4]);
    void line(point from, Rgba fromColour, point to, Rgba toColour);
    void line(point from, point to);  // in the current colour

    // A ribbon: a quad strip through `program`, each vertex four numbers and a
    // colour, given between beginRibbon and endRibbon; everything it draws lies
    // in the box from low to high.
    void beginRibbon(unsigned program, point low, point high);
    void ribbonVertex(float x, float y, float z, float w, Rgba c);
    void endRibbon();

    // Draws what is pending and leaves GL in the state last asked for.
    void flush();

    // Submissions since start-up, and the GL draw calls they took (benchmarks).
    size_t shapes = 0, drawCalls = 0;

private:
    enum Kind { QUADS, LINES, STRIPS };
    struct State {
        unsigned texture = 0;
        unsigned blendSource = BLEND_SRC_ALPHA, blendDestination = BLEND_ONE;
        int textureMode = TEXTURE_MODULATE;
        unsigned program = 0;
        bool operator==(const State& o) const
        {
            return texture == o.texture && blendSource == o.blendSource &&
                   blendDestination == o.blendDestination && textureMode == o.textureMode && program == o.program;
        }
    };
    struct Vertex {
        float x, y, z, w;
        float s, t;
        Rgba c;
    };
    struct Run {
        Kind kind = QUADS;
        State state;
        std::vector<Vertex> vertices;
        std::vector<int> stripFirsts, stripCounts;  // STRIPS: one entry per ribbon
    };

    bool open = false;  // false: GL may have moved on since the last flush
    bool hasContext = false;
    State wanted;
    Rgba current{1, 1, 1, 1};
    std::vector<Run> runs;  // the first `used` are this frame's; the rest keep their memory
    size_t used = 0;
    Run* ribbon = nullptr;  // the run the open ribbon goes to
    CoverGrid grid;

    void adopt();
    bool ready();  // adopts GL's state when needed; false without a context
    void apply(const State& s) const;
    Run& runFor(Kind kind, unsigned program, point low, point high);
    void drawRun(const Run& run);
};

extern Batch batch;

// Where quad() puts a corner `offset` from centre turned by `degrees`: for
// lines that must meet the quads they are drawn with.
point turnedAbout(point centre, float degrees, point offset);
