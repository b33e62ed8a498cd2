#pragma once

#include <libxml/tree.h>

#include <cstddef>
#include <string>
#include <unordered_map>

// Attribute values with their entity references substituted, within the limits the
// parser keeps when it substitutes itself.
//
// The document is parsed without substitution, as the DOM's parser does, so that an
// entity reference in content stays a node of its own and both platforms walk the
// same children. The parser then leaves the references in attribute values to the
// reader; a value made of many references to one large entity would expand to
// gigabytes. A document passes when each value is at most the parser's text limit
// long and the text all values take from entities amplifies the file at most as far
// as the parser lets entities amplify it.
class XmlSubstitution {
public:
    explicit XmlSubstitution(const xmlDoc* document) : document_(document) {}

    // Whether every attribute value of the document, substituted, stays within the
    // limits, for a document parsed from inputSize bytes.
    bool WithinLimits(std::size_t inputSize);

    // The value of an attribute, or the default an attribute declaration gives.
    std::string Value(const xmlAttr* attribute);

private:
    std::size_t Length(const xmlNode* nodes);
    std::size_t EntityLength(const xmlEntity* entity);
    void Append(const xmlNode* nodes, std::string& text);
    bool AttributesWithinLimits(const xmlNode* element, std::size_t& copied, std::size_t budget);

    const xmlDoc* document_;
    // Substituted lengths, each entity measured once, so that entities of entities
    // cost no more than their declarations.
    std::unordered_map<const xmlEntity*, std::size_t> lengths_;
};
