#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ferrow::bench {

// Every reply starts with the probe signature ahead of its XML, as on the wire.
inline constexpr std::string_view kSignature = "80503736";

enum class ReplyKind {
    Plain,           // ASCII, one line
    DeclarationCrLf, // XML declaration, CR LF line breaks and indentation
    EntityHeavy,     // predefined and numeric character references in every field
    NonAscii,        // Latin, Greek and CJK text in the fields
    Malformed,       // truncated, mismatched or stray markup
};

const char* KindName(ReplyKind kind);
inline constexpr ReplyKind kAllKinds[] = {ReplyKind::Plain, ReplyKind::DeclarationCrLf,
                                          ReplyKind::EntityHeavy, ReplyKind::NonAscii,
                                          ReplyKind::Malformed};

// One reply in both encodings the readers take: UTF-8 bytes and UTF-16 text.
struct ReplyText {
    std::string utf8;
    std::u16string utf16;
};

// count replies of one kind, the same for the same seed.
std::vector<ReplyText> MakeReplies(ReplyKind kind, std::size_t count, std::uint32_t seed);

// One document of at least minBytes UTF-8 bytes: a root holding many well-formed replies
// of every kind but the malformed one, without signatures.
ReplyText MakeLargeDocument(std::size_t minBytes, std::uint32_t seed);

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

} // namespace ferrow::bench
