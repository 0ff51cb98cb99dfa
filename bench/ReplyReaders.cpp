#include "ReplyReaders.h"

namespace ferrow::bench {

namespace {

template <typename String, typename Name> struct FieldSlot {
    Name name;
    String ReplyFields<String>::*field;
};

constexpr FieldSlot<std::u16string, TextArg> kFerrowSlots[] = {
    {u"Manufacture", &ReplyFields<std::u16string>::manufacture},
    {u"Model", &ReplyFields<std::u16string>::model},
    {u"IP", &ReplyFields<std::u16string>::ip},
    {u"MAC", &ReplyFields<std::u16string>::mac},
    {u"HttpPort", &ReplyFields<std::u16string>::httpPort},
};

constexpr FieldSlot<std::string, const char*> kPeerSlots[] = {
    {"Manufacture", &ReplyFields<std::string>::manufacture},
    {"Model", &ReplyFields<std::string>::model},
    {"IP", &ReplyFields<std::string>::ip},
    {"MAC", &ReplyFields<std::string>::mac},
    {"HttpPort", &ReplyFields<std::string>::httpPort},
};

} // namespace

bool FerrowReader::Read(const std::u16string& text, ReplyFields<std::u16string>& fields) {
    if (!m_doc.LoadText(std::u16string_view(text)) || !m_doc.FindElement(u"XNR")) {
        return false;
    }
    for (const auto& slot : kFerrowSlots) {
        if (m_doc.FindChildElement(slot.name)) {
            fields.*slot.field = m_doc.ChildText();
        }
        m_doc.RewindChildren();
    }
    return true;
}

bool PugiReader::Parse(std::string_view xml) {
    return m_doc.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8);
}

bool PugiReader::Read(std::string_view xml, ReplyFields<std::string>& fields) {
    if (!Parse(xml)) {
        return false;
    }
    const pugi::xml_node root = m_doc.child("XNR");
    if (!root) {
        return false;
    }
    for (const auto& slot : kPeerSlots) {
        if (const pugi::xml_node child = root.child(slot.name)) {
            fields.*slot.field = child.child_value();
        }
    }
    return true;
}

bool RapidReader::Parse(std::string_view xml) {
    m_buffer.assign(xml.begin(), xml.end());
    m_buffer.push_back('\0');
    m_doc.clear();
    try {
        m_doc.parse<rapidxml::parse_default>(m_buffer.data());
    } catch (const rapidxml::parse_error&) {
        return false;
    }
    return true;
}

bool RapidReader::Read(std::string_view xml, ReplyFields<std::string>& fields) {
    if (!Parse(xml)) {
        return false;
    }
    const rapidxml::xml_node<>* root = m_doc.first_node("XNR");
    if (root == nullptr) {
        return false;
    }
    for (const auto& slot : kPeerSlots) {
        if (const rapidxml::xml_node<>* child = root->first_node(slot.name)) {
            (fields.*slot.field).assign(child->value(), child->value_size());
        }
    }
    return true;
}

bool TinyReader::Parse(std::string_view xml) {
    return m_doc.Parse(xml.data(), xml.size()) == tinyxml2::XML_SUCCESS;
}

bool TinyReader::Read(std::string_view xml, ReplyFields<std::string>& fields) {
    if (!Parse(xml)) {
        return false;
    }
    const tinyxml2::XMLElement* root = m_doc.FirstChildElement("XNR");
    if (root == nullptr) {
        return false;
    }
    for (const auto& slot : kPeerSlots) {
        if (const tinyxml2::XMLElement* child = root->FirstChildElement(slot.name)) {
            const char* text = child->GetText();
            fields.*slot.field = text != nullptr ? text : "";
        }
    }
    return true;
}

} // namespace ferrow::bench
