#include "xml/CXmlDoc.h"

#include "xml/CharScan.h"
#include "xml/ElementParser.h"
#include "xml/EntityCodec.h"
#include "xml/MarkupUnits.h"
#include "xml/ResultLog.h"
#include "xml/TokenScanner.h"

#include <algorithm>
#include <string_view>

namespace ferrow {

namespace {

// The text of content in which comments, processing instructions, CDATA sections or stray
// tags stand, taken token by token: text runs resolved, CDATA verbatim, the rest left out.
std::u16string TextAmongMarkup(const std::u16string& text, std::int32_t contentStart,
                               std::int32_t contentEnd) {
    std::u16string result;
    TokenScanner scanner(text, contentStart);
    NodeToken token;
    while (scanner.Position() < contentEnd) {
        switch (scanner.NextToken(token)) {
        case TokenKind::TextRun:
            AppendResolved(result, text.data() + token.start, token.length);
            break;
        case TokenKind::CDataSection: {
            // The inside of <![CDATA[...]]>; a section too short for its keyword has none.
            const std::int32_t end = token.start + token.length - 3;
            const std::int32_t begin = std::min(token.start + 9, end);
            result.append(text.data() + begin, static_cast<std::size_t>(end - begin));
            break;
        }
        default:
            break; // whitespace-only runs and other markup add nothing
        }
    }
    return result;
}

// The length of text up to its first NUL, if any. The length is known, so the search may
// go a block at a time.
std::size_t LengthUpToNul(std::u16string_view text) {
    const auto size = static_cast<std::int32_t>(std::min<std::size_t>(text.size(), INT32_MAX));
    const auto end = static_cast<std::size_t>(FindFirstOf<u'\0'>(text.data(), 0, size));
    return std::min(end, text.size());
}

} // namespace

CXmlDoc::CXmlDoc() {
    LoadText(nullptr);
}

bool CXmlDoc::LoadText(TextArg text) {
    // Measured one unit at a time: a caller's text may end anywhere, and nothing past
    // its NUL may be read.
    return LoadTextUpToNul(std::u16string_view(text != nullptr ? text : u""));
}

bool CXmlDoc::LoadText(std::u16string_view text) {
    return LoadTextUpToNul(text.substr(0, LengthUpToNul(text)));
}

bool CXmlDoc::LoadText(std::u16string&& text) {
    text.resize(LengthUpToNul(text));
    if (text.size() > kMaxTextLength) {
        return LoadTextUpToNul(text); // refuses it
    }
    m_results.clear();
    m_text = std::move(text);
    return Parse();
}

bool CXmlDoc::LoadTextUpToNul(std::u16string_view source) {
    m_results.clear();
    if (source.size() > kMaxTextLength) {
        m_text.clear();
        Parse();
        AddResult(m_results, ResultName::TextTooLong, std::nullopt, -1, -1);
        return false;
    }
    m_text.assign(source);
    return Parse();
}

bool CXmlDoc::Parse() {
    SetPosition(0, 0, 0);
    const auto length = static_cast<std::int32_t>(m_text.size());
    m_index.ResetEntries();
    m_index.ReserveEntries(length / 64 + 8);
    ElementEntry& document = m_index.EntryAt(0);
    document = ElementEntry{};

    if (length != 0) {
        ElementParser parser(m_text, m_index, m_results, m_openTags);
        const std::int32_t first = parser.ParseElements(0);
        ElementEntry& root = m_index.EntryAt(0);
        root.length = length;
        if (first == 0) {
            AddResult(m_results, ResultName::NoRootElement, std::nullopt, -1, -1);
        } else {
            root.firstChild = first;
            if (m_index.EntryAt(first).nextSibling != 0) {
                AddResult(m_results, ResultName::RootHasSibling, std::nullopt, -1, -1);
            }
        }
    }
    SetPosition(0, 0, 0);
    return CheckWellFormed();
}

bool CXmlDoc::CheckWellFormed() const {
    const ElementEntry& document = m_index.EntryAt(0);
    return !document.Has(IllFormed) && document.firstChild != 0 &&
           m_index.EntryAt(document.firstChild).nextSibling == 0;
}

void CXmlDoc::SetPosition(std::int32_t parent, std::int32_t current, std::int32_t child) {
    m_parent = parent;
    m_current = current;
    m_child = child;
}

std::int32_t CXmlDoc::FindSibling(std::int32_t parent, std::int32_t current, TextArg name) const {
    std::int32_t candidate =
        current != 0 ? m_index.EntryAt(current).nextSibling : m_index.EntryAt(parent).firstChild;
    if (name == nullptr || name[0] == 0) {
        return candidate;
    }
    const NameMatcher wanted(m_text, name);
    for (; candidate != 0; candidate = m_index.EntryAt(candidate).nextSibling) {
        // A start tag's name begins right after its '<'.
        if (wanted.MatchesAt(m_index.EntryAt(candidate).start + 1)) {
            return candidate;
        }
    }
    return 0;
}

std::u16string_view CXmlDoc::TagName(std::int32_t i) const {
    // A start tag's name begins right after its '<' and ends at its first delimiter.
    const std::int32_t nameStart = m_index.EntryAt(i).start + 1;
    std::int32_t nameEnd = nameStart;
    while (
        !markup_units::Is(m_text[static_cast<std::size_t>(nameEnd)], markup_units::ReadNameEnd)) {
        ++nameEnd;
    }
    return std::u16string_view(m_text).substr(static_cast<std::size_t>(nameStart),
                                              static_cast<std::size_t>(nameEnd - nameStart));
}

std::int32_t CXmlDoc::FindChildByLocalName(std::int32_t parent, std::u16string_view localName,
                                           std::int32_t after) const {
    if (m_index.Capacity() == 0) {
        return 0;
    }
    std::int32_t candidate =
        after != 0 ? m_index.EntryAt(after).nextSibling : m_index.EntryAt(parent).firstChild;
    for (; candidate != 0; candidate = m_index.EntryAt(candidate).nextSibling) {
        const std::u16string_view name = TagName(candidate);
        const std::size_t colon = name.rfind(u':');
        if (name.substr(colon == std::u16string_view::npos ? 0 : colon + 1) == localName) {
            return candidate;
        }
    }
    return 0;
}

bool CXmlDoc::FindElement(TextArg name) {
    if (m_index.Capacity() == 0) {
        return false;
    }
    const std::int32_t found = FindSibling(m_parent, m_current, name);
    if (found == 0) {
        return false;
    }
    SetPosition(m_index.EntryAt(found).parent, found, 0);
    return true;
}

bool CXmlDoc::FindChildElement(TextArg name) {
    if (m_current == 0) {
        FindElement(nullptr);
    }
    const std::int32_t found = FindSibling(m_current, m_child, name);
    if (found == 0) {
        return false;
    }
    const std::int32_t element = m_index.EntryAt(found).parent;
    SetPosition(m_index.EntryAt(element).parent, element, found);
    return true;
}

void CXmlDoc::RewindChildren() {
    SetPosition(m_parent, m_current, 0);
}

std::u16string CXmlDoc::ChildText() const {
    return ElementText(m_child);
}

std::u16string CXmlDoc::ElementText(std::int32_t i) const {
    if (i == 0) {
        return {};
    }
    const ElementEntry& entry = m_index.EntryAt(i);
    if (entry.IsStartTagOnly() || entry.firstChild != 0) {
        return {}; // an element with child elements has no text of its own here
    }
    const std::int32_t contentStart = entry.ContentStart();
    const std::int32_t contentEnd = contentStart + entry.ContentLength();
    const char16_t* const text = m_text.c_str();
    // Most content is plain text: copied as it is, or with its references resolved
    // when it has any, and cut into tokens only when markup stands in it.
    // The end tag's '<' stops the search at the content's end, so it may run in whole
    // blocks up to the end of the text.
    const std::int32_t special =
        FindFirstOf<u'<', u'&'>(text, contentStart, static_cast<std::int32_t>(m_text.size()));
    const std::u16string_view content(text + contentStart,
                                      static_cast<std::size_t>(contentEnd - contentStart));
    if (special >= contentEnd) {
        return std::u16string(content);
    }
    if (content.find(u'<', static_cast<std::size_t>(special - contentStart)) ==
        std::u16string_view::npos) {
        return ResolveReferences(content.data(), static_cast<std::int32_t>(content.size()));
    }
    return TextAmongMarkup(m_text, contentStart, contentEnd);
}

} // namespace ferrow
