#include "render/font.h"

// Stub: the font is built with the head-up display work.
unsigned letterTextures[128];
GlyphMetrics letterMetrics[128];
FT_Face face;

Font::Font(std::string) {}
void Font::displayText(std::string, float, float, float, bool) {}
void textCentreOffset(const std::string&, float, float& dx, float& dy) { dx = dy = 0; }
