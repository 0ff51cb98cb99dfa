// Loads arbitrary text into a CXmlDoc, checks the index it builds, reads every element
// and walks the document by name, and resolves references over the raw input.
#include "xml/CXmlDoc.h"
#include "xml/EntityCodec.h"
#include "xml/TokenScanner.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace ferrow;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Bytes to UTF-16: 0xFF and the two bytes after it give one unit (high byte first);
// any other byte is a unit of its own value. Seeds stay readable text, and every unit,
// NUL and surrogates included, can be reached.
std::u16string ToUnits(const std::uint8_t* data, std::size_t size) {
    std::u16string units;
    units.reserve(size);
    for (std::size_t k = 0; k < size; ++k) {
        if (data[k] == 0xFF && k + 2 < size) {
            units += static_cast<char16_t>((data[k + 1] << 8) | data[k + 2]);
            k += 2;
        } else {
            units += static_cast<char16_t>(data[k]);
        }
    }
    return units;
}

void CheckReferences(const std::u16string& units) {
    const auto length = static_cast<std::int32_t>(units.size());
    // Resolving only ever shortens: a reference is longer than what it stands for.
    Require(ResolveReferences(units.data(), length).size() <= units.size());
    // Escaped text resolves back to itself.
    const std::u16string plain(units.c_str());
    const std::u16string escaped = EscapeMarkup(plain.c_str(), AttributeMode);
    Require(ResolveReferences(escaped.c_str(), -1) == plain);
}

void CheckIndex(const CXmlDoc& doc) {
    const ElementIndex& index = doc.Index();
    const auto textLength = static_cast<std::int32_t>(doc.Text().size());
    const std::int32_t count = index.NextFree();
    for (std::int32_t i = 1; i < count; ++i) {
        const ElementEntry& entry = index.EntryAt(i);
        Require(entry.start >= 0 && entry.length > 0 && entry.start + entry.length <= textLength);
        Require(doc.Text()[static_cast<std::size_t>(entry.start)] == u'<');
        Require(entry.StartTagLength() + entry.EndTagLength() <= entry.length);
        Require(entry.parent >= 0 && entry.parent < i);
        const std::u16string text = doc.ElementText(i);
        Require(text.size() <= static_cast<std::size_t>(entry.length));
    }
    for (std::int32_t parent = 0; parent < count; ++parent) {
        const std::int32_t first = index.EntryAt(parent).firstChild;
        std::int32_t last = first;
        std::int32_t steps = 0;
        for (std::int32_t child = first; child != 0; child = index.EntryAt(child).nextSibling) {
            Require(child > 0 && child < count && index.EntryAt(child).parent == parent);
            Require(++steps < count);
            last = child;
        }
        Require(first == 0 || index.EntryAt(first).previousSibling == last);
    }
}

// Visits every top-level element and its children through the public search calls.
// The child of parent that a search for name must find: the first whose name token,
// read by the scanner, matches.
std::int32_t ExpectedChild(const CXmlDoc& doc, std::int32_t parent, const std::u16string& name) {
    const ElementIndex& index = doc.Index();
    for (std::int32_t child = index.EntryAt(parent).firstChild; child != 0;
         child = index.EntryAt(child).nextSibling) {
        TokenScanner scanner(doc.Text(), index.EntryAt(child).start + 1);
        if (scanner.ReadName() && scanner.MatchName(std::u16string_view(name))) {
            return child;
        }
    }
    return 0;
}

void Navigate(CXmlDoc& doc, const std::vector<std::u16string>& names) {
    while (doc.FindElement(nullptr)) {
        Require(doc.Child() == 0);
        while (doc.FindChildElement(nullptr)) {
            Require(doc.Index().EntryAt(doc.Child()).parent == doc.Current());
            doc.ChildText();
        }
        for (const std::u16string& name : names) {
            doc.RewindChildren();
            const std::int32_t expected = ExpectedChild(doc, doc.Current(), name);
            Require(doc.FindChildElement(name.c_str()) == (expected != 0));
            if (expected != 0) {
                Require(doc.Child() == expected);
                doc.ChildText();
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string units = ToUnits(data, size);
    CheckReferences(units);

    CXmlDoc doc;
    const bool wellFormed = doc.LoadText(units.c_str());
    Require(wellFormed == doc.CheckWellFormed());
    // Every fault leaves a record; a well-formed document leaves none.
    Require(doc.Text().empty() || wellFormed == doc.ResultLog().empty());
    CheckIndex(doc);

    // The counted form, and a text taken over, read the same text, cut at its first NUL.
    CXmlDoc counted;
    Require(counted.LoadText(std::u16string_view(units)) == wellFormed);
    Require(counted.Text() == doc.Text() && counted.ResultLog() == doc.ResultLog());
    CXmlDoc taken;
    Require(taken.LoadText(std::u16string(units)) == wellFormed);
    Require(taken.Text() == doc.Text() && taken.ResultLog() == doc.ResultLog());

    std::vector<std::u16string> names = {u"XNR", u"Manufacture", u"Model",
                                         u"IP",  u"MAC",         u"HttpPort"};
    for (std::int32_t i = 1; i < doc.Index().NextFree() && names.size() < 16; ++i) {
        TokenScanner scanner(doc.Text().c_str(), doc.Index().EntryAt(i).start + 1);
        if (scanner.ReadName()) {
            // Also names that go on after the name token, which some searches accept.
            const std::u16string name(scanner.Name());
            names.push_back(name);
            names.push_back(name + (i % 2 == 0 ? u" x" : u"[y"));
        }
    }
    Navigate(doc, names);
    return 0;
}
