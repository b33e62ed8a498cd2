// The check before parsing against libxml2 as the oracle: whenever the check lets
// bytes through and libxml2 reads them, libxml2 must see no more than the limits
// allow. It reads them here with every entity substituted and every declared
// default attribute added, as the DOM of the Windows build builds its tree, and
// without its own limits, so that only the check stands between the bytes and
// the tree.
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "FuzzCheck.h"
#include "XmlMarkupLimits.h"

namespace {

xmlParserInputPtr RefuseExternal(const char*, const char*, xmlParserCtxtPtr) {
    return nullptr;
}

void IgnoreMessage(void*, const char*, ...) {}

struct DocumentFree {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};
using Document = std::unique_ptr<xmlDoc, DocumentFree>;

Document Parse(const std::string& bytes, int options) {
    return Document(xmlReadMemory(
        bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
        options | XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_DTDATTR));
}

// Characters, not bytes: the check counts code units of the document's encoding.
uint64_t Characters(const xmlChar* text) {
    uint64_t count = 0;
    for (; text != nullptr && *text != 0; ++text) {
        count += (*text & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

// What a tree holds, as far as the limits go.
struct Tally {
    uint64_t nodes = 0;
    uint64_t text = 0;  // of text, CDATA and attribute values, as the tree holds them
    uint64_t mostAttributes = 0;
    int32_t deepest = 0;
};

// Text held in the tree itself; an entity reference's own text is not counted.
uint64_t TextOf(const xmlNode* nodes) {
    uint64_t text = 0;
    for (const xmlNode* node = nodes; node != nullptr; node = node->next) {
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            text += Characters(node->content);
        }
    }
    return text;
}

// How many attributes the document type gives elements of this name by default.
uint64_t Defaults(const xmlDoc* document, const xmlChar* name) {
    uint64_t count = 0;
    const xmlDtd* types = document->intSubset;
    for (const xmlNode* node = types != nullptr ? types->children : nullptr; node != nullptr;
         node = node->next) {
        const auto* declaration = reinterpret_cast<const xmlAttribute*>(node);
        count += node->type == XML_ATTRIBUTE_DECL && declaration->defaultValue != nullptr &&
                         xmlStrEqual(declaration->elem, name)
                     ? 1
                     : 0;
    }
    return count;
}

void Count(const xmlDoc* document, const xmlNode* node, int32_t depth, Tally& tally) {
    for (; node != nullptr; node = node->next) {
        switch (node->type) {
            case XML_ELEMENT_NODE: {
                uint64_t attributes = 0;
                for (const xmlAttr* attribute = node->properties; attribute != nullptr;
                     attribute = attribute->next) {
                    ++attributes;
                    tally.text += TextOf(attribute->children);
                    for (const xmlNode* part = attribute->children; part != nullptr;
                         part = part->next) {
                        tally.nodes += part->type == XML_ENTITY_REF_NODE ? 1 : 0;
                    }
                }
                tally.nodes += 1 + attributes;
                // The attributes written on the element; those added by default are
                // counted against the document type's own limit.
                const uint64_t defaults = Defaults(document, node->name);
                tally.mostAttributes =
                    std::max(tally.mostAttributes, attributes - std::min(attributes, defaults));
                tally.deepest = std::max(tally.deepest, depth + 1);
                Count(document, node->children, depth + 1, tally);
                break;
            }
            case XML_TEXT_NODE:
            case XML_CDATA_SECTION_NODE:
                tally.text += Characters(node->content);
                tally.nodes += node->type == XML_CDATA_SECTION_NODE ? 1 : 0;
                break;
            case XML_COMMENT_NODE:
            case XML_PI_NODE:
            case XML_ENTITY_REF_NODE:
                ++tally.nodes;
                break;
            default:
                break;
        }
    }
}

// Whether an entity that the parser expanded holds anything but text: markup there
// is built at each reference, where the count before parsing never sees it.
bool EntitiesHoldOnlyText(const xmlDoc* document) {
    const xmlDtd* types = document->intSubset;
    for (const xmlNode* node = types != nullptr ? types->children : nullptr; node != nullptr;
         node = node->next) {
        if (node->type != XML_ENTITY_DECL) {
            continue;
        }
        for (const xmlNode* part = node->children; part != nullptr; part = part->next) {
            if (part->type != XML_TEXT_NODE && part->type != XML_ENTITY_REF_NODE) {
                return false;
            }
        }
    }
    return true;
}

Tally CountOf(const xmlDoc* document) {
    Tally tally;
    Count(document, document->children, 0, tally);
    return tally;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const bool prepared = [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(RefuseExternal);
        xmlSetGenericErrorFunc(nullptr, IgnoreMessage);
        return true;
    }();
    static_cast<void>(prepared);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (size > kLargestXmlFile || HoldsNullCharacter(bytes) || !WithinMarkupLimits(bytes)) {
        return 0;
    }
    // As written, entity references kept; then with every entity substituted.
    const Document kept = Parse(bytes, 0);
    const Document substituted = Parse(bytes, XML_PARSE_NOENT | XML_PARSE_HUGE);
    if (!kept || !substituted) {
        return 0;
    }
    const Tally written = CountOf(kept.get());
    const Tally built = CountOf(substituted.get());
    FuzzCheck(written.mostAttributes <= static_cast<uint64_t>(kMostXmlAttributes) &&
                  built.mostAttributes <= static_cast<uint64_t>(kMostXmlAttributes),
              "no element carries more attributes than the limit");
    FuzzCheck(EntitiesHoldOnlyText(kept.get()), "entities hold text only");
    FuzzCheck(built.deepest <= kLargestXmlDepth, "elements nest no deeper than the limit");
    FuzzCheck(written.nodes <= static_cast<uint64_t>(kMostXmlNodes) &&
                  built.nodes <= static_cast<uint64_t>(kMostXmlNodes),
              "no more nodes than the limit");
    FuzzCheck(built.text <= written.text + kMostXmlEntityText,
              "entities stand for no more text than the limit");
    return 0;
}
