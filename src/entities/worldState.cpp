#include "entities/worldState.h"

#include <cassert>
#include <cstring>

#include "core/dataFiles.h"
#include "entities/player.h"

int WorldState::getNewShipID() { return ++lastShipID; }

namespace {

// RapidXML recurses once per level of nesting, so a document nested deep enough
// overflows the stack. Real galaxies are five levels deep.
const int MAX_XML_DEPTH = 256;

using rapidxml::internal::lookup_tables;

bool isSpace(char c) { return lookup_tables<0>::lookup_whitespace[static_cast<unsigned char>(c)] != 0; }
bool inName(char c) { return lookup_tables<0>::lookup_node_name[static_cast<unsigned char>(c)] != 0; }
bool inAttributeName(char c) { return lookup_tables<0>::lookup_attribute_name[static_cast<unsigned char>(c)] != 0; }

const char* skipSpace(const char* p)
{
    while (isSpace(*p)) ++p;
    return p;
}

// Just past the first end after p; null at the end of the text.
const char* past(const char* p, const char* end)
{
    const char* found = std::strstr(p, end);
    return found ? found + std::strlen(end) : nullptr;
}

// "<!DOCTYPE " ends at the first '>' outside its brackets; inside them only brackets count.
const char* pastDoctype(const char* p)
{
    for (int brackets = 0; *p; ++p) {
        if (*p == '[') ++brackets;
        else if (*p == ']' && brackets > 0) --brackets;
        else if (*p == '>' && brackets == 0) return p + 1;
    }
    return nullptr;
}

// The attributes and the end of a start tag, from just after its name. Null
// where the parser stops with an error; opens tells a '>' from a "/>".
const char* pastStartTag(const char* p, bool& opens)
{
    p = skipSpace(p);
    while (inAttributeName(*p)) {
        while (inAttributeName(*p)) ++p;
        p = skipSpace(p);
        if (*p != '=') return nullptr;
        p = skipSpace(p + 1);
        const char quote = *p;
        if (quote != '"' && quote != '\'') return nullptr;
        p = std::strchr(p + 1, quote);
        if (!p) return nullptr;
        p = skipSpace(p + 1);
    }
    opens = *p == '>';
    if (opens) return p + 1;
    return p[0] == '/' && p[1] == '>' ? p + 2 : nullptr;
}

// Everything after a '<' but an end tag, as RapidXML (with no flags) reads it.
const char* pastMarkup(const char* p, bool& opens)
{
    opens = false;
    if (*p == '?') return past(p + 1, "?>");  // the declaration and every processing instruction
    if (*p == '!') {
        if (std::strncmp(p, "!--", 3) == 0) return past(p + 3, "-->");
        if (std::strncmp(p, "![CDATA[", 8) == 0) return past(p + 8, "]]>");
        if (std::strncmp(p, "!DOCTYPE", 8) == 0 && isSpace(p[8])) return pastDoctype(p + 9);
        return past(p + 1, ">");
    }
    const char* name = p;
    while (inName(*p)) ++p;
    return p == name ? nullptr : pastStartTag(p, opens);
}

// Counts open elements by RapidXML's own rules, without building anything. It
// stops where the parser would stop with an error, leaving that to the parser
// to report, so only an excessive depth is refused here.
bool nestedTooDeep(const char* p)
{
    int depth = 0;
    while ((p = std::strchr(p, '<'))) {
        ++p;
        if (*p == '/') {
            while (inName(*++p)) {}
            p = skipSpace(p);
            if (*p != '>' || --depth < 0) return false;
            ++p;
            continue;
        }
        bool opens = false;
        p = pastMarkup(p, opens);
        if (!p) return false;
        if (opens && ++depth > MAX_XML_DEPTH) return true;
    }
    return false;
}

}  // namespace

bool loadXmlDocument(const char* path, XmlBuffer& buffer, rapidxml::xml_document<char>& doc,
                     const char* rootName, rapidxml::xml_node<char>*& root, std::string& error)
{
    root = nullptr;
    if (!dataFileExists(path)) {
        error = std::string(path) + ": cannot open file";
        return false;
    }
    std::string text;
    if (!readDataFile(path, MAX_XML_FILE, text, error)) return false;
    buffer.assign(text.begin(), text.end());
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
