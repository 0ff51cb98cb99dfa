// The desktop's opener on Windows goes through the shell's "open" verb. Where no program is
// registered for web addresses, the shell refuses, and the opener must say so: the list then
// shows the address in a message box instead of failing silently.
#include "NetworkNamespace.h"
#include "ui/UrlOpener.h"

#include <windows.h>
#include <QUrl>
#include <gtest/gtest.h>

namespace ferrow {
namespace {

TEST(DesktopUrlOpenerTest, FailsWhereNoProgramOpensWebAddresses) {
    if (!test::RunningUnderWine()) {
        GTEST_SKIP() << "removes the registration of web addresses, which only a throwaway "
                        "Wine prefix may lose";
    }
    for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        for (const wchar_t* key : {L"Software\\Classes\\http", L"Software\\Classes\\https"}) {
            ::RegDeleteTreeW(root, key);
        }
    }
    DesktopUrlOpener opener;
    EXPECT_FALSE(opener.Open(QUrl(QStringLiteral("http://10.0.0.1:8080/"))));
}

} // namespace
} // namespace ferrow
