#include <libxml/SAX2.h>
#include <libxml/chvalid.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "LUtf.h"
#include "XmlDocument.h"
#include "XmlMarkupLimits.h"
#include "XmlSubstitution_posix.h"

// libxml2 in place of the DOM, parsing as the DOM does: well-formedness checked,
// entity references kept as nodes in content and substituted in attribute values,
// nothing outside the file loaded, and the parser's own limits on depth and entity
// expansion kept (no huge-document option).
namespace {

// Without substitution in content the parser never needs an external entity or the
// external DTD; this makes sure that nothing a file names is ever read.
xmlParserInputPtr RefuseExternal(const char*, const char*, xmlParserCtxtPtr) {
    return nullptr;
}

// The parser's diagnostics would reach the user's console beside the program's
// own message about the file.
void IgnoreMessage(void*, const char*, ...) {}

void PrepareLibrary() {
    static const bool prepared = [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(RefuseExternal);
        return true;
    }();
    static_cast<void>(prepared);
    xmlSetGenericErrorFunc(nullptr, IgnoreMessage);
}

constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

struct ParserContextFree {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};
struct DocumentFree {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};
using DocumentHolder = std::unique_ptr<xmlDoc, DocumentFree>;
struct BufferFree {
    void operator()(xmlBuffer* buffer) const { xmlBufferFree(buffer); }
};

const xmlChar* Xml(const std::string& text) {
    return reinterpret_cast<const xmlChar*>(text.c_str());
}

// A document and the elements made for it. Elements keep their document alive, as
// COM references do; a load gives the document a new tree rather than reusing the
// old one under elements still held.
struct Tree {
    // Takes the document over.
    explicit Tree(DocumentHolder& from) : document(from.get()), substitution(from.get()) {
        from.release();
    }
    ~Tree() {
        // Elements made but never attached, and elements taken out, are not part of
        // the document. Those of them under another such element go with it.
        std::vector<xmlNodePtr> unattached;
        for (const auto* nodes : {&created, &removed}) {
            for (xmlNodePtr node : *nodes) {
                if (node != nullptr && node->parent == nullptr) {
                    unattached.push_back(node);
                }
            }
        }
        std::sort(unattached.begin(), unattached.end());
        unattached.erase(std::unique(unattached.begin(), unattached.end()), unattached.end());
        for (xmlNodePtr node : unattached) {
            xmlFreeNode(node);
        }
        xmlFreeDoc(document);
    }
    Tree(const Tree&) = delete;
    Tree& operator=(const Tree&) = delete;

    xmlDocPtr document;
    XmlSubstitution substitution;
    std::vector<xmlNodePtr> created;
    // Kept until the tree goes, since an element held elsewhere may still name them.
    std::vector<xmlNodePtr> removed;
};

std::shared_ptr<Tree> TreeOf(DocumentHolder document) {
    return document ? std::make_shared<Tree>(document) : nullptr;
}

std::shared_ptr<Tree> EmptyTree() {
    return TreeOf(DocumentHolder(xmlNewDoc(BAD_CAST "1.0")));
}

bool IsBlank(const xmlChar* text, int length) {
    for (int i = 0; i < length; ++i) {
        if (!xmlIsBlank_ch(text[i])) {
            return false;
        }
    }
    return true;
}

// Text that is only whitespace is not kept, as by the DOM's default, unless the
// element asks for its spaces to be kept (xml:space="preserve").
void KeepText(void* parser, const xmlChar* text, int length) {
    auto* context = static_cast<xmlParserCtxtPtr>(parser);
    if (IsBlank(text, length) && xmlNodeGetSpacePreserve(context->node) != 1) {
        return;
    }
    xmlSAX2Characters(parser, text, length);
}

// An attribute named twice through two prefixes of one namespace breaks the
// namespace rules. libxml2 reports it as an error yet still returns the document;
// the DOM's parser refuses the file, and so does the reader here.
void NoteError(void* parser, xmlErrorPtr error) {
    if (error != nullptr && error->code == XML_NS_ERR_ATTRIBUTE_REDEFINED) {
        *static_cast<bool*>(static_cast<xmlParserCtxtPtr>(parser)->_private) = true;
    }
}

// The bytes as the parser reads a file, a piece at a time: read from memory in one
// piece, a document of more than 10,000,000 bytes ends in the parser's "huge input
// lookup" error wherever it has to look ahead, and would be refused for its size.
struct MemoryInput {
    const char* next;
    std::size_t left;
};

int ReadInput(void* context, char* buffer, int length) {
    auto* input = static_cast<MemoryInput*>(context);
    const std::size_t count = std::min(input->left, static_cast<std::size_t>(std::max(length, 0)));
    std::memcpy(buffer, input->next, count);
    input->next += count;
    input->left -= count;
    return static_cast<int>(count);
}

int CloseInput(void*) {
    return 0;
}

// The well-formed document in the bytes, or null.
DocumentHolder Parse(const std::string& bytes) {
    std::unique_ptr<xmlParserCtxt, ParserContextFree> context(xmlNewParserCtxt());
    if (!context) {
        return nullptr;
    }
    bool attributeRedefined = false;
    context->_private = &attributeRedefined;
    context->sax->characters = KeepText;
    context->sax->ignorableWhitespace = KeepText;
    context->sax->serror = NoteError;
    MemoryInput input{bytes.data(), bytes.size()};
    DocumentHolder document(xmlCtxtReadIO(context.get(), ReadInput, CloseInput, &input, nullptr,
                                          nullptr, kParseOptions));
    if (!document || attributeRedefined || xmlDocGetRootElement(document.get()) == nullptr) {
        return nullptr;
    }
    return document;
}

}  // namespace

struct XmlElement::Impl {
    std::shared_ptr<Tree> tree;
    xmlNodePtr node;
};

struct XmlChildren::Impl {
    std::shared_ptr<Tree> tree;
    xmlNodePtr next = nullptr;
};

struct XmlDocument::Impl {
    std::shared_ptr<Tree> tree;
};

// --- XmlElement -------------------------------------------------------------------

XmlElement::XmlElement() = default;
XmlElement::~XmlElement() = default;
XmlElement::XmlElement(XmlElement&& other) noexcept = default;
XmlElement& XmlElement::operator=(XmlElement&& other) noexcept = default;

bool XmlElement::IsNull() const {
    return impl_ == nullptr || impl_->node == nullptr;
}

void XmlElement::SetAttribute(const LChar* name, int32_t value) {
    if (IsNull()) {
        return;
    }
    if (xmlSetProp(impl_->node, Xml(Utf8FromUtf16(name)), Xml(std::to_string(value))) == nullptr) {
        throw XmlOutOfMemory();
    }
}

bool XmlElement::GetAttribute(const LChar* name, LString& value) const {
    if (IsNull()) {
        return false;
    }
    // Declared defaults count, as the DOM's reader counts them.
    const xmlAttr* attribute = xmlHasNsProp(impl_->node, Xml(Utf8FromUtf16(name)), nullptr);
    if (attribute == nullptr) {
        return false;
    }
    value.Assign(Utf16FromUtf8(impl_->tree->substitution.Value(attribute).c_str()).c_str());
    return true;
}

void XmlElement::AppendChild(const XmlElement& child) {
    if (IsNull() || child.IsNull()) {
        return;
    }
    xmlAddChild(impl_->node, child.impl_->node);
}

void XmlElement::RemoveChild(const XmlElement& child) {
    if (IsNull() || child.IsNull() || child.impl_->node->parent != impl_->node) {
        return;
    }
    Tree& tree = *impl_->tree;
    // The slot first, so that a node once taken out is always freed.
    tree.removed.push_back(nullptr);
    xmlUnlinkNode(child.impl_->node);
    tree.removed.back() = child.impl_->node;
}

// --- XmlChildren ------------------------------------------------------------------

XmlChildren::XmlChildren(const XmlElement& parent) : impl_(std::make_unique<Impl>()) {
    if (!parent.IsNull()) {
        impl_->tree = parent.impl_->tree;
        impl_->next = parent.impl_->node->children;
    }
}

XmlChildren::~XmlChildren() = default;

bool XmlChildren::Next(XmlElement& element) {
    element.impl_.reset();
    xmlNodePtr node = impl_->next;
    if (node == nullptr) {
        return false;
    }
    impl_->next = node->next;
    // Comments, processing instructions, text and entity references come out as
    // null elements.
    if (node->type == XML_ELEMENT_NODE) {
        element.impl_ = std::make_unique<XmlElement::Impl>(XmlElement::Impl{impl_->tree, node});
    }
    return true;
}

// --- XmlDocument ------------------------------------------------------------------

XmlDocument::XmlDocument() : impl_(std::make_unique<Impl>()) {}

XmlDocument::~XmlDocument() = default;

bool XmlDocument::Create() {
    PrepareLibrary();
    impl_->tree = EmptyTree();
    return impl_->tree != nullptr;
}

XmlElement XmlDocument::CreateElement(const LChar* name) {
    XmlElement element;
    if (!impl_->tree) {
        return element;
    }
    Tree& tree = *impl_->tree;
    // The slot first, so that a node once made is always freed.
    tree.created.push_back(nullptr);
    xmlNodePtr node = xmlNewDocNode(tree.document, nullptr, Xml(Utf8FromUtf16(name)), nullptr);
    if (node == nullptr) {
        tree.created.pop_back();
        throw XmlOutOfMemory();
    }
    tree.created.back() = node;
    element.impl_ = std::make_unique<XmlElement::Impl>(XmlElement::Impl{impl_->tree, node});
    return element;
}

void XmlDocument::AppendChild(const XmlElement& root) {
    if (!impl_->tree || root.IsNull()) {
        return;
    }
    xmlAddChild(reinterpret_cast<xmlNodePtr>(impl_->tree->document), root.impl_->node);
}

XmlElement XmlDocument::DocumentElement() const {
    XmlElement element;
    if (!impl_->tree) {
        return element;
    }
    xmlNodePtr root = xmlDocGetRootElement(impl_->tree->document);
    if (root != nullptr) {
        element.impl_ = std::make_unique<XmlElement::Impl>(XmlElement::Impl{impl_->tree, root});
    }
    return element;
}

// The compact form in UTF-8: the root element as it is, and any document type,
// comment or processing instruction a loaded file had beside it, a line apart, so
// that a file that declares its entities keeps them. A file's declaration is kept as
// the DOM keeps it, with its version, standalone, and UTF-8 for the encoding it
// named; a document without one is written without one.
bool XmlDocument::ToBytes(std::string& bytes) const {
    if (!impl_->tree) {
        return false;
    }
    std::unique_ptr<xmlBuffer, BufferFree> buffer(xmlBufferCreate());
    if (!buffer) {
        return false;
    }
    xmlDocPtr document = impl_->tree->document;
    // The parser marks a document without a declaration with -1, one without
    // standalone with -2.
    if (document->standalone != -1) {
        const char* version =
            document->version != nullptr ? reinterpret_cast<const char*>(document->version) : "1.0";
        std::string declaration = std::string("<?xml version=\"") + version + "\"";
        if (document->encoding != nullptr) {
            declaration += " encoding=\"UTF-8\"";
        }
        if (document->standalone >= 0) {
            declaration += document->standalone != 0 ? " standalone=\"yes\"" : " standalone=\"no\"";
        }
        if (xmlBufferCCat(buffer.get(), (declaration + "?>\n").c_str()) != 0) {
            return false;
        }
    }
    for (xmlNodePtr node = document->children; node != nullptr; node = node->next) {
        if (node != document->children) {
            xmlBufferCCat(buffer.get(), "\n");
        }
        if (xmlNodeDump(buffer.get(), document, node, 0, 0) < 0) {
            return false;
        }
    }
    const char* text = reinterpret_cast<const char*>(xmlBufferContent(buffer.get()));
    bytes.assign(text, xmlBufferLength(buffer.get()));
    return true;
}

// Bytes that are not well-formed leave an empty document, as the DOM's failed load
// does.
bool XmlDocument::FromBytes(const std::string& bytes) {
    if (!impl_->tree) {
        return false;
    }
    PrepareLibrary();
    DocumentHolder parsed =
        bytes.size() <= kLargestXmlFile && !HoldsNullCharacter(bytes) && WithinMarkupLimits(bytes)
            ? Parse(bytes)
            : nullptr;
    const bool loaded = parsed != nullptr;
    impl_->tree = loaded ? TreeOf(std::move(parsed)) : EmptyTree();
    return loaded;
}
