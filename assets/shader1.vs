// Wormhole: particles fall along three spiral arms into a bright core, the
// whole swirl turning with the clock and sized by the wormhole's radius.
#version 120

uniform float time_0_X;              // effect clock, seconds
uniform float particleSystemHeight;  // the wormhole's radius, game units

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
    float radius = particleSystemHeight;

    float life = fract(time_0_X * 0.3 + h2);  // 0 at the rim, 1 at the core
    float arm = floor(h1 * 3.0) * 2.0944;
    float r = radius * 1.1 * pow(1.0 - life, 0.8) + radius * 0.06 * (h3 - 0.5);
    float turn = arm + 3.4 * life + time_0_X * 0.9 + 0.5 * (h3 - 0.5);
    // The emitter's frame starts 20 units up the y axis; the swirl centres on the gate.
    vec2 centre = vec2(cos(turn), sin(turn)) * r - vec2(0.0, 20.0);
    float size = radius * mix(0.16, 0.05, life);

    vec2 corner = gl_Vertex.xy;
    gl_Position = gl_ModelViewProjectionMatrix * vec4(centre + corner * size, 0.0, 1.0);
    gl_TexCoord[0] = vec4(corner * 0.5 + 0.5, 0.0, 1.0);

    vec3 rim = vec3(0.35, 0.2, 1.0);
    vec3 core = vec3(0.7, 0.95, 1.0);
    float glow = smoothstep(0.0, 0.15, life) * (1.0 - smoothstep(0.85, 1.0, life));
    colour = vec4(mix(rim, core, life * life), 0.55 * glow);
}
