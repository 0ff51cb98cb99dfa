#pragma once

#include <QIcon>

namespace ferrow {

// Ferrow's icon at 16, 32, 48, 64 and 128 pixels, from the program's resources.
QIcon ApplicationIcon();

} // namespace ferrow
