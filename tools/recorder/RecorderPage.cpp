#include "tools/recorder/RecorderPage.h"

#include "platform/TextConversion.h"
#include "rows/TerminalText.h"

#include <array>
#include <utility>

namespace ferrow::recorder {

namespace {

// The text as UTF-8 that is well formed whatever bytes came from the command line, then
// escaped.
std::string PageText(std::string_view field) {
    return EscapeHtmlText(ToUtf8(ReplyTextToUtf16(field)));
}

} // namespace

std::optional<std::uint16_t> TcpPortOf(std::string_view httpPortText) {
    if (httpPortText.empty() || httpPortText.size() > 5) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (const char c : httpPortText) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 65535) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

std::string EscapeHtmlText(std::string_view text) {
    static constexpr std::array<std::pair<char, std::string_view>, 5> kReferences{{
        {'&', "&amp;"},
        {'<', "&lt;"},
        {'>', "&gt;"},
        {'"', "&quot;"},
        {'\'', "&#39;"},
    }};
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        std::string_view replacement(&c, 1);
        for (const auto& [special, reference] : kReferences) {
            if (c == special) {
                replacement = reference;
            }
        }
        escaped += replacement;
    }
    return escaped;
}

std::string BuildRecorderPage(const RecorderOptions& options) {
    const std::string maker = PageText(options.manufacture);
    const std::string model = PageText(options.model);
    std::string page = "<!DOCTYPE html>\n"
                       "<html lang=\"en\">\n"
                       "<head>\n"
                       "<meta charset=\"utf-8\">\n";
    page += "<title>" + maker + " " + model + "</title>\n";
    page += "</head>\n<body>\n";
    page += "<h1>" + maker + " " + model + "</h1>\n<dl>\n";
    const std::array<std::pair<const char*, std::string>, 4> fields{{
        {"Manufacture", maker},
        {"Model", model},
        {"IP", PageText(options.ip)},
        {"MAC", PageText(options.mac)},
    }};
    for (const auto& [name, value] : fields) {
        page += std::string("<dt>") + name + "</dt><dd>" + value + "</dd>\n";
    }
    page += "</dl>\n<p>A recorder played by ferrow-recorder.</p>\n</body>\n</html>\n";
    return page;
}

} // namespace ferrow::recorder
