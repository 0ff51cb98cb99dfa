#include "xml/ResultLog.h"

#include "xml/EntityCodec.h"

#include <charconv>

namespace ferrow {

namespace {

void AppendNumberAttribute(std::u16string& log, std::u16string_view attribute, std::int32_t value) {
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    log += u' ';
    log += attribute;
    log += u"=\"";
    log.append(digits, end); // ASCII digits and sign widen unit by unit
    log += u'"';
}

} // namespace

void AddResult(std::u16string& log, TextArg name, std::optional<ResultText> text,
               std::int32_t first, std::int32_t second) {
    if (log.size() >= kResultLogCap) {
        return;
    }
    log += u'<';
    log += name;
    if (text) {
        log += text->attribute == ResultTextAttribute::Type ? u" type=\"" : u" tagname=\"";
        AppendEscaped(log, text->value, AttributeMode);
        log += u'"';
    }
    if (first != -1) {
        AppendNumberAttribute(log, u"offset", first);
    }
    if (second != -1) {
        AppendNumberAttribute(log, u"offset2", second);
    }
    log += u"/>";
}

} // namespace ferrow
