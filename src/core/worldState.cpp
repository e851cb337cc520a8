#include "core/worldState.h"

#include <fstream>
#include <iterator>

#include "entities/player.h"

int WorldState::getNewShipID() { return ++lastShipID; }

bool loadXmlDocument(const char* path, XmlBuffer& buffer, rapidxml::xml_document<char>& doc,
                     const char* rootName, rapidxml::xml_node<char>*& root, std::string& error)
{
    root = nullptr;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = std::string(path) + ": cannot open file";
        return false;
    }
    buffer.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    buffer.push_back('\0');
    try {
        doc.parse<0>(buffer.data());
    } catch (const rapidxml::parse_error& e) {
        // The library throws; the game reports it once and stops cleanly instead.
        error = std::string(path) + ": " + e.what() + " at offset " +
                std::to_string(e.where<char>() - buffer.data());
        return false;
    }
    root = doc.first_node(rootName);
    if (!root) {
        error = std::string(path) + ": no <" + rootName + "> root element";
        return false;
    }
    return true;
}

Universe::Universe() : Universe("test.xml", "projectiles.xml") {}

Universe::Universe(const char* galaxyPath, const char* projectilePath)
{
    if (!loadXmlDocument(galaxyPath, galaxyFile, galaxyDoc, "universe", galaxyRoot, loadError)) return;
    loadXmlDocument(projectilePath, projectileFile, projectileDoc, "projectiles", projectileRoot, loadError);
}

WorldState& Universe::currentWorld() { return worlds[player->getWorld()]; }
