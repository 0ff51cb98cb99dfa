// The search object: replies reach the owner while the search runs, and Cancel or the
// destructor stop it at once, endpoint closed, with nothing handed on afterwards.
#include "discovery/DeviceSearch.h"

#include "SearchLan.h"
#include "UdpPortHolder.h"
#include "discovery/ReplyReader.h"
#include "rows/DeviceCollection.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace ferrow {
namespace {

using namespace std::chrono_literals;
using namespace test;
using Clock = std::chrono::steady_clock;

// Records the calls as they come from the search's thread.
class RecordingObserver final : public SearchObserver {
public:
    void OnOnvifDevice(OnvifDevice) override {}
    void OnSearchReply(std::u16string replyText) override {
        const std::lock_guard lock(m_mutex);
        replies.push_back(std::move(replyText));
        replyTimes.push_back(Clock::now());
    }
    void OnSearchEnd(const SearchEnd& end) override {
        const std::lock_guard lock(m_mutex);
        ends.push_back(end);
        endTime = Clock::now();
    }
    std::size_t Calls() {
        const std::lock_guard lock(m_mutex);
        return replies.size() + ends.size();
    }

    std::vector<std::u16string> replies;
    std::vector<Clock::time_point> replyTimes;
    std::vector<SearchEnd> ends;
    Clock::time_point endTime{};

private:
    std::mutex m_mutex;
};

class DeviceSearchTest : public SearchLanTest {
protected:
    // Whether port 2900 is free again: the search's endpoint is closed.
    static bool DiscoveryPortIsFree() {
        std::string error;
        return UdpPortHolder::Hold(kDiscoveryPort, nullptr, error) != nullptr;
    }

    // Waits for a search that ends on its own to close its endpoint; false after 10 s.
    static bool AwaitFreePort() {
        const Clock::time_point deadline = Clock::now() + 10s;
        while (!DiscoveryPortIsFree()) {
            if (Clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(10ms);
        }
        return true;
    }

    RecordingObserver m_observer;
};

TEST_F(DeviceSearchTest, RepliesReachTheOwnerWhileTheSearchRuns) {
    m_sender->BroadcastLater({{100ms, ReplyBytes("10.41.0.2")}, {100ms, ReplyBytes("10.41.0.3")}});
    DeviceSearch search(LocalAddress(), DeviceProtocol::Udp2900, m_observer);
    const SearchEnd end = search.Wait();

    ASSERT_GE(m_observer.replies.size(), 2u);
    EXPECT_EQ(m_observer.replies.back(), Wide(ReplyBytes("10.41.0.3")));
    EXPECT_GE(m_observer.endTime - m_observer.replyTimes.back(), 990ms)
        << "the last reply came a whole wait before the end";
    EXPECT_LT(m_observer.endTime - m_sender->LastSendTime(), 1900ms) << "more than one wait";
    ASSERT_EQ(m_observer.ends.size(), 1u);
    EXPECT_EQ(m_observer.ends[0].reason, SearchEndReason::Quiet);
    EXPECT_EQ(end.counts, m_observer.ends[0].counts);
    EXPECT_EQ(end.counts.accepted, m_observer.replies.size());
}

TEST_F(DeviceSearchTest, CancelStopsAChattySearchAtOnceAndNothingFollows) {
    auto chatty = StartRecorder({"--fault", "chatty", "--gap", "1"});
    ASSERT_TRUE(chatty);
    DeviceSearch search(LocalAddress(), DeviceProtocol::Udp2900, m_observer);
    std::this_thread::sleep_for(500ms);
    ASSERT_GT(m_observer.Calls(), 10u) << "the recorder is not chatty";

    const Clock::time_point start = Clock::now();
    search.Cancel();
    EXPECT_LT(Clock::now() - start, 500ms) << "the chatty recorder would keep it going 10 s";
    EXPECT_TRUE(DiscoveryPortIsFree());
    const std::size_t calls = m_observer.Calls();
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(m_observer.Calls(), calls) << "a call came after Cancel returned";
    ASSERT_EQ(m_observer.ends.size(), 1u);
    EXPECT_EQ(m_observer.ends[0].reason, SearchEndReason::Cancelled);
    EXPECT_EQ(search.Wait().reason, SearchEndReason::Cancelled);
}

TEST_F(DeviceSearchTest, CancelFromTheObserverEndsTheSearchAfterThatCall) {
    auto chatty = StartRecorder({"--fault", "chatty", "--gap", "1"});
    ASSERT_TRUE(chatty);
    class CancellingObserver final : public SearchObserver {
    public:
        void OnOnvifDevice(OnvifDevice) override {}
        void OnSearchReply(std::u16string) override {
            ++replies;
            while (search.load() == nullptr) {
                std::this_thread::yield();
            }
            search.load()->Cancel();
        }
        void OnSearchEnd(const SearchEnd& end) override { reason = end.reason; }
        std::atomic<DeviceSearch*> search = nullptr;
        int replies = 0;
        SearchEndReason reason = SearchEndReason::Quiet;
    } observer;
    DeviceSearch search(LocalAddress(), DeviceProtocol::Udp2900, observer);
    observer.search = &search;
    search.Wait();
    EXPECT_EQ(observer.replies, 1);
    EXPECT_EQ(observer.reason, SearchEndReason::Cancelled);
}

TEST_F(DeviceSearchTest, DestroyingTheSearchFromItsObserverEndsItWithoutANotice) {
    auto chatty = StartRecorder({"--fault", "chatty", "--gap", "1"});
    ASSERT_TRUE(chatty);
    class DestroyingObserver final : public SearchObserver {
    public:
        void OnOnvifDevice(OnvifDevice) override {}
        void OnSearchReply(std::u16string) override {
            ++replies;
            while (!ready) {
                std::this_thread::yield();
            }
            search.reset();
        }
        void OnSearchEnd(const SearchEnd&) override { ++ends; }
        std::unique_ptr<DeviceSearch> search;
        std::atomic<bool> ready = false;
        std::atomic<int> replies = 0;
        std::atomic<int> ends = 0;
    } observer;
    observer.search =
        std::make_unique<DeviceSearch>(LocalAddress(), DeviceProtocol::Udp2900, observer);
    observer.ready = true;
    // Probing the port before the search holds it would keep the search from starting.
    const Clock::time_point deadline = Clock::now() + 10s;
    while (observer.replies == 0 && Clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_EQ(observer.replies, 1);
    EXPECT_TRUE(AwaitFreePort()) << "the search's thread did not end on its own";
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(observer.replies, 1);
    EXPECT_EQ(observer.ends, 0);
}

TEST_F(DeviceSearchTest, CancelAndWaitMayMeetOnTwoThreads) {
    auto chatty = StartRecorder({"--fault", "chatty", "--gap", "1"});
    ASSERT_TRUE(chatty);
    DeviceSearch search(LocalAddress(), DeviceProtocol::Udp2900, m_observer);
    std::thread waiter([&search] { EXPECT_EQ(search.Wait().reason, SearchEndReason::Cancelled); });
    std::thread canceller([&search] { search.Cancel(); });
    canceller.join();
    waiter.join();
    EXPECT_EQ(m_observer.ends.size(), 1u);
}

TEST_F(DeviceSearchTest, DestroyingARunningSearchCancelsItWithoutANotice) {
    auto chatty = StartRecorder({"--fault", "chatty", "--gap", "1"});
    ASSERT_TRUE(chatty);
    auto search =
        std::make_unique<DeviceSearch>(LocalAddress(), DeviceProtocol::Udp2900, m_observer);
    std::this_thread::sleep_for(300ms);

    const Clock::time_point start = Clock::now();
    search.reset();
    EXPECT_LT(Clock::now() - start, 500ms) << "the chatty recorder would keep it going 10 s";
    EXPECT_TRUE(DiscoveryPortIsFree());
    const std::size_t calls = m_observer.Calls();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(m_observer.Calls(), calls);
    EXPECT_TRUE(m_observer.ends.empty());
}

// Thousands of recorders answering together are all heard: the socket is drained by a
// thread that does nothing else. The sanitizer build reads replies far slower, and so does
// Wine, which takes each datagram through its server one at a time.
TEST_F(DeviceSearchTest, ABurstOfRecordersAllBecomeRows) {
#if defined(__SANITIZE_ADDRESS__)
    constexpr bool kSanitized = true;
#else
    constexpr bool kSanitized = false;
#endif
    const int recorders = kSanitized || RunningUnderWine() ? 5000 : 20000;
    auto recorder = StartRecorder({"--count", std::to_string(recorders)});
    ASSERT_TRUE(recorder);
    class RowKeeper final : public SearchObserver {
    public:
        void OnOnvifDevice(OnvifDevice) override {}
        void OnSearchReply(std::u16string replyText) override {
            if (auto record = ReadDeviceReply(replyText)) {
                devices.Add(std::move(*record));
            }
        }
        void OnSearchEnd(const SearchEnd&) override {}
        DeviceCollection<DeviceRecord> devices;
    } keeper;
    const SearchEnd end = DeviceSearch(LocalAddress(), DeviceProtocol::Udp2900, keeper).Wait();
    EXPECT_EQ(keeper.devices.Rows().size(), static_cast<std::size_t>(recorders));
    EXPECT_EQ(end.reason, SearchEndReason::Quiet);
}

TEST_F(DeviceSearchTest, ASearchThatCannotStartSaysWhy) {
    std::string error;
    auto holder = UdpPortHolder::Hold(kDiscoveryPort, nullptr, error);
    ASSERT_TRUE(holder) << error;
    DeviceSearch search(LocalAddress(), DeviceProtocol::Udp2900, m_observer);
    EXPECT_EQ(search.Wait().reason, SearchEndReason::PortInUse);
    EXPECT_TRUE(m_observer.replies.empty());
}

class SearchRunTest : public DeviceSearchTest {
protected:
    // Lets the drain of a run whose endpoint is open end on its own.
    static void AwaitDrainEnd() {
        ASSERT_TRUE(AwaitFreePort());
        std::this_thread::sleep_for(50ms); // the end is noted right after the close
    }
};

TEST_F(SearchRunTest, ACancelAfterTheLastReplyKeepsTheTrueReason) {
    SearchRun run(LocalAddress());
    int replies = 0;
    const SearchEnd end = run.HandOnReplies([&](std::u16string) {
        ++replies; // the probe's own echo, the only datagram: the drain ends a wait later
        AwaitDrainEnd();
        run.Cancel();
    });
    EXPECT_EQ(replies, 1);
    EXPECT_EQ(end.reason, SearchEndReason::Quiet);
}

TEST_F(SearchRunTest, ACancelBeforeTheRepliesWereHandedOnCutsTheSearchShort) {
    m_sender->BroadcastLater({{100ms, ReplyBytes("10.41.0.2")}});
    SearchRun run(LocalAddress());
    // The endpoint is open by then (probing the port earlier could keep it from opening),
    // and the drain runs until a second after the reply.
    std::this_thread::sleep_for(1s);
    AwaitDrainEnd();
    run.Cancel();
    int replies = 0;
    EXPECT_EQ(run.HandOnReplies([&replies](std::u16string) { ++replies; }).reason,
              SearchEndReason::Cancelled);
    EXPECT_EQ(replies, 0);
}

TEST_F(SearchRunTest, ASecondHandOnRepliesIsRefused) {
    SearchRun run(LocalAddress());
    run.Cancel();
    run.HandOnReplies([](std::u16string) {});
    EXPECT_THROW(run.HandOnReplies([](std::u16string) {}), std::logic_error);
}

} // namespace
} // namespace ferrow
