// Wormhole: the soft particle image, coloured by its depth in the swirl.
#version 120

uniform sampler2D Flame;

varying vec4 colour;

void main()
{
    float shape = texture2D(Flame, gl_TexCoord[0].xy).a;
    gl_FragColor = vec4(colour.rgb, colour.a * shape);
}
