#pragma once

class QUrl;

namespace ferrow {

// Opens a web address in the user's default browser; tests put a recorder in its place.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    virtual void Open(const QUrl& url) = 0;
};

// The desktop's own handler (QDesktopServices); a failure is not reported.
class DesktopUrlOpener final : public UrlOpener {
public:
    void Open(const QUrl& url) override;
};

} // namespace ferrow
