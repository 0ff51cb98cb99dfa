#include "xml/ResultLog.h"

#include "xml/EntityCodec.h"

#include <algorithm>
#include <charconv>

namespace ferrow {

using namespace std::string_view_literals;

namespace {

// ` attribute="value"` for a short attribute name, put together first and appended in
// one piece.
void AppendNumberAttribute(std::u16string& log, std::u16string_view attribute, std::int32_t value) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    char16_t units[32];
    char16_t* out = units;
    *out++ = u' ';
    out = std::copy(attribute.begin(), attribute.end(), out);
    *out++ = u'=';
    *out++ = u'"';
    out = std::copy(digits, end, out); // ASCII digits and sign widen unit by unit
    *out++ = u'"';
    log.append(units, static_cast<std::size_t>(out - units));
}

} // namespace

void AddResult(std::u16string& log, TextArg name, std::optional<ResultText> text,
               std::int32_t first, std::int32_t second) {
    if (log.size() >= kResultLogCap) {
        return;
    }
    // Faults come several at a time: room for a full log at once, not growth by steps.
    log.reserve(kResultLogCap);
    log += u'<';
    log += name;
    if (text) {
        log += text->attribute == ResultTextAttribute::Type ? u" type=\""sv : u" tagname=\""sv;
        AppendEscaped(log, text->value, AttributeMode);
        log += u'"';
    }
    if (first != -1) {
        AppendNumberAttribute(log, u"offset"sv, first);
    }
    if (second != -1) {
        AppendNumberAttribute(log, u"offset2"sv, second);
    }
    log += u"/>"sv;
}

} // namespace ferrow
