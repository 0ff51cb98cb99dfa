#pragma once

namespace ferrow {

// The steps of start-up and shut-down that belong to the platform, around the
// application object (the module) and the run of the program, in this order:
// StartSession, (module up), StartSockets, (run), StopSockets, (module down), StopSession.
class PlatformServices {
public:
    virtual ~PlatformServices() = default;
    virtual void StartSession() = 0;
    virtual void StartSockets() = 0;
    virtual void StopSockets() = 0;
    virtual void StopSession() = 0;
};

// This platform's steps: on Windows COM, the common controls and Windows Sockets; on
// POSIX only the locale, whose narrow character set the text conversions use.
class SystemPlatformServices final : public PlatformServices {
public:
    void StartSession() override;
    void StartSockets() override;
    void StopSockets() override;
    void StopSession() override;

private:
    bool m_socketsStarted = false;
};

} // namespace ferrow
