#include "rows/WatchedRows.h"

#include <gtest/gtest.h>

namespace ferrow {
namespace {

using std::chrono::seconds;
using Clock = std::chrono::system_clock;
constexpr auto Found = WatchEventKind::Found;
constexpr auto Changed = WatchEventKind::Changed;
constexpr auto Gone = WatchEventKind::Gone;

DeviceRow Row(std::u16string ip, std::u16string model = u"NVR") {
    return RowOfReply({u"Acme", std::move(model), std::move(ip), u"00:11:22:33:44:55", u"80"},
                      u"10.0.0.1", Ipv4Address::FromText("255.255.255.0"));
}

const Clock::time_point kStart = Clock::now();
Clock::time_point Round(int number) {
    return kStart + seconds(10 * number);
}

// Runs one round that hears the rows and returns its events.
std::vector<WatchEvent> RoundHearing(WatchedRows& watched, int number,
                                     std::vector<DeviceRow> rows) {
    for (DeviceRow& row : rows) {
        watched.Hear(std::move(row));
    }
    return watched.EndRound(Round(number));
}

TEST(WatchedRowsTest, SaysWhatEachRoundFoundAndChanged) {
    WatchedRows watched;
    EXPECT_EQ(
        RoundHearing(watched, 0, {Row(u"10.0.0.9"), Row(u"10.0.0.2"), Row(u"10.0.0.9", u"X")}),
        (std::vector<WatchEvent>{{Found, Row(u"10.0.0.9")}, {Found, Row(u"10.0.0.2")}}));
    EXPECT_TRUE(RoundHearing(watched, 1, {Row(u"10.0.0.2"), Row(u"10.0.0.9")}).empty());
    EXPECT_EQ(RoundHearing(watched, 2, {Row(u"10.0.0.9", u"NVR-2"), Row(u"10.0.0.2")}),
              (std::vector<WatchEvent>{{Changed, Row(u"10.0.0.9", u"NVR-2")}}));
    ASSERT_EQ(watched.Rows().size(), 2u);
    EXPECT_EQ(watched.Rows()[0].row, Row(u"10.0.0.9", u"NVR-2")); // first found stays first
    EXPECT_EQ(watched.Find(u"10.0.0.2")->lastSeen, Round(2));
    EXPECT_EQ(watched.Find(u"10.0.0.3"), nullptr);
}

TEST(WatchedRowsTest, ARowMissedInThreeRoundsInARowIsGoneAndForgotten) {
    WatchedRows watched;
    RoundHearing(watched, 0, {Row(u"10.0.0.1"), Row(u"10.0.0.2")});
    RoundHearing(watched, 1, {Row(u"10.0.0.2")});
    RoundHearing(watched, 2, {Row(u"10.0.0.2")});
    RoundHearing(watched, 3, {Row(u"10.0.0.1"), Row(u"10.0.0.2")}); // one hearing resets the count
    EXPECT_TRUE(RoundHearing(watched, 4, {}).empty());
    EXPECT_TRUE(RoundHearing(watched, 5, {}).empty());
    EXPECT_EQ(RoundHearing(watched, 6, {}),
              (std::vector<WatchEvent>{{Gone, Row(u"10.0.0.1")}, {Gone, Row(u"10.0.0.2")}}));
    EXPECT_TRUE(watched.Rows().empty());
    EXPECT_EQ(watched.Find(u"10.0.0.1"), nullptr);
    EXPECT_EQ(RoundHearing(watched, 7, {Row(u"10.0.0.2")}),
              (std::vector<WatchEvent>{{Found, Row(u"10.0.0.2")}}));
    EXPECT_EQ(watched.Find(u"10.0.0.2")->roundsMissed, 0);
}

TEST(WatchedRowsTest, KeptGoneRowsStayMarkedUntilHeardAgain) {
    WatchedRows watched(WatchedRows::GoneRows::Keep);
    RoundHearing(watched, 0, {Row(u"10.0.0.1"), Row(u"10.0.0.2")});
    for (int round = 1; round <= 3; ++round) {
        RoundHearing(watched, round, {Row(u"10.0.0.2")});
    }
    const WatchedRow* gone = watched.Find(u"10.0.0.1");
    ASSERT_NE(gone, nullptr);
    EXPECT_TRUE(gone->gone);
    EXPECT_EQ(gone->lastSeen, Round(0));
    EXPECT_TRUE(RoundHearing(watched, 4, {Row(u"10.0.0.2")}).empty()); // said once only
    EXPECT_EQ(RoundHearing(watched, 5, {Row(u"10.0.0.1", u"NVR-2"), Row(u"10.0.0.2")}),
              (std::vector<WatchEvent>{{Found, Row(u"10.0.0.1", u"NVR-2")}}));
    EXPECT_FALSE(watched.Find(u"10.0.0.1")->gone);
    EXPECT_EQ(watched.Rows().size(), 2u);
}

TEST(WatchedRowsTest, AFullListTurnsNewRowsAwayAndCountsThem) {
    WatchedRows watched(WatchedRows::GoneRows::Forget, 2);
    RoundHearing(watched, 0, {Row(u"10.0.0.1"), Row(u"10.0.0.2"), Row(u"10.0.0.3")});
    EXPECT_EQ(watched.Dropped(), 1u);
    RoundHearing(watched, 1, {Row(u"10.0.0.1")});
    RoundHearing(watched, 2, {Row(u"10.0.0.1")});
    RoundHearing(watched, 3, {Row(u"10.0.0.1")}); // 10.0.0.2 gone: room for one
    EXPECT_EQ(RoundHearing(watched, 4, {Row(u"10.0.0.4"), Row(u"10.0.0.5")}),
              (std::vector<WatchEvent>{{Found, Row(u"10.0.0.4")}}));
    EXPECT_EQ(watched.Dropped(), 2u);
}

} // namespace
} // namespace ferrow
