#include "rows/DeviceCollection.h"

#include <gtest/gtest.h>

namespace ferrow {
namespace {

using Devices = DeviceCollection<DeviceRecord>;
constexpr auto Added = Devices::AddResult::Added;
constexpr auto AlreadyListed = Devices::AddResult::AlreadyListed;
constexpr auto Full = Devices::AddResult::Full;

DeviceRecord Device(std::u16string ip, std::u16string model = u"NVR") {
    return DeviceRecord{u"Acme", std::move(model), std::move(ip), u"00:11:22:33:44:55", u"80"};
}

std::u16string Numbered(std::size_t number) {
    const std::string digits = std::to_string(number);
    return std::u16string(digits.begin(), digits.end());
}

TEST(DeviceCollectionTest, KeepsRecordsInArrivalOrder) {
    Devices devices;
    EXPECT_EQ(devices.Add(Device(u"10.0.0.3")), Added);
    EXPECT_EQ(devices.Add(Device(u"10.0.0.1")), Added);
    EXPECT_EQ(devices.Add(Device(u"10.0.0.2")), Added);
    EXPECT_EQ(devices.Rows(),
              (std::vector{Device(u"10.0.0.3"), Device(u"10.0.0.1"), Device(u"10.0.0.2")}));
}

TEST(DeviceCollectionTest, SecondRecordWithTheSameIpTextIsDroppedAndTheFirstStays) {
    Devices devices;
    ASSERT_EQ(devices.Add(Device(u"10.0.0.1", u"first")), Added);
    EXPECT_EQ(devices.Add(Device(u"10.0.0.1", u"second")), AlreadyListed);
    EXPECT_EQ(devices.Rows(), std::vector{Device(u"10.0.0.1", u"first")});
}

TEST(DeviceCollectionTest, IpTextsAreComparedExactly) {
    Devices devices;
    ASSERT_EQ(devices.Add(Device(u"fe80::a")), Added);
    EXPECT_EQ(devices.Add(Device(u"FE80::A")), Added);
    EXPECT_EQ(devices.Add(Device(u"fe80::a ")), Added);
    EXPECT_EQ(devices.Add(Device(u"10.0.0.1")), Added);
    EXPECT_EQ(devices.Add(Device(u"10.0.0.01")), Added);
    EXPECT_EQ(devices.Rows().size(), 5u);
}

TEST(DeviceCollectionTest, EmptyIpTextIsAKeyLikeAnyOther) {
    Devices devices;
    EXPECT_EQ(devices.Add(DeviceRecord{}), Added);
    EXPECT_EQ(devices.Add(Device(u"")), AlreadyListed);
    EXPECT_EQ(devices.Rows(), std::vector{DeviceRecord{}});
}

TEST(DeviceCollectionTest, ClearForgetsRecordsAndTheirKeys) {
    Devices devices;
    devices.Add(Device(u"10.0.0.1", u"before"));
    devices.Clear();
    EXPECT_TRUE(devices.Rows().empty());
    EXPECT_EQ(devices.Add(Device(u"10.0.0.1", u"after")), Added);
    EXPECT_EQ(devices.Rows(), std::vector{Device(u"10.0.0.1", u"after")});
}

TEST(DeviceCollectionTest, ManyDistinctRecordsAreAllKept) {
    Devices devices;
    for (std::size_t i = 0; i < 5000; ++i) {
        ASSERT_EQ(devices.Add(Device(Numbered(i))), Added);
    }
    for (std::size_t i = 0; i < 5000; i += 7) {
        EXPECT_EQ(devices.Add(devices.Rows()[i]), AlreadyListed);
    }
    EXPECT_EQ(devices.Rows().size(), 5000u);
}

TEST(DeviceCollectionTest, AFullCollectionCountsNewRecordersButNotListedOnes) {
    Devices devices(2);
    devices.Add(Device(u"10.0.0.1"));
    devices.Add(Device(u"10.0.0.2"));
    EXPECT_EQ(devices.Add(Device(u"10.0.0.3")), Full);
    EXPECT_EQ(devices.Add(Device(u"10.0.0.1", u"again")), AlreadyListed);
    EXPECT_EQ(devices.Add(Device(u"10.0.0.3")), Full);
    EXPECT_EQ(devices.Dropped(), 2u);
    EXPECT_EQ(devices.Rows(), (std::vector{Device(u"10.0.0.1"), Device(u"10.0.0.2")}));
    devices.Clear();
    EXPECT_EQ(devices.Dropped(), 0u);
    EXPECT_EQ(devices.Add(Device(u"10.0.0.3")), Added);
}

TEST(DeviceCollectionTest, HoldsAtMostTheRowsOfOneSearchByDefault) {
    Devices devices;
    for (std::size_t i = 0; i <= kMaxDevicesPerSearch; ++i) {
        devices.Add(Device(Numbered(i)));
    }
    EXPECT_EQ(devices.Rows().size(), kMaxDevicesPerSearch);
    EXPECT_EQ(devices.Dropped(), 1u);
}

} // namespace
} // namespace ferrow
