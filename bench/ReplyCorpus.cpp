#include "ReplyCorpus.h"

#include <array>
#include <random>

namespace ferrow::bench {

namespace {

struct Fields {
    std::string manufacture, model, ip, mac, httpPort;
};

template <std::size_t N>
const std::string& Pick(std::mt19937& random, const std::array<std::string, N>& choices) {
    return choices[random() % N];
}

Fields RandomFields(std::mt19937& random, ReplyKind kind) {
    static const std::array<std::string, 4> plainMakers = {"Ferrow", "Acme Security", "Northwind",
                                                           "Vidcore Systems"};
    static const std::array<std::string, 4> entityMakers = {
        "AT&amp;T &lt;Video&gt;", "Smith &amp; Sons &#x2122;", "&quot;Eagle&quot; &apos;Eye&apos;",
        "Caf&#233; &#38; Co"};
    static const std::array<std::string, 4> foreignMakers = {
        "\xC3\x9C"
        "berwachung GmbH",
        "\xCE\x9A\xCE\xAC\xCE\xBC\xCE\xB5\xCF\x81\xCE\xB1",
        "\xE7\x9B\x91\xE6\x8E\xA7\xE7\xA7\x91\xE6\x8A\x80",
        "S\xC3\xA9"
        "curit\xC3\xA9 SA"};

    Fields fields;
    const std::string number = std::to_string(random() % 64 + 1);
    switch (kind) {
    case ReplyKind::EntityHeavy:
        fields.manufacture = Pick(random, entityMakers);
        fields.model = "NVR&#45;" + number + " &lt;" + std::to_string(random() % 9) + "ch&gt;";
        break;
    case ReplyKind::NonAscii:
        fields.manufacture = Pick(random, foreignMakers);
        fields.model = "\xE5\xBD\x95\xE5\x83\x8F\xE6\x9C\xBA-" + number;
        break;
    default:
        fields.manufacture = Pick(random, plainMakers);
        fields.model = "NVR-" + number;
        break;
    }
    fields.ip =
        "192.168." + std::to_string(random() % 256) + "." + std::to_string(random() % 254 + 1);
    static const char hex[] = "0123456789ABCDEF";
    for (int k = 0; k < 6; ++k) {
        fields.mac += hex[random() % 16];
        fields.mac += hex[random() % 16];
        fields.mac += k < 5 ? ":" : "";
    }
    fields.httpPort = std::to_string(random() % 2 == 0 ? 80 : 8000 + random() % 100);
    return fields;
}

std::string Element(const std::string& name, const std::string& value, const std::string& indent,
                    const std::string& lineBreak) {
    return indent + "<" + name + ">" + value + "</" + name + ">" + lineBreak;
}

// The XML of one well-formed reply, without the signature.
std::string ReplyXml(const Fields& fields, bool declarationAndLines) {
    const std::string indent = declarationAndLines ? "  " : "";
    const std::string lineBreak = declarationAndLines ? "\r\n" : "";
    std::string xml = declarationAndLines ? "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" : "";
    xml += "<XNR>" + lineBreak;
    xml += Element("Manufacture", fields.manufacture, indent, lineBreak);
    xml += Element("Model", fields.model, indent, lineBreak);
    xml += Element("IP", fields.ip, indent, lineBreak);
    xml += Element("MAC", fields.mac, indent, lineBreak);
    xml += Element("HttpPort", fields.httpPort, indent, lineBreak);
    xml += "</XNR>" + lineBreak;
    return xml;
}

std::string MalformedXml(std::mt19937& random) {
    std::string xml = ReplyXml(RandomFields(random, ReplyKind::Plain), false);
    switch (random() % 3) {
    case 0: // cut off, as by a short read
        xml.resize(xml.size() / 2 + random() % (xml.size() / 2));
        break;
    case 1: // an end tag that does not match
        xml.replace(xml.find("</Model>"), 8, "</Mode>");
        break;
    default: // stray markup inside a field
        xml.insert(xml.find("</IP>"), "<1>");
        break;
    }
    return xml;
}

} // namespace

const char* KindName(ReplyKind kind) {
    switch (kind) {
    case ReplyKind::Plain:
        return "plain";
    case ReplyKind::DeclarationCrLf:
        return "declaration+crlf";
    case ReplyKind::EntityHeavy:
        return "entities";
    case ReplyKind::NonAscii:
        return "non-ascii";
    case ReplyKind::Malformed:
        return "malformed";
    }
    return "?";
}

std::vector<ReplyText> MakeReplies(ReplyKind kind, std::size_t count, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<ReplyText> replies;
    for (std::size_t k = 0; k < count; ++k) {
        std::string utf8(kSignature);
        utf8 += kind == ReplyKind::Malformed
                    ? MalformedXml(random)
                    : ReplyXml(RandomFields(random, kind), kind == ReplyKind::DeclarationCrLf);
        replies.push_back({utf8, Utf8ToUtf16(utf8)});
    }
    return replies;
}

ReplyText MakeLargeDocument(std::size_t minBytes, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::string utf8 = "<?xml version=\"1.0\"?>\r\n<XNRList>\r\n";
    const ReplyKind kinds[] = {ReplyKind::Plain, ReplyKind::EntityHeavy, ReplyKind::NonAscii,
                               ReplyKind::DeclarationCrLf};
    for (std::size_t k = 0; utf8.size() < minBytes; ++k) {
        const ReplyKind kind = kinds[k % 4];
        // Only the document's own declaration: the replies keep their line breaks.
        std::string reply =
            ReplyXml(RandomFields(random, kind), kind == ReplyKind::DeclarationCrLf);
        if (kind == ReplyKind::DeclarationCrLf) {
            reply.erase(0, reply.find("<XNR>"));
        }
        utf8 += reply;
    }
    utf8 += "</XNRList>\r\n";
    return {utf8, Utf8ToUtf16(utf8)};
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string utf16;
    utf16.reserve(utf8.size());
    for (std::size_t k = 0; k < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[k]);
        const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int n = 1; n <= extra; ++n) {
            code = (code << 6) | (static_cast<unsigned char>(utf8[k + n]) & 0x3F);
        }
        k += extra + 1;
        if (code >= 0x10000) {
            code -= 0x10000;
            utf16 += static_cast<char16_t>(0xD800 | (code >> 10));
            utf16 += static_cast<char16_t>(0xDC00 | (code & 0x3FF));
        } else {
            utf16 += static_cast<char16_t>(code);
        }
    }
    return utf16;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string utf8;
    for (std::size_t k = 0; k < utf16.size(); ++k) {
        char32_t code = utf16[k];
        if (code >= 0xD800 && code < 0xDC00 && k + 1 < utf16.size()) {
            code = 0x10000 + ((code - 0xD800) << 10) + (utf16[++k] - 0xDC00);
        }
        if (code < 0x80) {
            utf8 += static_cast<char>(code);
        } else if (code < 0x800) {
            utf8 += static_cast<char>(0xC0 | (code >> 6));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            utf8 += static_cast<char>(0xE0 | (code >> 12));
            utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            utf8 += static_cast<char>(0xF0 | (code >> 18));
            utf8 += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return utf8;
}

} // namespace ferrow::bench
