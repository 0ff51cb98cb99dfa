#include "platform/TextConversionPlatform.h"

#include <windows.h>
#include <limits>

namespace ferrow::text_conversion {

// The thread's ANSI code page; called without flags, the system puts U+FFFD (or the code
// page's default character) in place of what it cannot map.
bool AppendNarrowAsUtf16(std::string_view narrow, std::u16string& wide) {
    if (narrow.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        return false;
    }
    const int narrowLength = static_cast<int>(narrow.size());
    const int wideLength =
        ::MultiByteToWideChar(CP_THREAD_ACP, 0, narrow.data(), narrowLength, nullptr, 0);
    if (wideLength <= 0) {
        return false;
    }
    const std::size_t start = wide.size();
    wide.resize(start + static_cast<std::size_t>(wideLength));
    ::MultiByteToWideChar(CP_THREAD_ACP, 0, narrow.data(), narrowLength,
                          reinterpret_cast<wchar_t*>(wide.data() + start), wideLength);
    return true;
}

// What the code page cannot hold becomes its default character ('?').
bool AppendUtf16AsNarrow(std::u16string_view wide, std::string& narrow) {
    if (wide.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        return false;
    }
    const auto* source = reinterpret_cast<const wchar_t*>(wide.data());
    const int wideLength = static_cast<int>(wide.size());
    const int narrowLength =
        ::WideCharToMultiByte(CP_THREAD_ACP, 0, source, wideLength, nullptr, 0, nullptr, nullptr);
    if (narrowLength <= 0) {
        return false;
    }
    const std::size_t start = narrow.size();
    narrow.resize(start + static_cast<std::size_t>(narrowLength));
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, source, wideLength, narrow.data() + start, narrowLength,
                          nullptr, nullptr);
    return true;
}

} // namespace ferrow::text_conversion
