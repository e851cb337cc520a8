// The two overlays drawn over every frame, alone: the statistics text and a
// panel laid out like the shipped market, each in the projection the frame
// gives it. They need the GL window, the font and the UI images.
#pragma once

#include <benchmark/benchmark.h>

class Font;

void benchOverlayText(benchmark::State& state, Font* font);
void benchMarketPanel(benchmark::State& state, Font* font);
