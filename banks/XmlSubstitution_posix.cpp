#include "XmlSubstitution_posix.h"

#include <libxml/entities.h>
#include <libxml/parserInternals.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// The longest text the parser takes for one value without its huge-document option.
constexpr std::size_t kMaxValue = XML_MAX_TEXT_LENGTH;
// How far the parser lets entities amplify what it has read.
constexpr std::size_t kAmplification = 10;
// Lengths are counted up to one past the limit, where counting can stop.
constexpr std::size_t kTooLong = kMaxValue + 1;

std::size_t CappedSum(std::size_t a, std::size_t b) {
    return std::min(a + b, kTooLong);
}

std::size_t TextLength(const xmlChar* text) {
    return text == nullptr ? 0 : std::strlen(reinterpret_cast<const char*>(text));
}

bool IsText(const xmlNode* node) {
    return node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE;
}

// The node after `node` in document order below `top`, without descending into
// `node` itself; null at the end of `top`.
const xmlNode* NextOutside(const xmlNode* node, const xmlNode* top) {
    while (node != top && node->next == nullptr) {
        node = node->parent;
    }
    return node == top ? nullptr : node->next;
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

bool XmlSubstitution::AttributesWithinLimits(const xmlNode* element, std::size_t& copied,
                                             std::size_t budget) {
    for (const xmlAttr* attribute = element->properties; attribute != nullptr;
         attribute = attribute->next) {
        std::size_t length = Length(attribute->children);
        std::size_t written = 0;
        for (const xmlNode* node = attribute->children; node != nullptr; node = node->next) {
            written += IsText(node) ? TextLength(node->content) : 0;
        }
        copied += length - std::min(written, length);
        if (length > kMaxValue || copied > budget) {
            return false;
        }
    }
    return true;
}

bool XmlSubstitution::WithinLimits(std::size_t inputSize) {
    const std::size_t budget = inputSize > SIZE_MAX / kAmplification
                                   ? SIZE_MAX
                                   : std::max(kMaxValue, inputSize * kAmplification);
    std::size_t copied = 0;
    // Every element in document order. Only elements are descended into: the
    // children of an entity reference belong to the entity's declaration.
    const xmlNode* root = xmlDocGetRootElement(document_);
    for (const xmlNode* node = root; node != nullptr;) {
        if (node->type == XML_ELEMENT_NODE) {
            if (!AttributesWithinLimits(node, copied, budget)) {
                return false;
            }
            if (node->children != nullptr) {
                node = node->children;
                continue;
            }
        }
        node = NextOutside(node, root);
    }
    return true;
}
