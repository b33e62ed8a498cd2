#include "XmlSubstitution_posix.h"

#include <libxml/entities.h>
#include <libxml/parserInternals.h>

#include <algorithm>
#include <cstring>

namespace {

// Lengths are counted up to one past the longest text the parser takes for one value
// without its huge-document option, where counting can stop.
constexpr std::size_t kTooLong = XML_MAX_TEXT_LENGTH + 1;

std::size_t CappedSum(std::size_t a, std::size_t b) {
    return std::min(a + b, kTooLong);
}

std::size_t TextLength(const xmlChar* text) {
    return text == nullptr ? 0 : std::strlen(reinterpret_cast<const char*>(text));
}

bool IsText(const xmlNode* node) {
    return node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE;
}

}  // namespace

// Text and entity references as the DOM's reader joins them; an entity that is not
// declared contributes its reference node's own content.
std::size_t XmlSubstitution::Length(const xmlNode* nodes) {
    std::size_t length = 0;
    for (const xmlNode* node = nodes; node != nullptr && length < kTooLong; node = node->next) {
        if (IsText(node)) {
            length = CappedSum(length, TextLength(node->content));
        } else if (node->type == XML_ENTITY_REF_NODE) {
            const xmlEntity* entity = xmlGetDocEntity(document_, node->name);
            length = CappedSum(
                length, entity != nullptr ? EntityLength(entity) : TextLength(node->content));
        }
    }
    return length;
}

std::size_t XmlSubstitution::EntityLength(const xmlEntity* entity) {
    auto known = lengths_.find(entity);
    if (known != lengths_.end()) {
        return known->second;
    }
    // An entity met again while it is measured refers to itself: too long.
    lengths_[entity] = kTooLong;
    std::size_t length = Length(entity->children);
    lengths_[entity] = length;
    return length;
}

void XmlSubstitution::Append(const xmlNode* nodes, std::string& text) {
    for (const xmlNode* node = nodes; node != nullptr; node = node->next) {
        if (IsText(node)) {
            text += reinterpret_cast<const char*>(node->content != nullptr ? node->content
                                                                           : BAD_CAST "");
        } else if (node->type == XML_ENTITY_REF_NODE) {
            const xmlEntity* entity = xmlGetDocEntity(document_, node->name);
            if (entity == nullptr) {
                text += reinterpret_cast<const char*>(node->content != nullptr ? node->content
                                                                               : BAD_CAST "");
            } else if (EntityLength(entity) > 0) {
                // Entities that come to nothing are skipped: nested, they could
                // otherwise be visited an exponential number of times.
                Append(entity->children, text);
            }
        }
    }
}

std::string XmlSubstitution::Value(const xmlAttr* attribute) {
    std::string text;
    if (attribute->type == XML_ATTRIBUTE_DECL) {
        const xmlChar* value = reinterpret_cast<const xmlAttribute*>(attribute)->defaultValue;
        return value != nullptr ? reinterpret_cast<const char*>(value) : "";
    }
    text.reserve(Length(attribute->children));
    Append(attribute->children, text);
    return text;
}
