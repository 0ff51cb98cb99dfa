#include "tests/rows/OutputReaders.h"

#include <clocale>
#include <cwchar>
#include <gtest/gtest.h>
#include <sstream>

namespace ferrow::test {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> records(1);
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            EXPECT_TRUE(field.empty()) << "quote inside an unquoted field";
            quoted = true;
        } else if (c == ',') {
            records.back().push_back(std::move(field));
            field.clear();
        } else if (c == '\r') {
            EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR";
            records.back().push_back(std::move(field));
            field.clear();
            records.emplace_back();
            ++i;
        } else {
            EXPECT_NE(c, '\n') << "bare LF outside quotes";
            field += c;
        }
    }
    EXPECT_FALSE(quoted) << "unterminated quoted field";
    EXPECT_TRUE(records.back().empty() && field.empty()) << "last record lacks CRLF";
    records.pop_back();
    return records;
}

#ifdef _WIN32

// Windows' C library has no wcswidth, and so no measure of terminal columns.
int LibcColumns(const std::string&) {
    return -1;
}

Utf8CharacterTypes::Utf8CharacterTypes() = default;

Utf8CharacterTypes::~Utf8CharacterTypes() = default;

#else

int LibcColumns(const std::string& utf8) {
    std::wstring wide(utf8.size() + 1, L'\0');
    const std::size_t count = std::mbstowcs(wide.data(), utf8.c_str(), wide.size());
    if (count == static_cast<std::size_t>(-1)) {
        return -1;
    }
    return wcswidth(wide.c_str(), count);
}

Utf8CharacterTypes::Utf8CharacterTypes() {
    if (const char* current = std::setlocale(LC_CTYPE, nullptr)) {
        m_previous = current;
    }
    m_available = std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;
}

Utf8CharacterTypes::~Utf8CharacterTypes() {
    std::setlocale(LC_CTYPE, m_previous.empty() ? "C" : m_previous.c_str());
}

#endif

} // namespace ferrow::test
