#include "core/xmlAttributes.h"

#include <cstdlib>
#include <cstring>

bool named(const XmlNode* node, const char* name) { return std::strcmp(node->name(), name) == 0; }

std::string getVal(const XmlNode* node, const char* name)
{
    const rapidxml::xml_attribute<char>* attr = node->first_attribute(name);
    if (!attr) return std::string();
    return std::string(attr->value(), attr->value_size());
}

bool checkVal(const XmlNode* node, const char* name) { return node->first_attribute(name) != nullptr; }

float getValF(const XmlNode* node, const char* name) { return float(std::atof(getVal(node, name).c_str())); }
