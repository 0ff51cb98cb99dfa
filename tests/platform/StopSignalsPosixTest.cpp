// The stop request of SIGINT and SIGTERM, and the socket waits it must not break.
#include "platform/SocketApi.h"
#include "platform/StopSignals.h"
#include "tests/support/NetworkNamespace.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace ferrow {
namespace {

using namespace std::chrono_literals;

std::atomic<int> g_previousHandlerCalls{0};
extern "C" void CountCall(int /*signal*/) {
    ++g_previousHandlerCalls;
}

TEST(StopSignals, ASignalWakesTheWaitAndTheHandlingBeforeComesBack) {
    struct sigaction counting {};
    counting.sa_handler = CountCall;
    struct sigaction before {};
    ASSERT_EQ(sigaction(SIGTERM, &counting, &before), 0);
    {
        const StopSignals stop;
        EXPECT_FALSE(stop.Requested());
        EXPECT_FALSE(stop.WaitUntil(std::chrono::steady_clock::now() + 10ms));
        std::thread signaller([] {
            std::this_thread::sleep_for(50ms);
            kill(getpid(), SIGTERM);
        });
        // Far beyond the test's time limit: only the signal can end this wait.
        EXPECT_TRUE(stop.WaitUntil(std::chrono::steady_clock::now() + 1h));
        signaller.join();
        EXPECT_TRUE(stop.Requested());
        EXPECT_EQ(g_previousHandlerCalls, 0);
    }
    raise(SIGTERM);
    EXPECT_EQ(g_previousHandlerCalls, 1);
    sigaction(SIGTERM, &before, nullptr);
}

TEST(StopSignals, OneArrivingDuringASocketWaitIsNoFailureOfTheSocket) {
    FERROW_ENTER_PRIVATE_NETWORK();
    const int socket = ::socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(socket, 0);
    const StopSignals stop;
    const pthread_t waiter = pthread_self();
    std::thread signaller([waiter] {
        std::this_thread::sleep_for(50ms);
        pthread_kill(waiter, SIGINT);
    });
    EXPECT_EQ(socket_api::WaitForReadable(socket, 500), socket_api::WaitResult::TimedOut);
    signaller.join();
    EXPECT_TRUE(stop.Requested());
    close(socket);
}

} // namespace
} // namespace ferrow
