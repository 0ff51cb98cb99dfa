#include "xml/ElementParser.h"

#include "xml/ResultLog.h"

namespace ferrow {

std::int32_t ElementParser::ParseElements(std::int32_t base) {
    m_base = base;
    m_baseLevel = m_index.EntryAt(base).Level();
    m_first = 0;
    m_openTags.Clear();
    TokenScanner scanner(m_text, 0);
    NodeToken token;
    for (;;) {
        scanner.SkipCharacterData(); // it holds no element
        const std::int32_t closed = EndOfInnermostEndTag(scanner.Position());
        if (closed != 0) {
            CloseInnermost(scanner.Position(), closed);
            scanner.SetPosition(closed);
            continue;
        }
        switch (scanner.NextToken(token)) {
        case TokenKind::StartTag:
            OpenElement(token, scanner);
            break;
        case TokenKind::EndTag:
            CloseElement(token, scanner);
            break;
        case TokenKind::MarkupError:
            RecordSyntaxFaults(token.results);
            break;
        case TokenKind::EndOfText:
            if (m_openTags.Depth() > 0) {
                CloseUnended(0, static_cast<std::int32_t>(m_text.size()));
            }
            return m_first;
        default:
            break; // text, comments, processing instructions, CDATA, document type
        }
    }
}

inline void ElementParser::OpenElement(const NodeToken& token, const TokenScanner& scanner) {
    const std::uint32_t level = m_baseLevel + static_cast<std::uint32_t>(m_openTags.Depth());
    // Markup the packed fields cannot hold stays out of the index.
    if (token.length > kMaxStartTagLength) {
        RecordFault(ResultName::StartTagTooLong, token.start);
        return;
    }
    if (level > kMaxLevel) {
        RecordFault(ResultName::NestingTooDeep, token.start);
        return;
    }

    const std::int32_t parent = Innermost();
    const std::int32_t element = m_index.NewEntry();
    if (m_first == 0) {
        m_first = element;
    }
    ElementEntry& entry = m_index.EntryAt(element);
    entry.start = token.start;
    entry.length = token.length;
    entry.SetTagLengths(token.length, 0);
    AppendChild(parent, element, level);

    if (!token.empty) {
        m_openTags.Push(
            {element, scanner.NameStart(), scanner.NameEnd() - scanner.NameStart() + 1});
    }
}

inline void ElementParser::AppendChild(std::int32_t parent, std::int32_t element,
                                       std::uint32_t level) {
    ElementEntry& entry = m_index.EntryAt(element);
    entry.parent = parent;
    entry.firstChild = 0;
    entry.nextSibling = 0;
    ElementEntry& parentEntry = m_index.EntryAt(parent);
    if (parentEntry.firstChild == 0) {
        parentEntry.firstChild = element;
        entry.previousSibling = element;
        entry.flagsAndLevel = FirstChild | level;
        return;
    }
    // The first child's previousSibling is the last child, which element now follows.
    ElementEntry& first = m_index.EntryAt(parentEntry.firstChild);
    const std::int32_t last = first.previousSibling;
    m_index.EntryAt(last).nextSibling = element;
    entry.previousSibling = last;
    first.previousSibling = element;
    entry.flagsAndLevel = level;
}

std::int32_t ElementParser::EndOfInnermostEndTag(std::int32_t at) const {
    if (m_openTags.Depth() == 0) {
        return 0;
    }
    // The name compared holds no NUL, so the text's end stops the comparison early.
    const OpenTag& innermost = m_openTags.Top();
    const char16_t* const tag = m_text.data() + at;
    const char16_t* const name = m_text.data() + innermost.nameStart;
    const std::int32_t length = innermost.nameLength;
    if (tag[0] != u'<' || tag[1] != u'/' || length + 3 > kMaxEndTagLength) {
        return 0;
    }
    for (std::int32_t k = 0; k < length; ++k) {
        if (tag[2 + k] != name[k]) {
            return 0;
        }
    }
    return tag[2 + length] == u'>' ? at + length + 3 : 0;
}

void ElementParser::CloseInnermost(std::int32_t start, std::int32_t end) {
    ElementEntry& entry = m_index.EntryAt(m_openTags.Top().element);
    entry.length = end - entry.start;
    entry.SetTagLengths(entry.StartTagLength(), end - start);
    m_openTags.Pop();
}

inline void ElementParser::CloseElement(const NodeToken& token, const TokenScanner& scanner) {
    if (token.length > kMaxEndTagLength) {
        RecordFault(ResultName::EndTagTooLong, token.start);
        return;
    }
    std::int32_t position = m_openTags.Depth();
    while (position > 0 && !scanner.MatchName(NameOf(m_openTags.At(position)))) {
        --position;
    }
    if (position == 0) {
        MarkFault();
        AddResult(m_log, ResultName::LoneEndTag,
                  ResultText{ResultTextAttribute::TagName, scanner.Name()}, token.start, -1);
        return;
    }

    ElementEntry& entry = m_index.EntryAt(m_openTags.At(position).element);
    entry.length = token.start + token.length - entry.start;
    entry.SetTagLengths(entry.StartTagLength(), token.length);
    if (position < m_openTags.Depth()) {
        CloseUnended(position, scanner.NameStart() - 1); // where the end tag's '/' stands
    }
    m_openTags.Pop();
}

void ElementParser::CloseUnended(std::int32_t keptDepth, std::int32_t closedAt) {
    m_index.EntryAt(m_base).Set(IllFormed);
    const std::int32_t keeper = keptDepth > 0 ? m_openTags.At(keptDepth).element : m_base;
    if (ShrinkUnended(keptDepth, closedAt)) {
        m_index.EntryAt(keeper).Set(ErrorInside);
    }
    LiftChildren(keptDepth, keeper);
    while (m_openTags.Depth() > keptDepth) {
        m_openTags.Pop();
    }
}

bool ElementParser::ShrinkUnended(std::int32_t keptDepth, std::int32_t closedAt) {
    // Innermost first: each element shrinks to its start tag and its fault mark moves
    // out to its parent, and so on up to the keeper.
    bool errorInside = false;
    for (std::int32_t position = m_openTags.Depth(); position > keptDepth; --position) {
        const OpenTag& tag = m_openTags.At(position);
        ElementEntry& entry = m_index.EntryAt(tag.element);
        entry.SetTagLengths(entry.StartTagLength(), 0);
        entry.Set(Unended);
        entry.length = entry.StartTagLength();
        errorInside = errorInside || entry.Has(ErrorInside);
        entry.Clear(ErrorInside);
        AddResult(m_log, ResultName::UnendedStartTag,
                  ResultText{ResultTextAttribute::TagName, NameOf(tag)}, entry.start, closedAt);
    }
    return errorInside;
}

void ElementParser::LiftChildren(std::int32_t keptDepth, std::int32_t keeper) {
    // The children of each closed element follow it as siblings. Closing them one by one
    // lifts the children a level at a time; the end result, built here in one pass, is
    // one chain under the keeper: each closed element followed by its former children,
    // the next closed element being the last of those.
    const std::int32_t depth = m_openTags.Depth();
    const std::int32_t innermost = m_openTags.At(depth).element;
    const std::int32_t innermostFirst = m_index.EntryAt(innermost).firstChild;
    const std::int32_t chainLast =
        innermostFirst != 0 ? m_index.EntryAt(innermostFirst).previousSibling : innermost;
    for (std::int32_t position = keptDepth + 1; position <= depth; ++position) {
        const std::int32_t element = m_openTags.At(position).element;
        ElementEntry& entry = m_index.EntryAt(element);
        const std::int32_t formerFirst = entry.firstChild;
        if (formerFirst != 0) {
            entry.firstChild = 0;
            entry.nextSibling = formerFirst;
            m_index.EntryAt(formerFirst).previousSibling = element;
        }
    }
    // Every closed element was the last child of its parent, as everything opened after
    // it lies inside it; so the chain ends the keeper's children.
    m_index.EntryAt(m_index.EntryAt(keeper).firstChild).previousSibling = chainLast;
    for (std::int32_t element = m_openTags.At(keptDepth + 1).element; element != 0;
         element = m_index.EntryAt(element).nextSibling) {
        m_index.EntryAt(element).parent = keeper;
    }
}

void ElementParser::MarkFault() {
    m_index.EntryAt(m_base).Set(IllFormed);
    m_index.EntryAt(Innermost()).Set(ErrorInside);
}

void ElementParser::RecordSyntaxFaults(const std::vector<SyntaxFault>& faults) {
    MarkFault();
    for (const SyntaxFault& fault : faults) {
        AddResult(m_log, fault.name,
                  fault.kindWord != nullptr
                      ? std::optional<ResultText>({ResultTextAttribute::Type, fault.kindWord})
                      : std::nullopt,
                  fault.offset, -1);
    }
}

void ElementParser::RecordFault(TextArg name, std::int32_t offset) {
    MarkFault();
    AddResult(m_log, name, std::nullopt, offset, -1);
}

} // namespace ferrow
