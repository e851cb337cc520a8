#include "ui/uiDisplay.h"

uiDisplay::uiDisplay(std::string name) : name(name) {}
uiDisplay::uiDisplay() : name("default") {}

void uiDisplay::addDisplay(uiDisplayBase* element, std::string elementName)
{
    element->name = elementName;
    elements.push_back(element);
}

int uiDisplay::size() { return int(elements.size()); }

void uiDisplay::draw()
{
    for (uiDisplayBase* element : elements) element->draw();
}

void uiDisplay::keys(std::string, Universe&, lua_State*) {}

// No focus and no z-order: every element sees every event that reaches its panel.
void uiDisplay::mouseHover(point& mouse)
{
    for (uiDisplayBase* element : elements) element->handleMouseHover(mouse);
}

void uiDisplay::mouseDrag(point& mouse, int& dt, Universe& universe, lua_State* L)
{
    for (uiDisplayBase* element : elements) element->handleMouseDrag(mouse, dt, universe, L);
}

void uiDisplay::mouseClick(point& mouse, Universe& universe, lua_State* L)
{
    for (uiDisplayBase* element : elements) element->handleMouseClick(mouse, universe, L);
}

void uiDisplay::exportVals(std::vector<std::vector<float>>& floats, std::vector<std::vector<std::string>>& strings)
{
    floats.resize(elements.size());
    strings.resize(elements.size());
    for (size_t i = 0; i < elements.size(); ++i) {
        strings[i].push_back(name);
        elements[i]->exportVals(floats[i], strings[i]);
    }
}

void uiDisplay::modify(std::vector<std::vector<float>>& floats, std::vector<std::vector<std::string>>& strings)
{
    floats.resize(elements.size());
    strings.resize(elements.size());
    for (size_t i = 0; i < elements.size(); ++i) elements[i]->modify(floats[i], strings[i]);
}
