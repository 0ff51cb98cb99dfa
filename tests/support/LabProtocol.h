#pragma once

// The line protocol between a Windows test program running under Wine and the test lab,
// the native program that started it inside a private network namespace and makes peer
// namespaces, veth links, senders, captures and recorders for it (see TestLabMain.cpp).
// One request per connection: a line of words, answered by a line that starts with "ok"
// or "error". Every word is hex-encoded so that any bytes pass; "-" is the empty word.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace ferrow::test::lab {

// The environment variable through which the lab tells its program the TCP port on
// 127.0.0.1 where it takes requests.
inline constexpr const char* kPortVariable = "FERROW_TEST_LAB";

inline std::string EncodeLine(const std::vector<std::string>& words) {
    constexpr char kDigits[] = "0123456789abcdef";
    std::string line;
    for (const std::string& word : words) {
        if (!line.empty()) {
            line += ' ';
        }
        if (word.empty()) {
            line += '-';
        }
        for (const char c : word) {
            const auto byte = static_cast<unsigned char>(c);
            line += kDigits[byte >> 4];
            line += kDigits[byte & 0x0F];
        }
    }
    return line + '\n';
}

// The words of a line (without its line end); malformed hex decodes to nothing.
inline std::vector<std::string> DecodeLine(std::string_view line) {
    const auto nibble = [](char c) { return c <= '9' ? c - '0' : c - 'a' + 10; };
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < line.size()) {
        const std::size_t end = std::min(line.find(' ', start), line.size());
        std::string word;
        if (line.substr(start, end - start) != "-") {
            for (std::size_t i = start; i + 1 < end; i += 2) {
                word += static_cast<char>(nibble(line[i]) << 4 | nibble(line[i + 1]));
            }
        }
        words.push_back(std::move(word));
        start = end + 1;
    }
    return words;
}

} // namespace ferrow::test::lab
