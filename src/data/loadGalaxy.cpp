#include "data/loadGalaxy.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <variant>

#include "core/worldState.h"
#include "core/xmlAttributes.h"
#include "data/defaultVals.h"
#include "data/emitterData.h"
#include "entities/planet.h"
#include "entities/star.h"
#include "entities/wormhole.h"

namespace {

// Every line of the loaders goes out at once, so a crash never hides the last one.
void say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

bool named(const XmlNode* node, const char* name) { return std::strcmp(node->name(), name) == 0; }

// Integers are written as numbers and cut toward zero; values no int can hold
// are clamped rather than left to undefined conversion.
int toInt(float value)
{
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0f) return 2147483647;
    if (value <= -2147483648.0f) return -2147483647 - 1;
    return int(value);
}

int getValI(const XmlNode* node, const char* name) { return toInt(getValF(node, name)); }

Star readStar(const XmlNode* node)
{
    return Star(point{getValF(node, "xcoord"), getValF(node, "ycoord")}, getValF(node, "radius"),
                getValF(node, "density"), getValI(node, "texture"), getVal(node, "name"));
}

Planet readPlanet(const XmlNode* node, int id)
{
    return Planet(id, getValF(node, "radius"), getValF(node, "density"), getValF(node, "orbitRadius"),
                  getValF(node, "orbitSpeed"), getValF(node, "initLoc"), getValF(node, "rotationalSpeed"),
                  getValF(node, "initRot"), getValI(node, "texture"), getVal(node, "name"));
}

Wormhole readWormhole(const XmlNode* node, int world)
{
    return Wormhole(world, getValF(node, "xcoord"), getValF(node, "ycoord"), getValF(node, "radius"),
                    getValI(node, "targetWorld"), getValF(node, "targetXcoord"), getValF(node, "targetYcoord"),
                    getValI(node, "emitter"));
}

void loadStar(Universe& universe, const XmlNode* node, int world, int& planetCount)
{
    say("\tstar");
    Star star = readStar(node);
    for (const XmlNode* child = node->first_node(); child; child = child->next_sibling()) {
        if (!named(child, "planet")) {
            say("Not a planet");
            continue;
        }
        star.addPlanet(readPlanet(child, planetCount));
        universe.planetNames.push_back(getVal(child, "name"));
        ++planetCount;
    }
    universe.worlds[size_t(world)].stars.push_back(star);
}

void loadWorlds(Universe& universe)
{
    int world = 0;
    int planetCount = 0;  // planet ids run over the whole galaxy
    for (const XmlNode* child = universe.galaxyRoot->first_node(); child; child = child->next_sibling()) {
        say(child->name());
        if (!named(child, "world")) {
            say("Not a world");
            continue;
        }
        if (universe.worlds.size() < size_t(world) + 1) universe.worlds.resize(size_t(world) + 1);
        for (const XmlNode* c = child->first_node(); c; c = c->next_sibling()) {
            if (named(c, "star")) {
                loadStar(universe, c, world, planetCount);
            } else if (named(c, "wormhole")) {
                say("\twormhole");
                universe.worlds[size_t(world)].wormholes.push_back(readWormhole(c, world));
            }
        }
        ++world;
    }
}

// Once every world is known, a gate to a world that does not exist is named once;
// it stays in place but never carries the player. A gate whose effect names no
// emitter table is named too: it works but cannot be seen.
void reportDeadWormholes(const Universe& universe)
{
    for (size_t w = 0; w < universe.worlds.size(); ++w) {
        const std::vector<Wormhole>& gates = universe.worlds[w].wormholes;
        for (size_t i = 0; i < gates.size(); ++i) {
            const std::string gate = "test.xml: wormhole " + std::to_string(i) + " of world " + std::to_string(w);
            int target = gates[i].targetWorld;
            if (target < 0 || size_t(target) >= universe.worlds.size())
                say(gate + " leads to world " + std::to_string(target) +
                    ", which does not exist; it will not carry the player");
            int index = gates[i].emitterIndex;
            if (!Wormhole::hasEmitterTable(index))
                say(gate + " names emitter " + std::to_string(index) + ", but " + emitterFileName(index) +
                    " was not read; it draws nothing");
        }
    }
}

// One numeric attribute of a projectile type: where it goes and its value when absent.
using ProjectileField = std::variant<int projectileData::*, float projectileData::*, bool projectileData::*>;
struct ProjectileAttribute {
    const char* name;
    ProjectileField field;
    float fallback;
};

const ProjectileAttribute projectileAttributes[] = {
    {"cooldown", &projectileData::cooldown, 1000},
    {"speed", &projectileData::speed, 100.0f},
    {"lifetime", &projectileData::lifetime, 1000},
    {"damage", &projectileData::damage, 10.0f},
    {"homingRange", &projectileData::homingRange, 0},
    {"turnSpeed", &projectileData::turnSpeed, 0.0001f},
    {"texture", &projectileData::texture, 0},
    {"size", &projectileData::size, 10.0f},
    {"trailEffect", &projectileData::trailEffect, -1},
    {"onDeathEffect", &projectileData::onDeathEffect, 0},
    {"onHitEffect", &projectileData::onHitEffect, 0},
    {"minAngle", &projectileData::minAngle, 0},
    {"maxAngle", &projectileData::maxAngle, 360.0f},
    {"grav", &projectileData::grav, 1},
    {"numProjectiles", &projectileData::numProjectiles, 1},
    {"spread", &projectileData::spread, 0},
    {"uniformSpread", &projectileData::uniformSpread, 1},
};

struct StoreNumber {
    projectileData& record;
    float value;
    void operator()(int projectileData::*field) const { record.*field = toInt(value); }
    void operator()(float projectileData::*field) const { record.*field = value; }
    void operator()(bool projectileData::*field) const { record.*field = value != 0; }
};

projectileData readProjectile(const XmlNode* node)
{
    projectileData record;
    record.name = checkVal(node, "name") ? getVal(node, "name") : "Unnamed";
    for (const ProjectileAttribute& attribute : projectileAttributes) {
        float value = checkVal(node, attribute.name) ? getValF(node, attribute.name) : attribute.fallback;
        std::visit(StoreNumber{record, value}, attribute.field);
    }
    return record;
}

void loadProjectiles(const Universe& universe)
{
    WEAPONDATA.clear();  // slot numbers are positions in the document
    for (const XmlNode* child = universe.projectileRoot->first_node(); child; child = child->next_sibling()) {
        say(child->name());
        if (!named(child, "projectile")) {
            say("Not a projectile");
            continue;
        }
        WEAPONDATA.push_back(readProjectile(child));
    }
}

}  // namespace

bool initializeStars(Universe& universe, lua_State* L)
{
    if (!universe.galaxyRoot) {
        say("test.xml has no <universe> element: there is no galaxy to load");
        return false;
    }
    if (!universe.projectileRoot) {
        say("projectiles.xml has no <projectiles> element: there are no weapons to load");
        return false;
    }
    loadWorlds(universe);
    reportDeadWormholes(universe);
    loadProjectiles(universe);
    say("Done slotting XML into real world data");
    for (WorldState& world : universe.worlds) world.luaState = L;
    return true;
}

void testXML()
{
    XmlBuffer buffer;
    rapidxml::xml_document<char> doc;
    XmlNode* root = nullptr;
    std::string error;
    if (!loadXmlDocument("test.xml", buffer, doc, "universe", root, error)) {
        say("No galaxy outline: " + error);
        return;
    }
    say(std::string(root->value()) + " x " + root->name() + " type " + std::to_string(int(root->type())));
    for (const XmlNode* child = root->first_node(); child; child = child->next_sibling()) {
        say(child->name());
        for (const XmlNode* c = child->first_node(); c; c = c->next_sibling()) {
            if (!named(c, "star")) {
                say("\tNot star");
                continue;
            }
            say(std::string("\t") + c->name());
            for (const XmlNode* body = c->first_node(); body; body = body->next_sibling()) {
                say(std::string("\t\t") + body->name());
                say("\t\t" + getVal(body, "name"));
            }
        }
    }
}
