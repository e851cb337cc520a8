#include "entities/worldState.h"

#include <cassert>
#include <cstring>
#include <fstream>
#include <iterator>

#include "core/dataFiles.h"
#include "entities/player.h"

int WorldState::getNewShipID() { return ++lastShipID; }

namespace {

// RapidXML recurses once per level of nesting, so a document nested deep enough
// overflows the stack. Real galaxies are five levels deep.
const int MAX_XML_DEPTH = 256;

// Skips a start tag from its '<', minding quoted attribute values; null at the end of the text.
const char* endOfTag(const char* p)
{
    char quote = 0;
    for (++p; *p; ++p) {
        if (quote) {
            if (*p == quote) quote = 0;
        } else if (*p == '"' || *p == '\'') {
            quote = *p;
        } else if (*p == '>') {
            return p;
        }
    }
    return nullptr;
}

// Counts open elements without building anything. Malformed text is left for the
// parser to report, so only an excessive depth is refused here.
bool nestedTooDeep(const char* p)
{
    int depth = 0;
    while ((p = std::strchr(p, '<'))) {
        const char* end;
        if (std::strncmp(p, "<!--", 4) == 0) {
            end = std::strstr(p + 4, "-->");
        } else if (std::strncmp(p, "<![CDATA[", 9) == 0) {
            end = std::strstr(p + 9, "]]>");
        } else if (p[1] == '!' || p[1] == '?' || p[1] == '/') {
            if (p[1] == '/') --depth;
            end = std::strchr(p, '>');
        } else {
            end = endOfTag(p);
            if (end && end[-1] != '/' && ++depth > MAX_XML_DEPTH) return true;
        }
        if (!end) return false;
        p = end + 1;
    }
    return false;
}

}  // namespace

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
    if (nestedTooDeep(buffer.data())) {
        error = std::string(path) + ": elements nested more than " + std::to_string(MAX_XML_DEPTH) + " levels deep";
        return false;
    }
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

WorldState& Universe::currentWorld()
{
    // Start-up makes world 0 and a wormhole only leads to a world that exists.
    assert(player->getWorld() >= 0 && size_t(player->getWorld()) < worlds.size());
    return worlds[size_t(player->getWorld())];
}
