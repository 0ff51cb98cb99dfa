#pragma once

class QUrl;

namespace ferrow {

// Opens a web address in the user's default browser; tests put a recorder in its place.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // False when no handler could be started.
    virtual bool Open(const QUrl& url) = 0;
};

// The desktop's own handler (QDesktopServices).
class DesktopUrlOpener final : public UrlOpener {
public:
    bool Open(const QUrl& url) override;
};

} // namespace ferrow
