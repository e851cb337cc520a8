#include "render/batch.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>

#include "core/diagnostics.h"
#include "render/view.h"

Batch batch;

namespace {

const point SQUARE_TEX[4] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};

// The sine and cosine glRotatef builds its matrix from, so that corners turned
// here land where the matrix stack put them.
void rotation(float degrees, float& c, float& s)
{
    s = float(std::sin(degrees * M_PI / 180.0));
    c = float(std::cos(degrees * M_PI / 180.0));
}

}  // namespace

point turnedAbout(point centre, float degrees, point offset)
{
    float c = 1, s = 0;
    if (degrees != 0) rotation(degrees, c, s);
    return point{c * offset.x - s * offset.y + centre.x, s * offset.x + c * offset.y + centre.y};
}

void Batch::adopt()
{
    open = true;
    // No context (the simulation's tests and benchmarks): nothing to draw into.
    hasContext = glGetString(GL_VERSION) != nullptr;
    GLint texture = GLint(wanted.texture), source = GLint(wanted.blendSource),
          destination = GLint(wanted.blendDestination), mode = wanted.textureMode;
    float c[4] = {current.r, current.g, current.b, current.a};
    // Without a context these leave the values as they were.
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    glGetFloatv(GL_CURRENT_COLOR, c);
    wanted = State{unsigned(texture), unsigned(source), unsigned(destination), mode, 0};
    current = Rgba{c[0], c[1], c[2], c[3]};
    // Cells of 16 pixels; a pixel of slack round every shape (a line lights
    // pixels up to half a pixel off it). With no camera known every shape
    // keeps its place.
    const float pixel = pixelSize();
    grid.reset(16 * pixel, pixel);
}

void Batch::apply(const State& s) const
{
    glBindTexture(GL_TEXTURE_2D, s.texture);
    glBlendFunc(s.blendSource, s.blendDestination);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, s.textureMode);
    if (glUseProgram) glUseProgram(s.program);
}

void Batch::bindTexture(unsigned texture)
{
    if (!open) adopt();
    wanted.texture = texture;
}

void Batch::blend(unsigned source, unsigned destination)
{
    if (!open) adopt();
    wanted.blendSource = source;
    wanted.blendDestination = destination;
}

void Batch::colour(float r, float g, float b, float a)
{
    if (!open) adopt();
    current = Rgba{r, g, b, a};
}

void Batch::textureMode(int mode)
{
    if (!open) adopt();
    wanted.textureMode = mode;
}

bool Batch::ready()
{
    if (!open) adopt();
    return hasContext;
}

Batch::Run& Batch::runFor(Kind kind, unsigned program, point low, point high)
{
    State s = wanted;
    s.program = program;
    // Only the latest run of this state can take the shape; looking far back
    // would cost more than it saves.
    const size_t LOOK_BACK = 8;
    size_t join = used;
    for (size_t i = used; i > 0 && used - i < LOOK_BACK; --i) {
        const Run& r = runs[i - 1];
        if (r.kind == kind && r.state == s) {
            join = i - 1;
            break;
        }
    }
    if (join == used || grid.lastOver(low, high) > int(join)) {
        if (used == runs.size()) runs.emplace_back();
        Run& fresh = runs[used];
        fresh.kind = kind;
        fresh.state = s;
        fresh.vertices.clear();
        fresh.stripFirsts.clear();
        fresh.stripCounts.clear();
        join = used++;
    }
    grid.mark(low, high, int(join));
    return runs[join];
}

void Batch::square(point centre, float halfSize, float degrees)
{
    const point corners[4] = {{-halfSize, -halfSize}, {-halfSize, halfSize}, {halfSize, halfSize}, {halfSize, -halfSize}};
    quad(centre, degrees, corners, SQUARE_TEX);
}

void Batch::quad(point centre, float degrees, const point (&corners)[4], const point (&texCoords)[4])
{
    if (!ready()) return;
    ++shapes;
    if (immediate) {
        apply(wanted);
        glColor4f(current.r, current.g, current.b, current.a);
        glPushMatrix();
        glTranslatef(centre.x, centre.y, 0);
        if (degrees != 0) glRotatef(degrees, 0, 0, 1);
        glBegin(GL_QUADS);
        for (int i = 0; i < 4; ++i) {
            glTexCoord2f(texCoords[i].x, texCoords[i].y);
            glVertex2f(corners[i].x, corners[i].y);
        }
        glEnd();
        glPopMatrix();
        return;
    }
    float c = 1, s = 0;
    if (degrees != 0) rotation(degrees, c, s);
    Vertex placed[4];
    point low{INFINITY, INFINITY}, high{-INFINITY, -INFINITY};
    for (int i = 0; i < 4; ++i) {
        const point k = corners[i];
        placed[i] = Vertex{c * k.x - s * k.y + centre.x, s * k.x + c * k.y + centre.y, 0, 1, texCoords[i].x, texCoords[i].y, current};
        low = point{std::min(low.x, placed[i].x), std::min(low.y, placed[i].y)};
        high = point{std::max(high.x, placed[i].x), std::max(high.y, placed[i].y)};
    }
    // NaN corners fail both comparisons and leave the box empty: the grid then counts it as everywhere.
    std::vector<Vertex>& to = runFor(QUADS, 0, low, high).vertices;
    to.insert(to.end(), placed, placed + 4);
}

void Batch::line(point from, Rgba fromColour, point to, Rgba toColour)
{
    if (!ready()) return;
    ++shapes;
    if (immediate) {
        apply(wanted);
        glBegin(GL_LINES);
        glColor4f(fromColour.r, fromColour.g, fromColour.b, fromColour.a);
        glVertex2f(from.x, from.y);
        glColor4f(toColour.r, toColour.g, toColour.b, toColour.a);
        glVertex2f(to.x, to.y);
        glEnd();
        glColor4f(current.r, current.g, current.b, current.a);
        return;
    }
    point low{std::min(from.x, to.x), std::min(from.y, to.y)}, high{std::max(from.x, to.x), std::max(from.y, to.y)};
    std::vector<Vertex>& v = runFor(LINES, 0, low, high).vertices;
    v.push_back(Vertex{from.x, from.y, 0, 1, 0, 0, fromColour});
    v.push_back(Vertex{to.x, to.y, 0, 1, 0, 0, toColour});
}

void Batch::line(point from, point to)
{
    if (!open) adopt();
    line(from, current, to, current);
}

void Batch::beginRibbon(unsigned program, point low, point high)
{
    if (!ready()) return;
    ++shapes;
    if (immediate) {
        State s = wanted;
        s.program = program;
        apply(s);
        glBegin(GL_QUAD_STRIP);
        return;
    }
    ribbon = &runFor(STRIPS, program, low, high);
    ribbon->stripFirsts.push_back(int(ribbon->vertices.size()));
    ribbon->stripCounts.push_back(0);
}

void Batch::ribbonVertex(float x, float y, float z, float w, Rgba c)
{
    if (!hasContext) return;
    if (immediate) {
        glColor4f(c.r, c.g, c.b, c.a);
        glVertex4f(x, y, z, w);
        return;
    }
    if (!ribbon) return;
    ribbon->vertices.push_back(Vertex{x, y, z, w, 0, 0, c});
    ribbon->stripCounts.back() += 1;
}

void Batch::endRibbon()
{
    if (!hasContext) return;
    if (immediate) {
        glEnd();
        glColor4f(current.r, current.g, current.b, current.a);
        if (glUseProgram) glUseProgram(0);
        return;
    }
    ribbon = nullptr;
}

void Batch::drawRun(const Run& run)
{
    if (run.vertices.empty()) return;
    apply(run.state);
    ++drawCalls;
    const GLsizei stride = sizeof(Vertex);
    glVertexPointer(4, GL_FLOAT, stride, &run.vertices[0].x);
    glTexCoordPointer(2, GL_FLOAT, stride, &run.vertices[0].s);
    glColorPointer(4, GL_FLOAT, stride, &run.vertices[0].c);
    const GLsizei count = GLsizei(run.vertices.size());
    switch (run.kind) {
    case QUADS: glDrawArrays(GL_QUADS, 0, count); break;
    case LINES: glDrawArrays(GL_LINES, 0, count); break;
    case STRIPS:
        if (!glMultiDrawArrays) break;
        // One call for every ribbon of the run; each stays its own strip.
        glMultiDrawArrays(GL_QUAD_STRIP, run.stripFirsts.data(), run.stripCounts.data(), GLsizei(run.stripFirsts.size()));
        break;
    }
}

void Batch::flush()
{
    if (!open) return;
    open = false;
    if (used > 0) {
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        for (size_t i = 0; i < used; ++i) drawRun(runs[i]);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        reportError();
    }
    // The runs keep their capacity: the next frame fills the same memory.
    used = 0;
    ribbon = nullptr;
    apply(wanted);
    glColor4f(current.r, current.g, current.b, current.a);
}
