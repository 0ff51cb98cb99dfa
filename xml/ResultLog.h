#pragma once

#include "xml/TextArg.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ferrow {

// Names of the records a parse leaves in the ResultLog.
namespace ResultName {
inline constexpr TextArg FirstTagSyntax = u"first_tag_syntax";
inline constexpr TextArg ExclamationTagSyntax = u"exclamation_tag_syntax";
inline constexpr TextArg CommentTagSyntax = u"comment_tag_syntax";
inline constexpr TextArg CDataSectionSyntax = u"cdata_section_syntax";
inline constexpr TextArg DocTypeTagSyntax = u"doctype_tag_syntax";
inline constexpr TextArg UnterminatedTagSyntax = u"unterminated_tag_syntax";
inline constexpr TextArg LoneEndTag = u"lone_end_tag";
inline constexpr TextArg UnendedStartTag = u"unended_start_tag";
inline constexpr TextArg RootHasSibling = u"root_has_sibling";
inline constexpr TextArg NoRootElement = u"no_root_element";
// Markup the index cannot hold; the document is ill-formed.
inline constexpr TextArg StartTagTooLong = u"start_tag_too_long";
inline constexpr TextArg EndTagTooLong = u"end_tag_too_long";
inline constexpr TextArg NestingTooDeep = u"nesting_too_deep";
// A text too long for 32-bit offsets; the document is left empty.
inline constexpr TextArg TextTooLong = u"text_too_long";
} // namespace ResultName

// Records stop being added once the log holds this many units.
inline constexpr std::size_t kResultLogCap = 1000;

// The attribute a record's text value is written under.
enum class ResultTextAttribute { Type, TagName };

struct ResultText {
    ResultTextAttribute attribute;
    std::u16string_view value;
};

// Appends one record, <name type|tagname="text" offset="first" offset2="second"/>, each
// attribute only when present (a number of -1 is absent), the text escaped for an
// attribute value. Nothing is added once the log has reached kResultLogCap units.
void AddResult(std::u16string& log, TextArg name, std::optional<ResultText> text,
               std::int32_t first, std::int32_t second);

} // namespace ferrow
