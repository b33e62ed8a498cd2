#pragma once

#include <libxml/tree.h>

#include <cstddef>
#include <string>
#include <unordered_map>

// Attribute values with their entity references substituted.
//
// The document is parsed without substitution, as the DOM's parser does, so that an
// entity reference in content stays a node of its own and both platforms walk the
// same children. The parser then leaves the references in attribute values to the
// reader. How much text they may stand for was bounded before parsing.
class XmlSubstitution {
public:
    explicit XmlSubstitution(const xmlDoc* document) : document_(document) {}

    // The value of an attribute, or the default an attribute declaration gives.
    std::string Value(const xmlAttr* attribute);

private:
    std::size_t Length(const xmlNode* nodes);
    std::size_t EntityLength(const xmlEntity* entity);
    void Append(const xmlNode* nodes, std::string& text);

    const xmlDoc* document_;
    // Substituted lengths, each entity measured once, so that entities of entities
    // cost no more than their declarations.
    std::unordered_map<const xmlEntity*, std::size_t> lengths_;
};
