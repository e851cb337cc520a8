// The world model: every world (star system) of the galaxy, the one player,
// and the two parsed XML documents the galaxy and the weapons are built from.
#pragma once

#include <list>
#include <string>
#include <vector>

#include <lua.hpp>
#include <rapidxml.hpp>

#include "entities/fallenBodies.h"
#include "entities/shipGrid.h"
#include "entities/projectile.h"
#include "entities/ship.h"
#include "entities/star.h"
#include "entities/timer.h"
#include "entities/wormhole.h"
class Player;
class uiDisplay;  // the panels are the UI's; the world only holds them

class WorldState {
public:
    std::list<OwnedTimer> timers;  // owned; a copy of the world copies them
    std::list<Ship> ships;         // lists: entries are erased during walks over them
    std::list<Projectile> projectiles;
    // Swallowed by a star or planet in the latest step after they were seen
    // there: still drawn in that frame, in their old place in the list.
    FallenBodies<Ship> fallenShips;
    FallenBodies<Projectile> fallenProjectiles;
    int now = 0;        // the game clock at the latest step
    int timerPass = 0;  // counts runTimer's passes; a timer shows after the pass that ran it
    std::vector<Star> stars;
    std::vector<Wormhole> wormholes;
    lua_State* luaState = nullptr;
    int lastShipID = 0;
    ShipGrid shipGrid;  // narrows the per-shot searches while a pass over the world is open

    int getNewShipID();  // 1 for the first ship of a world
};

// An XML file read whole and zero-terminated; the parsed document points into it.
using XmlBuffer = std::vector<char>;

class Universe {
public:
    std::vector<std::string> planetNames;  // index = planet id
    std::vector<WorldState> worlds;        // index = world number
    std::vector<uiDisplay> uiDisplays;     // the script's panels, in creation order
    Player* player = nullptr;              // not owned: lives until the process ends
    rapidxml::xml_node<char>* galaxyRoot = nullptr;
    rapidxml::xml_document<char> galaxyDoc;
    XmlBuffer galaxyFile;
    rapidxml::xml_node<char>* projectileRoot = nullptr;
    rapidxml::xml_document<char> projectileDoc;
    XmlBuffer projectileFile;
    // Empty when both documents loaded with their roots; otherwise one line naming
    // the file and what is wrong with it. The game cannot run without both.
    std::string loadError;

    // Made and freed in world/universe.cpp.
    Universe();  // reads "test.xml" and "projectiles.xml" where dataFile finds them
    Universe(const char* galaxyPath, const char* projectilePath);
    // The panels' elements go with the universe; each belongs to one panel.
    ~Universe();
    Universe(const Universe&) = delete;  // the documents point into this object's buffers
    Universe& operator=(const Universe&) = delete;

    WorldState& currentWorld();  // the player's world, looked up afresh
};

// Reads a file whole and parses it in place; the root is the first top-level
// element of that name. False with a one-line reason on any failure.
bool loadXmlDocument(const char* path, XmlBuffer& buffer, rapidxml::xml_document<char>& doc,
                     const char* rootName, rapidxml::xml_node<char>*& root, std::string& error);
