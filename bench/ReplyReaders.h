#pragma once

#include "xml/CXmlDoc.h"

#include <pugixml.hpp>
#include <rapidxml/rapidxml.hpp>
#include <string>
#include <string_view>
#include <tinyxml2.h>
#include <vector>

namespace ferrow::bench {

// The five fields of a reply, as every reader hands them out: owned strings with
// references resolved.
template <typename String> struct ReplyFields {
    String manufacture, model, ip, mac, httpPort;
    bool operator==(const ReplyFields&) const = default;
};

// Each reader keeps one document and reuses it for every text. Read() is what the
// program does with a reply: load, find "XNR", take the five children's text. Parse()
// only loads. Both return false for a text the reader rejects.

class FerrowReader {
public:
    bool Read(const std::u16string& text, ReplyFields<std::u16string>& fields);
    bool Parse(const std::u16string& text) { return m_doc.LoadText(std::u16string_view(text)); }

private:
    CXmlDoc m_doc;
};

class PugiReader {
public:
    bool Read(std::string_view xml, ReplyFields<std::string>& fields);
    bool Parse(std::string_view xml);

private:
    pugi::xml_document m_doc;
};

class RapidReader {
public:
    bool Read(std::string_view xml, ReplyFields<std::string>& fields);
    bool Parse(std::string_view xml);

private:
    std::vector<char> m_buffer; // parsed in place, so a copy of the text
    rapidxml::xml_document<> m_doc;
};

class TinyReader {
public:
    bool Read(std::string_view xml, ReplyFields<std::string>& fields);
    bool Parse(std::string_view xml);

private:
    tinyxml2::XMLDocument m_doc;
};

} // namespace ferrow::bench
