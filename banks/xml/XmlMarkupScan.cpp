#include "XmlMarkupScan.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "XmlMarkupLimits.h"

std::size_t MarkupView::Past(std::size_t at, const char* text) const {
    for (; at < size_; ++at) {
        if (At(at, text)) {
            return at + std::strlen(text);
        }
    }
    return size_;
}

namespace {

// Counts saturate just past their limit, where counting can stop.
constexpr uint64_t kTooMuchText = static_cast<uint64_t>(kMostXmlEntityText) + 1;

uint64_t CappedSum(uint64_t a, uint64_t b) {
    return std::min(a + b, kTooMuchText);
}

uint64_t CappedProduct(uint64_t times, uint64_t length) {
    return length != 0 && times > kTooMuchText / length ? kTooMuchText
                                                        : std::min(times * length, kTooMuchText);
}

// A name as the document spells it, code unit by code unit, so that two names are
// the same exactly when the parser takes them for the same.
using Name = std::u16string;

// References by name, with how often each is made.
using References = std::unordered_map<Name, uint64_t>;

// What an internal entity stands for: its characters besides references, and the
// references its replacement text makes.
struct Entity {
    bool external = false;
    uint64_t plain = 0;
    References references;
    enum class Measure { kNot, kUnder, kDone } measure = Measure::kNot;
    uint64_t length = 0;
};

// The defaults an attribute-list declaration gives an element's attributes: each
// becomes an attribute of every such element (the DOM's parser adds them), and each
// entity reference in a default value a node of its own there.
struct Defaults {
    uint64_t count = 0;  // nodes: the attributes and the references in their values
    References references;
    // What the references stand for, measured once: elements come after the
    // declarations, and entities do not change.
    bool measured = false;
    uint64_t text = 0;
};

bool IsPredefined(const Name& name) {
    return name == u"lt" || name == u"gt" || name == u"amp" || name == u"apos" || name == u"quot";
}

// A character reference from `at` ('#') to just past its ';', with the character it
// stands for. False when it is no character reference.
bool ReadCharacterReference(const MarkupView& view, std::size_t& at, uint32_t& character) {
    ++at;
    const bool hex = view[at] == 'x';
    at += hex ? 1 : 0;
    const std::size_t first = at;
    for (; at < view.Size() && view[at] != ';'; ++at) {
        const char ch = view[at];
        uint32_t digit = 0;
        if (ch >= '0' && ch <= '9') {
            digit = static_cast<uint32_t>(ch - '0');
        } else if (hex && ((ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F'))) {
            digit = static_cast<uint32_t>((ch | 0x20) - 'a' + 10);
        } else {
            return false;
        }
        // Past U+10FFFF it is no character; it stays past it.
        character = std::min<uint32_t>(character * (hex ? 16 : 10) + digit, 0x110000);
    }
    if (at == first || view[at] != ';') {
        return false;
    }
    ++at;
    return true;
}

// Walks a document's markup without parsing it, counting what a parser would build
// or spend time on out of proportion to the file's size. Entities may stand for
// text only, so that all markup is in the file itself, where it is counted.
class MarkupScan {
public:
    explicit MarkupScan(const MarkupView& view) : view_(view) {}

    bool WithinLimits(std::size_t at) {
        while (IsXmlSpace(view_[at])) {
            ++at;
        }
        if (view_[at] != '<') {
            return false;
        }
        while (at < view_.Size()) {
            if (!Next(at)) {
                return false;
            }
        }
        return true;
    }

private:
    bool Next(std::size_t& at) {
        const char ch = view_[at];
        if (ch == '&') {
            return Reference(at);
        }
        if (ch != '<') {
            ++at;
            return true;
        }
        if (view_.At(at, "<!--")) {
            at = view_.Past(at + 4, "-->");
            return Node(1);
        }
        if (view_.At(at, "<![CDATA[")) {
            at = view_.Past(at + 9, "]]>");
            return Node(1);
        }
        if (view_.At(at, "<?")) {
            at = view_.Past(at + 2, "?>");
            return Node(1);
        }
        if (view_.At(at, "<!DOCTYPE")) {
            return DocumentType(at);
        }
        if (view_.At(at, "</")) {
            depth_ = depth_ > 0 ? depth_ - 1 : 0;
            at = SkipMarkup(at + 2);
            return true;
        }
        if (view_.At(at, "<!")) {
            return false;  // no other declaration belongs outside the document type
        }
        return StartTag(at);
    }

    bool Node(uint64_t count) {
        nodes_ += count;
        return nodes_ <= static_cast<uint64_t>(kMostXmlNodes);
    }

    bool EntityText(uint64_t length) {
        entityText_ = CappedSum(entityText_, length);
        return entityText_ <= kMostXmlEntityText;
    }

    // The name that starts at `at`, up to a space or one of the stops.
    Name ReadName(std::size_t& at, const char* stops) const {
        Name name;
        for (; at < view_.Size(); ++at) {
            const char ch = view_[at];
            if (IsXmlSpace(ch) || std::strchr(stops, ch) != nullptr) {
                break;
            }
            name += static_cast<char16_t>(view_.Unit(at));
        }
        return name;
    }

    void SkipSpace(std::size_t& at) const {
        while (IsXmlSpace(view_[at])) {
            ++at;
        }
    }

    // Just past the closing quotation mark of the value that opens at `at`.
    std::size_t SkipQuoted(std::size_t at) const {
        const char quote = view_[at];
        for (++at; at < view_.Size() && view_[at] != quote; ++at) {
        }
        return at + 1;
    }

    // Just past the '>' that ends a declaration or an end tag, quoted values skipped.
    std::size_t SkipMarkup(std::size_t at) const {
        while (at < view_.Size() && view_[at] != '>') {
            at = view_[at] == '"' || view_[at] == '\'' ? SkipQuoted(at) : at + 1;
        }
        return at + 1;
    }

    // A reference at `at` ('&'): a character reference stands for one character of
    // text; an entity reference is a node, and stands for the entity's text.
    bool Reference(std::size_t& at) {
        ++at;
        if (view_[at] == '#') {
            return true;
        }
        Name name;
        if (!ReferenceName(at, name)) {
            return true;  // no reference: the parser refuses the bare '&'
        }
        if (IsPredefined(name)) {
            return true;  // a character of the text
        }
        return Node(1) && EntityText(Length(name));
    }

    // The name of an entity reference from `at`, just past its '&', to just past its
    // ';'. False when no ';' ends it.
    bool ReferenceName(std::size_t& at, Name& name) const {
        std::size_t end = at;
        name = ReadName(end, "&;<>\"'%=");
        if (view_[end] != ';' || name.empty()) {
            return false;
        }
        at = end + 1;
        return true;
    }

    bool StartTag(std::size_t& at) {
        ++at;
        const Name element = ReadName(at, "/>\"'=");
        uint64_t attributes = 0;
        bool empty = false;
        while (at < view_.Size() && view_[at] != '>') {
            const char ch = view_[at];
            if (ch == '"' || ch == '\'') {
                if (!Value(at)) {
                    return false;
                }
                empty = false;
                continue;
            }
            attributes += ch == '=' ? 1 : 0;
            empty = ch == '/';
            ++at;
        }
        ++at;
        if (attributes > static_cast<uint64_t>(kMostXmlAttributes)) {
            return false;
        }
        if (!empty && ++depth_ > kLargestXmlDepth) {
            return false;
        }
        uint64_t defaults = 0;
        uint64_t defaultText = 0;
        const auto declared = defaults_.find(element);
        if (declared != defaults_.end()) {
            Defaults& given = declared->second;
            if (!given.measured) {
                given.text = Length(given.references);
                given.measured = true;
            }
            defaults = given.count;
            defaultText = given.text;
        }
        return Node(1 + attributes + defaults) && EntityText(defaultText);
    }

    // An attribute's value, quotation marks included: each entity reference in it is
    // a node and stands for its entity's text.
    bool Value(std::size_t& at) {
        const char quote = view_[at];
        for (++at; at < view_.Size() && view_[at] != quote;) {
            if (view_[at] == '&') {
                if (!Reference(at)) {
                    return false;
                }
            } else {
                ++at;
            }
        }
        ++at;
        return true;
    }

    // The document type and its internal subset. A parameter entity is refused,
    // since what it stands for is not counted.
    bool DocumentType(std::size_t& at) {
        for (at += 9; at < view_.Size() && view_[at] != '[' && view_[at] != '>';) {
            at = view_[at] == '"' || view_[at] == '\'' ? SkipQuoted(at) : at + 1;
        }
        if (view_[at] != '[') {
            ++at;
            return true;
        }
        for (++at; at < view_.Size();) {
            if (view_[at] == ']') {
                at = SkipMarkup(at);
                return true;
            } else if (view_[at] == '%') {
                return false;
            } else if (view_.At(at, "<!--")) {
                at = view_.Past(at + 4, "-->");
            } else if (view_.At(at, "<?")) {
                at = view_.Past(at + 2, "?>");
            } else if (view_.At(at, "<!ENTITY")) {
                if (!EntityDeclaration(at)) {
                    return false;
                }
            } else if (view_.At(at, "<!ATTLIST")) {
                if (!AttributeList(at)) {
                    return false;
                }
            } else if (view_[at] == '<') {
                at = SkipMarkup(at + 1);
            } else {
                ++at;
            }
        }
        return true;
    }

    // An entity declaration. An internal general entity whose replacement text would
    // hold markup is refused; the first declaration of a name is the one that holds.
    bool EntityDeclaration(std::size_t& at) {
        at += 8;
        SkipSpace(at);
        if (view_[at] == '%') {
            return false;
        }
        const Name name = ReadName(at, "\"'>");
        SkipSpace(at);
        Entity entity;
        if (view_[at] == '"' || view_[at] == '\'') {
            if (IsPredefined(name) ? !PredefinedValue(at, name) : !EntityValue(at, entity)) {
                return false;
            }
        } else {
            entity.external = true;  // nothing outside the file is ever read
        }
        at = SkipMarkup(at);
        entities_.emplace(name, std::move(entity));
        return true;
    }

    // The literal value of an internal entity: its replacement text is the value
    // with character references replaced, and may hold no '<'. A character reference
    // to '&' would make a reference of the text after it, and is refused too.
    bool EntityValue(std::size_t& at, Entity& entity) {
        const char quote = view_[at];
        for (++at; at < view_.Size() && view_[at] != quote;) {
            const char ch = view_[at];
            if (ch == '<' || ch == '%') {
                return false;
            }
            if (ch != '&') {
                ++entity.plain;
                ++at;
                continue;
            }
            ++at;
            if (view_[at] == '#') {
                uint32_t character = 0;
                if (!ReadCharacterReference(view_, at, character) || character == '<' ||
                    character == '&') {
                    return false;
                }
                ++entity.plain;
                continue;
            }
            Name name;
            if (!ReferenceName(at, name)) {
                return false;
            }
            ++entity.references[name];
        }
        ++at;
        return true;
    }

    // A predefined entity may be declared, as the character it stands for or a
    // character reference to it; references to it stand for that character, as the
    // parsers take it whatever the declaration.
    bool PredefinedValue(std::size_t& at, const Name& name) const {
        static const struct {
            const char16_t* name;
            char character;
        } kPredefined[] = {
            {u"lt", '<'}, {u"gt", '>'}, {u"amp", '&'}, {u"apos", '\''}, {u"quot", '"'}};
        char character = 0;
        for (const auto& predefined : kPredefined) {
            character = name == predefined.name ? predefined.character : character;
        }
        const char quote = view_[at];
        std::string text;  // as far as it can be one of the forms
        for (++at; at < view_.Size() && view_[at] != quote;) {
            uint32_t referred = 0;
            char ch = view_[at];
            if (ch == '&' && view_[at + 1] == '#' &&
                ReadCharacterReference(view_, ++at, referred)) {
                ch = referred < 0x80 ? static_cast<char>(referred) : MarkupView::kOther;
            } else {
                ++at;
            }
            text += text.size() < 16 ? std::string(1, ch) : std::string();
        }
        ++at;
        if (text.size() == 1) {
            return text[0] == character && character != '<' && character != '&';
        }
        const MarkupView reference(text, 1, 0);
        std::size_t end = 1;
        uint32_t referred = 0;
        return text.compare(0, 2, "&#") == 0 && ReadCharacterReference(reference, end, referred) &&
               end == text.size() && referred == static_cast<uint32_t>(character);
    }

    // An attribute-list declaration: each attribute definition ends in #REQUIRED,
    // #IMPLIED or a default value, and every one counts against the limit for all
    // definitions; a default value also counts as an attribute of every element of
    // the type, with the entity references it makes.
    bool AttributeList(std::size_t& at) {
        at += 9;
        SkipSpace(at);
        Defaults& defaults = defaults_[ReadName(at, "\"'>")];
        while (at < view_.Size() && view_[at] != '>') {
            if (view_[at] == '"' || view_[at] == '\'') {
                ++declared_;
                ++defaults.count;
                if (!DefaultValue(at, defaults)) {
                    return false;
                }
            } else {
                declared_ += view_.At(at, "#REQUIRED") || view_.At(at, "#IMPLIED") ? 1 : 0;
                ++at;
            }
            if (declared_ > kMostXmlAttributes) {
                return false;
            }
        }
        ++at;
        return true;
    }

    // A default value: each entity reference in it is a node of every element that
    // takes the default, and stands for its entity's text there.
    bool DefaultValue(std::size_t& at, Defaults& defaults) const {
        const char quote = view_[at];
        for (++at; at < view_.Size() && view_[at] != quote;) {
            Name name;
            if (view_[at] == '&' && view_[at + 1] != '#' && ReferenceName(++at, name)) {
                ++defaults.references[name];
                ++defaults.count;
            } else {
                ++at;
            }
        }
        ++at;
        return true;
    }

    // How long the text is that all the references stand for.
    uint64_t Length(const References& references) {
        uint64_t length = 0;
        for (const auto& reference : references) {
            length = CappedSum(length, CappedProduct(reference.second, Length(reference.first)));
        }
        return length;
    }

    // The text an entity reference stands for, its entities' texts included: an
    // entity outside the file and an undeclared one stand for nothing, a predefined
    // one for its character. An entity that refers to itself stands for too much.
    uint64_t Length(const Name& name) {
        const auto found = entities_.find(name);
        if (found == entities_.end() || IsPredefined(name)) {
            return IsPredefined(name) ? 1 : 0;
        }
        return Measure(found->second);
    }

    // Measured without recursion, since entities may refer to each other a million
    // deep: each frame adds up its entity's references one after the other.
    uint64_t Measure(Entity& outermost) {
        struct Frame {
            Entity* entity;
            References::const_iterator next;
            uint64_t length;
            uint64_t times;  // how often the entity below, being measured, is referred to
        };
        std::vector<Frame> frames;
        const auto open = [&frames](Entity& entity) {
            entity.measure = Entity::Measure::kUnder;
            frames.push_back(Frame{&entity, entity.references.begin(), entity.plain, 0});
        };
        if (outermost.external || outermost.measure == Entity::Measure::kDone) {
            return outermost.external ? 0 : outermost.length;
        }
        open(outermost);
        while (!frames.empty()) {
            Frame& frame = frames.back();
            if (frame.next == frame.entity->references.end()) {
                frame.entity->length = frame.length;
                frame.entity->measure = Entity::Measure::kDone;
                const uint64_t length = frame.length;
                frames.pop_back();
                if (!frames.empty()) {
                    frames.back().length =
                        CappedSum(frames.back().length, CappedProduct(frames.back().times, length));
                }
                continue;
            }
            const Name& name = frame.next->first;
            const uint64_t times = frame.next->second;
            ++frame.next;
            const auto found = entities_.find(name);
            if (found == entities_.end() || IsPredefined(name) || found->second.external) {
                frame.length = CappedSum(frame.length, IsPredefined(name) ? times : 0);
            } else if (found->second.measure == Entity::Measure::kDone) {
                frame.length = CappedSum(frame.length, CappedProduct(times, found->second.length));
            } else if (found->second.measure == Entity::Measure::kUnder) {
                frame.length = kTooMuchText;
            } else {
                frame.times = times;
                open(found->second);
            }
        }
        return outermost.length;
    }

    const MarkupView& view_;
    uint64_t nodes_ = 0;
    uint64_t entityText_ = 0;
    int32_t depth_ = 0;
    int32_t declared_ = 0;
    std::unordered_map<Name, Entity> entities_;
    std::unordered_map<Name, Defaults> defaults_;
};

}  // namespace

bool MarkupWithinLimits(const MarkupView& view, std::size_t start) {
    return MarkupScan(view).WithinLimits(start);
}
