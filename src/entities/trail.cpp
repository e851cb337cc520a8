#include "entities/trail.h"

#include <GL/glew.h>

#include <algorithm>

#include "data/shaders.h"

Trail::Trail(int length, point start, int interval, float alpha, float red, float green, float blue)
    : interval(interval), length(std::max(length, 0)), alpha(alpha), red(red), green(green), blue(blue),
      points(size_t(this->length) + 1, start)
{
}

void Trail::update(point position, int dt)
{
    sinceSample += dt;
    const int size = length + 1;
    // A trail with no positive interval samples once per update rather than forever.
    int samples = 1;
    if (interval > 0) {
        if (sinceSample < interval) return;
        samples = sinceSample / interval;
        sinceSample -= samples * interval;
    } else {
        sinceSample = 0;
    }
    // Writing the same position round the ring more than once changes nothing
    // but the head, so a long frame costs at most one lap.
    const int writes = std::min(samples, size);
    head = int((head + (long long)(samples - writes)) % size);
    for (int i = 0; i < writes; ++i) {
        head = (head + 1) % size;
        points[size_t(head)] = position;
    }
}

void Trail::clear(point position) { points.assign(size_t(length) + 1, position); }

void Trail::draw(point position)
{
    unsigned int program = shaderProgram(TRAIL_PROGRAM);
    if (!program) return;
    const int size = length + 1;
    glPushAttrib(GL_CURRENT_BIT);  // the ribbon's colours must not tint what is drawn next
    glUseProgram(program);
    glBegin(GL_QUAD_STRIP);
    // Oldest to newest: each vertex carries its sample and the one before it,
    // and the signed alpha tells the side of the ribbon and grows toward the body.
    for (int i = 1; i < size; ++i) {
        int a = (head + i + 1) % size;
        int b = a == 0 ? size - 1 : a - 1;
        float strength = float(i) / float(length) * alpha;
        const point& p = points[size_t(a)];
        const point& q = points[size_t(b)];
        glColor4f(red, green, blue, -strength);
        glVertex4f(p.x, p.y, q.x, q.y);
        glColor4f(red, green, blue, strength);
        glVertex4f(p.x, p.y, q.x, q.y);
    }
    const point& newest = points[size_t(head)];
    glColor4f(red, green, blue, -alpha);
    glVertex4f(position.x, position.y, newest.x, newest.y);
    glColor4f(red, green, blue, alpha);
    glVertex4f(position.x, position.y, newest.x, newest.y);
    glEnd();
    glUseProgram(0);
    glPopAttrib();
}
