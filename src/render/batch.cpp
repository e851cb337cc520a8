#include "render/batch.h"

#include <GL/glew.h>

#include <cmath>

#include "game/diagnostics.h"

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

Batch::Run& Batch::runFor(Kind kind, unsigned program)
{
    State s = wanted;
    s.program = program;
    if (runs.empty() || runs.back().kind != kind || !(runs.back().state == s))
        runs.push_back(Run{kind, s, vertices.size(), 0, stripFirsts.size(), 0});
    return runs.back();
}

void Batch::add(float x, float y, float s, float t, Rgba c, float z, float w)
{
    vertices.push_back(Vertex{x, y, z, w, s, t, c});
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
    runFor(QUADS, 0).count += 4;
    for (int i = 0; i < 4; ++i) {
        const point k = corners[i];
        add(c * k.x - s * k.y + centre.x, s * k.x + c * k.y + centre.y, texCoords[i].x, texCoords[i].y, current);
    }
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
    runFor(LINES, 0).count += 2;
    add(from.x, from.y, 0, 0, fromColour);
    add(to.x, to.y, 0, 0, toColour);
}

void Batch::beginRibbon(unsigned program)
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
    Run& run = runFor(STRIPS, program);
    ribbonStart = vertices.size();
    stripFirsts.push_back(int(ribbonStart));
    stripCounts.push_back(0);
    run.strips += 1;
}

void Batch::ribbonVertex(float x, float y, float z, float w, Rgba c)
{
    if (!hasContext) return;
    if (immediate) {
        glColor4f(c.r, c.g, c.b, c.a);
        glVertex4f(x, y, z, w);
        return;
    }
    vertices.push_back(Vertex{x, y, z, w, 0, 0, c});
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
    const size_t count = vertices.size() - ribbonStart;
    runs.back().count += count;
    stripCounts.back() = int(count);
}

void Batch::drawRun(const Run& run)
{
    if (run.count == 0) return;
    apply(run.state);
    ++drawCalls;
    switch (run.kind) {
    case QUADS: glDrawArrays(GL_QUADS, GLint(run.first), GLsizei(run.count)); break;
    case LINES: glDrawArrays(GL_LINES, GLint(run.first), GLsizei(run.count)); break;
    case STRIPS:
        if (!glMultiDrawArrays) break;
        // One call for every ribbon of the run; each stays its own strip.
        glMultiDrawArrays(GL_QUAD_STRIP, &stripFirsts[run.firstStrip], &stripCounts[run.firstStrip],
                          GLsizei(run.strips));
        break;
    }
}

void Batch::flush()
{
    if (!open) return;
    open = false;
    if (!runs.empty()) {
        const GLsizei stride = sizeof(Vertex);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glVertexPointer(4, GL_FLOAT, stride, &vertices[0].x);
        glTexCoordPointer(2, GL_FLOAT, stride, &vertices[0].s);
        glColorPointer(4, GL_FLOAT, stride, &vertices[0].c);
        for (const Run& run : runs) drawRun(run);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        reportError();
    }
    // The capacity stays: the next frame fills the same memory.
    vertices.clear();
    runs.clear();
    stripFirsts.clear();
    stripCounts.clear();
    apply(wanted);
    glColor4f(current.r, current.g, current.b, current.a);
}
