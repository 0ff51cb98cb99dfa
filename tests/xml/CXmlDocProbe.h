#pragma once

#include "xml/CXmlDoc.h"

#include <cstdint>
#include <string>

namespace ferrow {

// What the tests and the fuzzer read of a CXmlDoc beyond its public calls: the text of
// any element by its index, where the public calls reach only the child position's.
class CXmlDocProbe {
public:
    static std::u16string ElementText(const CXmlDoc& doc, std::int32_t i) {
        return doc.ElementText(i);
    }
};

} // namespace ferrow
