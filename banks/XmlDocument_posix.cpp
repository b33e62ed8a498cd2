#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <pugixml.hpp>

#include "LUtf.h"
#include "XmlDocument.h"

// pugixml in place of the DOM. Two things of the DOM have no direct counterpart
// here and are made up for:
// - An element exists before it is attached. pugixml nodes always sit in a tree, so
//   a new element waits under a holding element of its own document, which is never
//   written, until it is appended where it belongs (a move keeps its handle valid).
// - Elements keep their document alive, as COM references do: each holds a share
//   of the tree, and a load gives the document a new tree rather than reusing the
//   old one under elements still held.
namespace {
struct Tree {
    pugi::xml_document document;
    pugi::xml_node holding;  // where new elements wait; null until one is made

    bool IsHolding(const pugi::xml_node& node) const { return holding && node == holding; }
};

// Collects the written document; the file is written in one piece afterwards.
class StringWriter : public pugi::xml_writer {
public:
    void write(const void* data, size_t size) override {
        text.append(static_cast<const char*>(data), size);
    }
    std::string text;
};

bool WriteAll(int fd, const std::string& text) {
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t written = write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

// Writes the whole file and puts it on the disk.
bool WriteFile(const std::string& path, const std::string& text) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    bool written = WriteAll(fd, text) && fsync(fd) == 0;
    return close(fd) == 0 && written;
}

// So that the rename itself survives a crash; a failure here leaves a complete
// file either way, so it is not reported.
void SyncFolderOf(const std::string& path) {
    std::string::size_type slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

bool HasRepeatedAttribute(const pugi::xml_node& element) {
    for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
        for (pugi::xml_attribute b = a.next_attribute(); b; b = b.next_attribute()) {
            if (std::strcmp(a.name(), b.name()) == 0) {
                return true;
            }
        }
    }
    return false;
}

// pugixml lets through some files that are not well-formed and that the DOM
// refuses. Those that would change what is read are refused here too: more than one
// root element, text beside the root (kept for this check by parsing as a
// fragment), and an attribute given twice.
bool IsWellFormed(const pugi::xml_document& document) {
    int roots = 0;
    for (pugi::xml_node node = document.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element) {
            ++roots;
        } else if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
            return false;
        }
    }
    if (roots != 1) {
        return false;
    }
    // Every element, in document order, without recursion.
    pugi::xml_node node = document.first_child();
    while (node) {
        if (node.type() == pugi::node_element && HasRepeatedAttribute(node)) {
            return false;
        }
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && !node.next_sibling()) {
            node = node.parent();
        }
        if (node) {
            node = node.next_sibling();
        }
    }
    return true;
}

void ThrowIfEmpty(bool empty) {
    if (empty) {
        throw XmlOutOfMemory();
    }
}
}  // namespace

struct XmlElement::Impl {
    std::shared_ptr<Tree> tree;
    pugi::xml_node node;
};

struct XmlChildren::Impl {
    std::shared_ptr<Tree> tree;
    pugi::xml_node next;
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
    return impl_ == nullptr || !impl_->node;
}

void XmlElement::SetAttribute(const LChar* name, int32_t value) {
    if (IsNull()) {
        return;
    }
    std::string key = Utf8FromUtf16(name);
    pugi::xml_attribute attribute = impl_->node.attribute(key.c_str());
    if (!attribute) {
        attribute = impl_->node.append_attribute(key.c_str());
        ThrowIfEmpty(!attribute);
    }
    ThrowIfEmpty(!attribute.set_value(static_cast<int>(value)));
}

bool XmlElement::GetAttribute(const LChar* name, LString& value) const {
    if (IsNull()) {
        return false;
    }
    pugi::xml_attribute attribute = impl_->node.attribute(Utf8FromUtf16(name).c_str());
    if (!attribute) {
        return false;
    }
    const char* text = attribute.value();
    std::u16string wide = Utf16FromUtf8(text);
    value.Assign(wide.c_str());
    return true;
}

void XmlElement::AppendChild(const XmlElement& child) {
    if (IsNull() || child.IsNull()) {
        return;
    }
    // Like the DOM, an element of another document is refused.
    impl_->node.append_move(child.impl_->node);
}

// --- XmlChildren ------------------------------------------------------------------

XmlChildren::XmlChildren(const XmlElement& parent) : impl_(std::make_unique<Impl>()) {
    if (!parent.IsNull()) {
        impl_->tree = parent.impl_->tree;
        impl_->next = parent.impl_->node.first_child();
    }
}

XmlChildren::~XmlChildren() = default;

bool XmlChildren::Next(XmlElement& element) {
    element.impl_.reset();
    pugi::xml_node node = impl_->next;
    if (!node) {
        return false;
    }
    impl_->next = node.next_sibling();
    // Comments, processing instructions and text come out as null elements.
    if (node.type() == pugi::node_element) {
        element.impl_ = std::make_unique<XmlElement::Impl>(XmlElement::Impl{impl_->tree, node});
    }
    return true;
}

// --- XmlDocument ------------------------------------------------------------------

XmlDocument::XmlDocument() : impl_(std::make_unique<Impl>()) {}

XmlDocument::~XmlDocument() = default;

bool XmlDocument::Create() {
    impl_->tree = std::make_shared<Tree>();
    return true;
}

XmlElement XmlDocument::CreateElement(const LChar* name) {
    XmlElement element;
    if (!impl_->tree) {
        return element;
    }
    Tree& tree = *impl_->tree;
    if (!tree.holding) {
        tree.holding = tree.document.append_child(pugi::node_element);
        ThrowIfEmpty(!tree.holding);
    }
    pugi::xml_node node = tree.holding.append_child(Utf8FromUtf16(name).c_str());
    ThrowIfEmpty(!node);
    element.impl_ = std::make_unique<XmlElement::Impl>(XmlElement::Impl{impl_->tree, node});
    return element;
}

void XmlDocument::AppendChild(const XmlElement& root) {
    if (!impl_->tree || root.IsNull() || !DocumentElement().IsNull()) {
        // A document has one root element at most, as in the DOM.
        return;
    }
    impl_->tree->document.append_move(root.impl_->node);
}

XmlElement XmlDocument::DocumentElement() const {
    XmlElement element;
    if (!impl_->tree) {
        return element;
    }
    const Tree& tree = *impl_->tree;
    for (pugi::xml_node node = tree.document.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element && !tree.IsHolding(node)) {
            element.impl_ = std::make_unique<XmlElement::Impl>(XmlElement::Impl{impl_->tree, node});
            break;
        }
    }
    return element;
}

// The document goes to a file beside the target first; only a complete file on the
// disk replaces the old one, so a failed save leaves that as it was.
bool XmlDocument::Save(const LChar* path) const {
    if (!impl_->tree) {
        return false;
    }
    const Tree& tree = *impl_->tree;
    StringWriter writer;
    for (pugi::xml_node node = tree.document.first_child(); node; node = node.next_sibling()) {
        if (!tree.IsHolding(node)) {
            node.print(writer, "", pugi::format_raw, pugi::encoding_utf8);
        }
    }
    const std::string target = Utf8FromUtf16(path);
    const std::string temporary = target + ".new";
    if (WriteFile(temporary, writer.text) && rename(temporary.c_str(), target.c_str()) == 0) {
        SyncFolderOf(target);
        return true;
    }
    unlink(temporary.c_str());
    return false;
}

// Comments and processing instructions are kept, as the DOM keeps them, so that
// both platforms walk the same child nodes; whitespace-only text is dropped, as by
// the DOM's default.
bool XmlDocument::Load(const LChar* path) {
    if (!impl_->tree) {
        return false;
    }
    auto tree = std::make_shared<Tree>();
    const unsigned int options =
        pugi::parse_default | pugi::parse_comments | pugi::parse_pi | pugi::parse_fragment;
    bool loaded =
        tree->document.load_file(Utf8FromUtf16(path).c_str(), options, pugi::encoding_auto) &&
        IsWellFormed(tree->document);
    if (!loaded) {
        // Like the DOM after a failed load: an empty document.
        tree->document.reset();
    }
    impl_->tree = std::move(tree);
    return loaded;
}
