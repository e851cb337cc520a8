// Engine flame: each quad is one particle, its place in the stack (z) its seed.
// Particles stream backwards along +y from the nozzle, cooling from white to
// red, and flicker with the clock; with no thrust the flame is gone.
#version 120

uniform float time_0_X;          // effect clock, seconds
uniform float particleHCthrust;  // 1.0 while thrusting, else 0.0

varying vec4 colour;

float hash(float n)
{
    return fract(sin(n) * 43758.5453);
}

void main()
{
    float seed = gl_Vertex.z;
    float h1 = hash(seed * 12.9898 + 1.0);
    float h2 = hash(seed * 78.233 + 2.0);
    float h3 = hash(seed * 37.719 + 3.0);

    float life = fract(time_0_X * 2.6 + h1);  // 0 at the nozzle, 1 when it dies
    float flicker = 0.8 + 0.2 * sin(time_0_X * 41.0 + h2 * 6.2832);
    float reach = 150.0 * (0.65 + 0.35 * h2) * flicker;
    float spread = 20.0 * (h3 - 0.5) * (1.0 - 0.5 * life);
    float wobble = 3.0 * life * sin(time_0_X * 23.0 + seed * 60.0);
    vec2 centre = vec2(spread + wobble, life * reach - 4.0);
    float size = mix(14.0, 5.0, life) * particleHCthrust;  // no thrust: every quad collapses

    vec2 corner = gl_Vertex.xy;
    gl_Position = gl_ModelViewProjectionMatrix * vec4(centre + corner * size, 0.0, 1.0);
    gl_TexCoord[0] = vec4(corner * 0.5 + 0.5, 0.0, 1.0);

    vec3 hot = vec3(1.0, 0.95, 0.8);
    vec3 warm = vec3(1.0, 0.55, 0.12);
    vec3 cool = vec3(0.85, 0.12, 0.04);
    vec3 tint = life < 0.35 ? mix(hot, warm, life / 0.35) : mix(warm, cool, (life - 0.35) / 0.65);
    float fade = (1.0 - life) * (1.0 - life);
    colour = vec4(tint, fade * flicker * particleHCthrust);
}
