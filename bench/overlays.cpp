#include "overlays.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <memory>
#include <string>
#include <vector>

#include "entities/player.h"
#include "entities/worldState.h"
#include "game/hud.h"
#include "render/batch.h"
#include "render/font.h"
#include "ui/uiBar.h"
#include "ui/uiBox.h"
#include "ui/uiButton.h"
#include "ui/uiDisplay.h"
#include "ui/uiScroller.h"
#include "ui/uiSlider.h"

namespace {

void overlayProjection(double right, double top)
{
    batch.flush();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0, right, 0, top);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

// Each pass ends with everything drawn; the counters give the GL draws the
// batch made and the characters drawn, per pass.
template <typename Draw>
void measure(benchmark::State& state, size_t characters, Draw draw)
{
    glClear(GL_COLOR_BUFFER_BIT);
    const size_t before = batch.drawCalls;
    for (auto _ : state) {
        draw();
        batch.flush();
        glFinish();
    }
    const double passes = double(state.iterations());
    state.counters["draws"] = double(batch.drawCalls - before) / passes;
    state.counters["characters"] = double(characters);
}

}  // namespace

void benchOverlayText(benchmark::State& state, Font* font)
{
    WorldState world;
    for (int i = 0; i < 1234; ++i) world.ships.push_back(Ship(point{float(i), 0}, 1, unsigned(i)));
    Player player{point{0, 0}};
    DebugTexts texts{"FPS: 58.8235", "", "", "", ""};
    drawDebugTexts(texts, world, &player, font);
    const size_t characters = texts.fps.size() + texts.ships.size() + texts.projectiles.size() +
                              texts.timers.size() + texts.hitPoints.size() + 2;
    overlayProjection(1280, 1024);
    measure(state, characters, [&] { drawDebugTexts(texts, world, &player, font); });
}

// The market as ui.lua lays it out when landed, in the order the game adds it.
void benchMarketPanel(benchmark::State& state, Font* font)
{
    std::vector<std::unique_ptr<uiDisplayBase>> elements;
    size_t characters = 0;
    auto box = [&](float x1, float y1, float x2, float y2, std::string text, bool borderless) {
        characters += text.size();
        elements.emplace_back(new uiBox(x1, y1, x2, y2, text, font, borderless));
    };
    auto button = [&](float x1, float y1, float x2, float y2, std::string text) {
        characters += text.size();
        elements.emplace_back(new uiButton(x1, y1, x2, y2, font, text, 0));
    };
    box(50, 8, 96, 78, "", false);
    const char* rows[] = {"> Water       12 cr   x3", "  Ore         40 cr", "  Spice      310 cr",
                          "  Medicine    95 cr", "  Machinery  220 cr", "  Textiles    18 cr",
                          "  Fuel        22 cr", "  Luxuries   640 cr"};
    for (int i = 8; i >= 1; --i) box(51, 69 - 3.f * i, 88.5f, 72 - 3.f * i, rows[i - 1], true);
    box(51, 73.5f, 95, 77, "Market of Aqua", true);
    box(51, 70, 95, 73, "Credits: 1,200", true);
    elements.emplace_back(new uiScroller(89.5f, 45, 93.5f, 69, 3, 0, 7, 7));
    box(51, 41, 95, 44, "Selected: Water, 12 cr each", true);
    elements.emplace_back(new uiSlider(52, 36.5f, 94, 39.5f, 3, 1, 20, 4));
    elements.emplace_back(new uiBar(52, 33.5f, 94, 35.5f, 0, 20, 4));
    box(51, 29.5f, 95, 32.5f, "Quantity 4, cost 48 cr", true);
    button(52, 23, 62, 28, "Buy");
    button(63, 23, 73, 28, "Sell");
    button(74, 23, 94, 28, "Steering on");
    box(51, 18.5f, 95, 21.5f, "Hold: 3 of 20", true);
    box(51, 14.5f, 95, 17.5f, "Welcome", true);
    button(80, 9.5f, 94, 13.5f, "Close");
    uiDisplay panel("market");
    for (auto& element : elements) panel.addDisplay(element.get(), "");
    overlayProjection(100, 100);
    measure(state, characters, [&] { panel.draw(); });
}
