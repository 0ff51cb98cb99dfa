#include "WineSession.h"

#include "ChildProcess.h"
#include "NetworkNamespace.h"

#include <gtest/gtest.h>

namespace ferrow::test {
namespace {

// Wine sends real datagrams: it must never start where an interface may reach a network.
TEST(WineSession, RefusesANamespaceWithAnInterfaceOtherThanLoopbackOrVeth) {
    FERROW_ENTER_PRIVATE_NETWORK();
    std::string error;
    auto peer = ConnectPeer({"lan0", "10.63.0.1/24", "10.63.0.2/24"}, error);
    ASSERT_TRUE(peer) << error;
    EXPECT_EQ(InterfaceReachingOut(nullptr), "");
    EXPECT_EQ(InterfaceReachingOut(peer.get()), "");

    ASSERT_EQ(RunProgram({"ip", "link", "add", "wan0", "type", "bridge"}, peer.get()), 0);
    EXPECT_EQ(InterfaceReachingOut(peer.get()), "wan0");
    EXPECT_FALSE(WineSession::Open(peer.get(), error));
    EXPECT_NE(error.find("wan0"), std::string::npos) << error;
}

} // namespace
} // namespace ferrow::test
