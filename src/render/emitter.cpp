#include "render/emitter.h"

#include <GL/glew.h>

#include "data/shaders.h"
#include "core/diagnostics.h"
#include "render/batch.h"
#include "render/textures.h"

namespace {

const size_t QUAD_COUNT_ROW = 0;
const size_t KIND_ROW = 11;
const float MAX_QUADS = 65536;  // beyond this a typo would stall every frame

// The uniform names of each kind, in slot order.
const char* const UNIFORM_NAMES[2][3] = {
    {"time_0_X", "particleHCthrust", "Flame"},
    {"time_0_X", "Flame", "particleSystemHeight"},
};

// The first number of a row of block 0, if the table holds it.
bool firstOf(const EmitterTable& table, size_t row, float& value)
{
    if (table.empty() || table[0].size() <= row || table[0][row].empty()) return false;
    value = table[0][row][0];
    return true;
}

}  // namespace

Emitter::Emitter(EmitterTable copied) : Emitter(SharedEmitterTable(std::move(copied))) {}

Emitter::Emitter(SharedEmitterTable shared) : table(std::move(shared))
{
    report({"", "", "Emitter construct", Severity::Trace});
    batch.flush();
    unsigned int prog = program();
    if (prog) reportError();
    report({"", "", formatted("shader size: %zu", shaders.size()), Severity::Note});
    if (!prog) return;

    glUseProgram(prog);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, textureAt(textures, TEX_FLAME));
    for (const char* name : UNIFORM_NAMES[kind()]) uniforms.push_back(glGetUniformLocation(prog, name));
    glUniform1i(glGetUniformLocation(prog, "Flame"), 0);
    reportError();
    glBindTexture(GL_TEXTURE_2D, 0);
    glUseProgram(0);
}

int Emitter::kind() const
{
    float k = -1;
    if (!firstOf(table, KIND_ROW, k)) return -1;
    if (k == EMITTER_FLAME) return EMITTER_FLAME;
    if (k == EMITTER_SWIRL) return EMITTER_SWIRL;
    return -1;
}

int Emitter::quadCount() const
{
    float n = 0;
    if (!firstOf(table, QUAD_COUNT_ROW, n) || !(n >= 1)) return 0;
    return int(n < MAX_QUADS ? n : MAX_QUADS);
}

unsigned int Emitter::program() const
{
    int k = kind();
    return k < 0 ? 0 : shaderProgram(k);
}

void Emitter::updateValue(const float& value, const int& slot) { setUniform(value, slot); }

void Emitter::setUniform(float value, int slot) const
{
    batch.flush();  // the uniform belongs to a program the batch may be using
    unsigned int prog = program();
    if (!prog || slot < 0 || size_t(slot) >= uniforms.size()) return;
    glUseProgram(prog);
    glUniform1f(uniforms[size_t(slot)], value);
    glUseProgram(0);
}

void Emitter::update(int dt, point at, float degrees, bool flag)
{
    position = at;
    angle = degrees;
    update(dt, flag);
}

void Emitter::update(int dt, bool)
{
    time += dt;
    draw();
}

void Emitter::draw() const
{
    unsigned int prog = program();
    if (!prog || uniforms.empty()) return;
    reportError();
    batch.flush();

    glUseProgram(prog);
    glBindTexture(GL_TEXTURE_2D, textureAt(textures, TEX_FLAME));
    glUniform1f(uniforms[0], float(time / 1000.0));

    glPushMatrix();
    glTranslatef(position.x, position.y, 0);
    glRotatef(angle, 0, 0, 1);
    glTranslatef(0, 20, 0);  // the effect starts 20 units along its own y axis
    const int n = quadCount();
    glBegin(GL_QUADS);
    for (int i = 0; i < n; ++i) {
        float z = float(i) / float(n);
        glVertex3f(-1, -1, z);
        glVertex3f(-1, 1, z);
        glVertex3f(1, 1, z);
        glVertex3f(1, -1, z);
    }
    glEnd();
    glPopMatrix();
    reportError();
    // Everything after us draws with texturing on: leave no image bound for untextured lines.
    glBindTexture(GL_TEXTURE_2D, 0);
    glUseProgram(0);
}
