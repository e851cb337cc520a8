// Trail ribbon: each vertex holds a sample and the one before it (x, y, z, w)
// and a signed strength in the colour's alpha. The sign picks the side of the
// ribbon, the size sets its half-width and how strongly it shows, so the
// ribbon grows from nothing at the oldest sample to full at the body.
#version 120

varying vec4 colour;
varying float across;  // -1 on one edge, +1 on the other

void main()
{
    vec2 here = gl_Vertex.xy;
    vec2 before = gl_Vertex.zw;
    vec2 along = here - before;
    float len = length(along);
    vec2 normal = len > 0.001 ? vec2(-along.y, along.x) / len : vec2(0.0);

    float side = sign(gl_Color.a);
    float strength = abs(gl_Color.a);
    vec2 edge = here + normal * side * strength * 1.8;
    gl_Position = gl_ModelViewProjectionMatrix * vec4(edge, 0.0, 1.0);

    float fade = clamp(strength / 10.0, 0.0, 1.0);
    colour = vec4(gl_Color.rgb, 0.7 * pow(fade, 1.5));
    across = side;
}
