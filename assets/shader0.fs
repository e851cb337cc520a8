// Engine flame: the soft flame image, tinted by the particle's heat.
#version 120

uniform sampler2D Flame;

varying vec4 colour;

void main()
{
    vec4 texel = texture2D(Flame, gl_TexCoord[0].xy);
    gl_FragColor = vec4(colour.rgb * texel.rgb, colour.a * texel.a);
}
