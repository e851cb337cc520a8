// Readers of XML attributes: a missing attribute reads as "" or 0, which is how
// the data files' defaults work.
#pragma once

#include <string>

#include <rapidxml.hpp>

using XmlNode = rapidxml::xml_node<char>;

bool named(const XmlNode* node, const char* name);  // the element's name is exactly name
std::string getVal(const XmlNode* node, const char* name);  // "" when absent
bool checkVal(const XmlNode* node, const char* name);
float getValF(const XmlNode* node, const char* name);  // atof: 12abc gives 12, absent gives 0
