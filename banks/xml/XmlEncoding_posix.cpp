#include <libxml/encoding.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <memory>

#include "XmlEncoding.h"

namespace {

struct HandlerClose {
    void operator()(xmlCharEncodingHandler* handler) const { xmlCharEncCloseFunc(handler); }
};
struct BufferFree {
    void operator()(xmlBuffer* buffer) const { xmlBufferFree(buffer); }
};
using Buffer = std::unique_ptr<xmlBuffer, BufferFree>;

// A conversion error would reach the user's console beside the program's message.
void IgnoreMessage(void*, const char*, ...) {}

}  // namespace

// The handler the parser itself takes for the name, through the same conversion.
bool ConvertToUtf8(const std::string& encoding, const std::string& bytes, std::string& utf8) {
    if (bytes.size() > INT_MAX / 4) {
        return false;
    }
    xmlSetGenericErrorFunc(nullptr, IgnoreMessage);
    std::unique_ptr<xmlCharEncodingHandler, HandlerClose> handler(
        xmlFindCharEncodingHandler(encoding.c_str()));
    Buffer in(xmlBufferCreateSize(bytes.size() + 1));
    Buffer out(xmlBufferCreateSize(bytes.size() + 1));
    if (!handler || !in || !out ||
        xmlBufferAdd(in.get(), reinterpret_cast<const xmlChar*>(bytes.data()),
                     static_cast<int>(bytes.size())) != 0) {
        return false;
    }
    // Each call converts as much as the output has room for.
    while (xmlBufferLength(in.get()) > 0) {
        const int left = xmlBufferLength(in.get());
        if (xmlCharEncInFunc(handler.get(), out.get(), in.get()) < 0 ||
            xmlBufferLength(in.get()) == left) {
            return false;  // bytes that are no text in the encoding, or cut short
        }
    }
    utf8.assign(reinterpret_cast<const char*>(xmlBufferContent(out.get())),
                static_cast<std::size_t>(xmlBufferLength(out.get())));
    return true;
}
