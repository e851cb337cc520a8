#include "world/loadGalaxy.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <variant>

#include "core/basics.h"
#include "core/dataFiles.h"
#include "entities/worldState.h"
#include "core/xmlAttributes.h"
#include "data/defaultVals.h"
#include "data/emitterData.h"
#include "entities/planet.h"
#include "entities/star.h"
#include "entities/wormhole.h"
#include "core/diagnostics.h"

namespace {

// The file and the element in it that a warning is about.
// Records name the file as it was read: a mod's copy, not the data folder's.
struct Place {
    std::string file;
    std::string where;
};

void warn(const Place& place, const std::string& what) { report({place.file, place.where, what, Severity::Warning}); }

// Integers are written as numbers and cut toward zero; a value no int can hold
// is clamped, with a line, rather than left to undefined conversion.
int toInt(float value, const char* name, const Place& where)
{
    if (fitsInt(value)) return int(value);
    int clamped = value > 0 ? INT_MAX : INT_MIN;
    warn(where, name + (" " + toString(value)) + " is beyond a whole number's range; using " + std::to_string(clamped));
    return clamped;
}

// A number attribute of one element; "where" names the file and the element for
// messages. NaN and infinity (also what an overflowing number reads as) would
// poison every sum they enter, so they give the fallback with a line.
float readNumber(const XmlNode* node, const char* name, float fallback, const Place& where)
{
    if (!checkVal(node, name)) return fallback;
    float value = getValF(node, name);
    if (std::isfinite(value)) return value;
    warn(where, name + ("=\"" + getVal(node, name)) + "\" is not a finite number; using " + toString(fallback));
    return fallback;
}

int readInt(const XmlNode* node, const char* name, const Place& where)
{
    return toInt(readNumber(node, name, 0, where), name, where);
}

Place numbered(const char* element, size_t index, int world)
{
    return {dataFile("test.xml"), element + (" " + std::to_string(index)) + " of world " + std::to_string(world)};
}

Star readStar(const XmlNode* node, const Place& where)
{
    auto f = [&](const char* name) { return readNumber(node, name, 0, where); };
    return Star(point{f("xcoord"), f("ycoord")}, f("radius"), f("density"), readInt(node, "texture", where),
                getVal(node, "name"));
}

Planet readPlanet(const XmlNode* node, int id)
{
    const Place where{dataFile("test.xml"), "planet " + std::to_string(id)};
    auto f = [&](const char* name) { return readNumber(node, name, 0, where); };
    return Planet(id, f("radius"), f("density"), f("orbitRadius"), f("orbitSpeed"), f("initLoc"),
                  f("rotationalSpeed"), f("initRot"), readInt(node, "texture", where), getVal(node, "name"));
}

Wormhole readWormhole(const XmlNode* node, int world, size_t index)
{
    const Place where = numbered("wormhole", index, world);
    auto f = [&](const char* name) { return readNumber(node, name, 0, where); };
    return Wormhole(world, f("xcoord"), f("ycoord"), f("radius"), readInt(node, "targetWorld", where),
                    f("targetXcoord"), f("targetYcoord"), readInt(node, "emitter", where));
}

void loadStar(Universe& universe, const XmlNode* node, int world, int& planetCount)
{
    sayLine("\tstar");
    std::vector<Star>& stars = universe.worlds[size_t(world)].stars;
    Star star = readStar(node, numbered("star", stars.size(), world));
    for (const XmlNode* child = node->first_node(); child; child = child->next_sibling()) {
        if (!named(child, "planet")) {
            sayLine("Not a planet");
            continue;
        }
        star.addPlanet(readPlanet(child, planetCount));
        universe.planetNames.push_back(getVal(child, "name"));
        ++planetCount;
    }
    stars.push_back(star);
}

void loadWorlds(Universe& universe)
{
    int world = 0;
    int planetCount = 0;  // planet ids run over the whole galaxy
    for (const XmlNode* child = universe.galaxyRoot->first_node(); child; child = child->next_sibling()) {
        sayLine(child->name());
        if (!named(child, "world")) {
            sayLine("Not a world");
            continue;
        }
        if (universe.worlds.size() < size_t(world) + 1) universe.worlds.resize(size_t(world) + 1);
        for (const XmlNode* c = child->first_node(); c; c = c->next_sibling()) {
            if (named(c, "star")) {
                loadStar(universe, c, world, planetCount);
            } else if (named(c, "wormhole")) {
                sayLine("\twormhole");
                std::vector<Wormhole>& gates = universe.worlds[size_t(world)].wormholes;
                gates.push_back(readWormhole(c, world, gates.size()));
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
            const std::string gate = numbered("wormhole", i, int(w)).where;
            int target = gates[i].targetWorld;
            if (target < 0 || size_t(target) >= universe.worlds.size())
                report({dataFile("test.xml"), "", gate + " leads to world " + std::to_string(target) +
                                            ", which does not exist; it will not carry the player", Severity::Warning});
            int index = gates[i].emitterIndex;
            if (!hasEmitterTable(index))
                report({dataFile("test.xml"), "", gate + " names emitter " + std::to_string(index) + ", but " +
                                            emitterFileName(index) + " was not read; it draws nothing", Severity::Warning});
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
    const char* name;
    const Place& where;
    void operator()(int projectileData::*field) const { record.*field = toInt(value, name, where); }
    void operator()(float projectileData::*field) const { record.*field = value; }
    void operator()(bool projectileData::*field) const { record.*field = value != 0; }
};

// More shots than this in one trigger pull only exhaust memory.
const int MAX_SHOTS_PER_PULL = 100;
// A fan or cone wider than a full turn means nothing more; the bound keeps the
// random cone's step count (spread * 50) well inside an int.
const float MAX_SPREAD = 360;

// Values the weapons cannot use are brought into range once here, with a line.
void checkProjectile(projectileData& record, const Place& where)
{
    auto checkEvent = [&](const char* name, int event) {
        if (event == 0 || event == 1) return;
        warn(where, name + (" " + std::to_string(event)) + " names no event (0 none, 1 shockwave); its shots are removed when it runs");
    };
    checkEvent("onDeathEffect", record.onDeathEffect);
    checkEvent("onHitEffect", record.onHitEffect);
    if (record.numProjectiles > MAX_SHOTS_PER_PULL) {
        warn(where, "numProjectiles " + std::to_string(record.numProjectiles) + " is more than " +
                        std::to_string(MAX_SHOTS_PER_PULL) + " shots a pull; using " + std::to_string(MAX_SHOTS_PER_PULL));
        record.numProjectiles = MAX_SHOTS_PER_PULL;
    }
    if (std::fabs(record.spread) > MAX_SPREAD) {
        float bounded = std::copysign(MAX_SPREAD, record.spread);
        warn(where, "spread " + toString(record.spread) + " is wider than a full turn; using " + toString(bounded));
        record.spread = bounded;
    }
}

projectileData readProjectile(const XmlNode* node, size_t slot)
{
    projectileData record;
    record.name = checkVal(node, "name") ? getVal(node, "name") : "Unnamed";
    if (checkVal(node, "sound")) record.sound = getVal(node, "sound");
    const Place where{dataFile("projectiles.xml"), "projectile " + std::to_string(slot) + " \"" + record.name + "\""};
    for (const ProjectileAttribute& attribute : projectileAttributes) {
        float value = readNumber(node, attribute.name, attribute.fallback, where);
        std::visit(StoreNumber{record, value, attribute.name, where}, attribute.field);
    }
    checkProjectile(record, where);
    return record;
}

void loadProjectiles(const Universe& universe)
{
    WEAPONDATA.clear();  // slot numbers are positions in the document
    for (const XmlNode* child = universe.projectileRoot->first_node(); child; child = child->next_sibling()) {
        sayLine(child->name());
        if (!named(child, "projectile")) {
            sayLine("Not a projectile");
            continue;
        }
        WEAPONDATA.push_back(readProjectile(child, WEAPONDATA.size()));
    }
}

}  // namespace

bool initializeStars(Universe& universe, lua_State* L)
{
    if (!universe.galaxyRoot) {
        report({"", "", "test.xml has no <universe> element: there is no galaxy to load", Severity::Warning});
        return false;
    }
    if (!universe.projectileRoot) {
        report({"", "", "projectiles.xml has no <projectiles> element: there are no weapons to load", Severity::Warning});
        return false;
    }
    loadWorlds(universe);
    reportDeadWormholes(universe);
    loadProjectiles(universe);
    sayLine("Done slotting XML into real world data");
    for (WorldState& world : universe.worlds) world.luaState = L;
    return true;
}

void testXML()
{
    XmlBuffer buffer;
    rapidxml::xml_document<char> doc;
    XmlNode* root = nullptr;
    std::string error;
    if (!loadXmlDocument(dataFile("test.xml").c_str(), buffer, doc, "universe", root, error)) {
        sayLine("No galaxy outline: " + error);
        return;
    }
    sayLine(std::string(root->value()) + " x " + root->name() + " type " + std::to_string(int(root->type())));
    for (const XmlNode* child = root->first_node(); child; child = child->next_sibling()) {
        sayLine(child->name());
        for (const XmlNode* c = child->first_node(); c; c = c->next_sibling()) {
            if (!named(c, "star")) {
                sayLine("\tNot star");
                continue;
            }
            sayLine(std::string("\t") + c->name());
            for (const XmlNode* body = c->first_node(); body; body = body->next_sibling()) {
                sayLine(std::string("\t\t") + body->name());
                sayLine("\t\t" + getVal(body, "name"));
            }
        }
    }
}
