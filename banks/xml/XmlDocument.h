#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include "LString.h"
#include "XmlMarkupLimits.h"

// The few operations of an XML document that the bank table file needs: the
// platform's XML DOM through COM on Windows, libxml2 on Linux. Both write the
// compact form, <CDLibraryList><Item ID="0" Bank="1"/></CDLibraryList>, and read a
// file the same way: only a well-formed one, with its internal entities substituted
// and nothing outside it loaded.

// Raised when a name or a value cannot be allocated (E_OUTOFMEMORY).
class XmlOutOfMemory : public std::exception {
public:
    static constexpr int32_t kCode = static_cast<int32_t>(0x8007000E);
    const char* what() const noexcept override { return "out of memory"; }
};

class XmlDocument;

// An element of a document, or null. Moving hands the element over; the last
// holder releases it.
class XmlElement {
public:
    XmlElement();
    ~XmlElement();
    XmlElement(XmlElement&& other) noexcept;
    XmlElement& operator=(XmlElement&& other) noexcept;
    XmlElement(const XmlElement&) = delete;
    XmlElement& operator=(const XmlElement&) = delete;

    bool IsNull() const;
    // Sets the attribute to the integer's decimal text.
    void SetAttribute(const LChar* name, int32_t value);
    // False when the element has no such attribute.
    bool GetAttribute(const LChar* name, LString& value) const;
    void AppendChild(const XmlElement& child);
    // Takes a child element out of this one; it goes from the document with it.
    void RemoveChild(const XmlElement& child);

    struct Impl;

private:
    friend class XmlDocument;
    friend class XmlChildren;
    std::unique_ptr<Impl> impl_;
};

// Walks the child nodes of an element in document order.
class XmlChildren {
public:
    explicit XmlChildren(const XmlElement& parent);
    ~XmlChildren();
    XmlChildren(const XmlChildren&) = delete;
    XmlChildren& operator=(const XmlChildren&) = delete;

    // Moves to the next child node; false after the last. element becomes the node
    // as an element, or null when the node is no element (a comment, a text).
    bool Next(XmlElement& element);

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

class XmlDocument {
public:
    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Makes the empty document; false when the XML component cannot be had.
    bool Create();
    XmlElement CreateElement(const LChar* name);
    // Appends the element to the document, as its root.
    void AppendChild(const XmlElement& root);
    XmlElement DocumentElement() const;

    // The document as the file holds it, in UTF-8; false when it cannot be written
    // out. A declaration read from a file is kept, naming UTF-8 for the encoding it
    // named (on Windows the document's own declaration is changed so).
    bool ToBytes(std::string& bytes) const;
    // Reads a file's bytes; false when they are no well-formed document (a U+0000
    // anywhere included), or more than kLargestXmlFile.
    bool FromBytes(const std::string& bytes);

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};
