#include <msxml2.h>
#include <windows.h>

#include <string>

#include "ComHolders_win32.h"
#include "XmlDeclaration.h"
#include "XmlDocument.h"
#include "XmlMarkupLimits.h"

// The platform's XML DOM component, reached through COM. The class and interface
// identifiers are spelled out here so that the program does not depend on which of
// them a given SDK's import library carries.
namespace {
constexpr CLSID kDomDocumentClass = {
    0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
constexpr IID kDomDocumentInterface = {
    0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
constexpr IID kDomElementInterface = {
    0x2933BF86, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
constexpr IID kDomDocument2Interface = {
    0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
constexpr DWORD kAllContexts = 23;

// MSXML 3.0 sets no limit on how deeply elements nest; a document nested past the
// Linux build's limit is refused here too. Where the property is unknown, the
// document is used as it is.
void LimitDepth(IXMLDOMDocument* document) {
    ComPtr<IXMLDOMDocument2> document2;
    if (FAILED(document->QueryInterface(kDomDocument2Interface, document2.PutVoid())) ||
        !document2) {
        return;
    }
    ComString name(u"MaxElementDepth");
    document2->setProperty(name.Get(), ComVariant::FromInt32(kLargestXmlDepth).Get());
}

// The DOM keeps a file's declaration as the document's first node, a processing
// instruction named "xml". MSXML writes the document in the encoding it names;
// Wine's DOM writes UTF-8 under any declaration, so that a table read from UTF-16
// would be saved as a file no reader takes. Naming UTF-8 there before the document
// is written makes both write UTF-8 and say so. The DOM refuses new data for a
// declaration, so a new one takes its place. False when that fails.
bool DeclareUtf8(IXMLDOMDocument* document) {
    ComPtr<IXMLDOMNode> first;
    if (FAILED(document->get_firstChild(first.Put()))) {
        return false;
    }
    DOMNodeType type = NODE_INVALID;
    ComReceivedString name;
    if (!first || FAILED(first->get_nodeType(&type)) || type != NODE_PROCESSING_INSTRUCTION ||
        FAILED(first->get_nodeName(name.Put())) || name.Text() != u"xml") {
        return true;
    }
    ComVariant value;
    if (FAILED(first->get_nodeValue(value.Put())) || value.Get().vt != VT_BSTR) {
        return false;
    }
    const BSTR text = value.Get().bstrVal;
    const std::u16string data(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
    const std::u16string utf8 = Utf8DeclarationData(data);
    if (utf8 == data) {
        return true;
    }
    ComString target(u"xml");
    ComString newData(utf8.c_str());
    ComPtr<IXMLDOMProcessingInstruction> declaration;
    ComPtr<IXMLDOMNode> replaced;
    return SUCCEEDED(document->createProcessingInstruction(target.Get(), newData.Get(),
                                                           declaration.Put())) &&
           declaration &&
           SUCCEEDED(document->replaceChild(declaration.Get(), first.Get(), replaced.Put()));
}

// A stream in memory holding the bytes, read from its start.
ComPtr<IStream> StreamOf(const std::string& bytes) {
    ComPtr<IStream> stream;
    ULONG written = 0;
    const LARGE_INTEGER start{};
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put())) ||
        FAILED(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written)) ||
        written != bytes.size() || FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr))) {
        stream.Reset();
    }
    return stream;
}

// Everything written to a stream made by StreamOf.
bool BytesOf(IStream* stream, std::string& bytes) {
    STATSTG status;
    HGLOBAL memory = nullptr;
    if (FAILED(stream->Stat(&status, STATFLAG_NONAME)) ||
        FAILED(GetHGlobalFromStream(stream, &memory))) {
        return false;
    }
    bytes.clear();
    if (status.cbSize.QuadPart == 0) {
        return true;
    }
    const void* data = GlobalLock(memory);
    if (data == nullptr) {
        return false;
    }
    bytes.assign(static_cast<const char*>(data), static_cast<std::size_t>(status.cbSize.QuadPart));
    GlobalUnlock(memory);
    return true;
}
}  // namespace

struct XmlElement::Impl {
    ComPtr<IXMLDOMElement> element;
};

struct XmlChildren::Impl {
    ComPtr<IXMLDOMNodeList> nodes;
};

struct XmlDocument::Impl {
    ComPtr<IXMLDOMDocument> document;
};

// --- XmlElement -------------------------------------------------------------------

XmlElement::XmlElement() = default;
XmlElement::~XmlElement() = default;
XmlElement::XmlElement(XmlElement&& other) noexcept = default;
XmlElement& XmlElement::operator=(XmlElement&& other) noexcept = default;

bool XmlElement::IsNull() const {
    return impl_ == nullptr || !impl_->element;
}

void XmlElement::SetAttribute(const LChar* name, int32_t value) {
    if (IsNull()) {
        return;
    }
    ComVariant number = ComVariant::FromInt32(value);
    ComString bstr(name);
    impl_->element->setAttribute(bstr.Get(), number.Get());
}

bool XmlElement::GetAttribute(const LChar* name, LString& value) const {
    if (IsNull()) {
        return false;
    }
    ComVariant result;
    {
        ComString bstr(name);
        impl_->element->getAttribute(bstr.Get(), result.Put());
    }
    // An absent attribute comes back as VT_NULL.
    if (result.Get().vt != VT_BSTR) {
        return false;
    }
    const BSTR text = result.Get().bstrVal;
    value.Assign(text != nullptr ? reinterpret_cast<const LChar*>(text) : u"");
    return true;
}

void XmlElement::AppendChild(const XmlElement& child) {
    if (IsNull() || child.IsNull()) {
        return;
    }
    impl_->element->appendChild(child.impl_->element.Get(), nullptr);
}

void XmlElement::RemoveChild(const XmlElement& child) {
    if (IsNull() || child.IsNull()) {
        return;
    }
    impl_->element->removeChild(child.impl_->element.Get(), nullptr);
}

// --- XmlChildren ------------------------------------------------------------------

XmlChildren::XmlChildren(const XmlElement& parent) : impl_(std::make_unique<Impl>()) {
    if (!parent.IsNull()) {
        parent.impl_->element->get_childNodes(impl_->nodes.Put());
    }
}

XmlChildren::~XmlChildren() = default;

bool XmlChildren::Next(XmlElement& element) {
    element.impl_.reset();
    if (!impl_->nodes) {
        return false;
    }
    ComPtr<IXMLDOMNode> node;
    // S_FALSE ends the walk; a failure ends it too rather than spinning on it.
    if (impl_->nodes->nextNode(node.Put()) != S_OK || !node) {
        return false;
    }
    auto impl = std::make_unique<XmlElement::Impl>();
    // Comments, processing instructions and text have no element interface and
    // come out as null elements.
    if (SUCCEEDED(node->QueryInterface(kDomElementInterface, impl->element.PutVoid())) &&
        impl->element) {
        element.impl_ = std::move(impl);
    }
    return true;
}

// --- XmlDocument ------------------------------------------------------------------

XmlDocument::XmlDocument() : impl_(std::make_unique<Impl>()) {}

XmlDocument::~XmlDocument() = default;

bool XmlDocument::Create() {
    ComPtr<IXMLDOMDocument> document;
    HRESULT hr = CoCreateInstance(kDomDocumentClass, nullptr, kAllContexts, kDomDocumentInterface,
                                  document.PutVoid());
    if (FAILED(hr) || !document) {
        return false;
    }
    // A load is complete when it returns, accepts any well-formed file and reaches
    // out for nothing the file names (DTDs): the same reader as on Linux.
    document->put_async(VARIANT_FALSE);
    document->put_validateOnParse(VARIANT_FALSE);
    document->put_resolveExternals(VARIANT_FALSE);
    LimitDepth(document.Get());
    impl_->document = std::move(document);
    return true;
}

XmlElement XmlDocument::CreateElement(const LChar* name) {
    XmlElement element;
    if (!impl_->document) {
        return element;
    }
    auto impl = std::make_unique<XmlElement::Impl>();
    {
        ComString bstr(name);
        impl_->document->createElement(bstr.Get(), impl->element.Put());
    }
    if (impl->element) {
        element.impl_ = std::move(impl);
    }
    return element;
}

void XmlDocument::AppendChild(const XmlElement& root) {
    if (!impl_->document || root.IsNull()) {
        return;
    }
    impl_->document->appendChild(root.impl_->element.Get(), nullptr);
}

XmlElement XmlDocument::DocumentElement() const {
    XmlElement element;
    if (!impl_->document) {
        return element;
    }
    auto impl = std::make_unique<XmlElement::Impl>();
    impl_->document->get_documentElement(impl->element.Put());
    if (impl->element) {
        element.impl_ = std::move(impl);
    }
    return element;
}

// The DOM reads and writes streams, and the file itself is read and written by the
// program: the DOM's own file access stops at MAX_PATH, and a program folder may lie
// deeper.
bool XmlDocument::ToBytes(std::string& bytes) const {
    if (!impl_->document || !DeclareUtf8(impl_->document.Get())) {
        return false;
    }
    ComPtr<IStream> stream = StreamOf(std::string());
    if (!stream) {
        return false;
    }
    {
        ComVariant destination = ComVariant::FromUnknown(stream.Get());
        if (FAILED(impl_->document->save(destination.Get()))) {
            return false;
        }
    }
    return BytesOf(stream.Get(), bytes);
}

bool XmlDocument::FromBytes(const std::string& bytes) {
    if (!impl_->document) {
        return false;
    }
    if (bytes.size() > kLargestXmlFile || HoldsNullCharacter(bytes) || !WithinMarkupLimits(bytes)) {
        return false;
    }
    ComPtr<IStream> stream = StreamOf(bytes);
    if (!stream) {
        return false;
    }
    ComVariant source = ComVariant::FromUnknown(stream.Get());
    VARIANT_BOOL loaded = VARIANT_FALSE;
    HRESULT hr = impl_->document->load(source.Get(), &loaded);
    return SUCCEEDED(hr) && loaded != VARIANT_FALSE;
}
