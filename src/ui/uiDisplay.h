// One named panel of elements, drawn together, fed the mouse together and sent
// to the script together. A plain value: copies share the element pointers,
// and only the script's delete requests in update() free an element.
#pragma once

#include <string>
#include <vector>

#include <lua.hpp>

#include "ui/uiDisplayBase.h"

class Universe;

// What a script's results may build: panels at once, elements in a panel, and
// element updates one "updateUI" call may make (a table reaches every element of
// its name). Past a bound the rest is left out, with one line.
const size_t UI_PANEL_LIMIT = 64;
const size_t UI_ELEMENT_LIMIT = 1000;
const size_t UI_MATCH_LIMIT = 10000;

class uiDisplay {
public:
    std::string name;
    std::vector<uiDisplayBase*> elements;  // in the order they were added

    explicit uiDisplay(std::string name);
    uiDisplay();

    void addDisplay(uiDisplayBase* element, std::string name);  // the panel takes the pointer over
    int size();
    void draw();
    void keys(std::string key, Universe& universe, lua_State* L);
    void mouseHover(point& mouse);
    void mouseDrag(point& mouse, int& dt, Universe& universe, lua_State* L);
    void mouseClick(point& mouse, Universe& universe, lua_State* L);
    // Per element: strings[i] starts with the panel's name, then the element's record.
    void exportVals(std::vector<std::vector<float>>& floats, std::vector<std::vector<std::string>>& strings);
    void modify(std::vector<std::vector<float>>& floats, std::vector<std::vector<std::string>>& strings);
    // The exchange with the script's "updateUI"; false once no element is left.
    bool update(lua_State* L);
};
