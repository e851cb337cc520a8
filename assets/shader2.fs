// Trail ribbon: soft at both edges, with a paler core.
#version 120

varying vec4 colour;
varying float across;

void main()
{
    float body = 1.0 - across * across;
    vec3 tint = mix(colour.rgb, vec3(1.0), 0.35 * body * body);
    gl_FragColor = vec4(tint, colour.a * body);
}
