// The one textured square every body, marker and effect is drawn as.
#pragma once

// Corners (-s,-s), (-s,+s), (+s,+s), (+s,-s) with texture coordinates (0,0),
// (0,1), (1,1), (1,0): image up is +y.
void drawSquare(float halfSize);
