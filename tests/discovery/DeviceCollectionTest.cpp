#include "discovery/DeviceCollection.h"

#include <gtest/gtest.h>

namespace ferrow {
namespace {

DeviceRecord Device(std::u16string ip, std::u16string model = u"NVR") {
    return DeviceRecord{u"Acme", std::move(model), std::move(ip), u"00:11:22:33:44:55", u"80"};
}

TEST(DeviceCollectionTest, KeepsRecordsInArrivalOrder) {
    DeviceCollection devices;
    EXPECT_TRUE(devices.Add(Device(u"10.0.0.3")));
    EXPECT_TRUE(devices.Add(Device(u"10.0.0.1")));
    EXPECT_TRUE(devices.Add(Device(u"10.0.0.2")));
    EXPECT_EQ(devices.Records(),
              (std::vector{Device(u"10.0.0.3"), Device(u"10.0.0.1"), Device(u"10.0.0.2")}));
}

TEST(DeviceCollectionTest, SecondRecordWithTheSameIpTextIsDroppedAndTheFirstStays) {
    DeviceCollection devices;
    ASSERT_TRUE(devices.Add(Device(u"10.0.0.1", u"first")));
    EXPECT_FALSE(devices.Add(Device(u"10.0.0.1", u"second")));
    EXPECT_EQ(devices.Records(), std::vector{Device(u"10.0.0.1", u"first")});
}

TEST(DeviceCollectionTest, IpTextsAreComparedExactly) {
    DeviceCollection devices;
    ASSERT_TRUE(devices.Add(Device(u"fe80::a")));
    EXPECT_TRUE(devices.Add(Device(u"FE80::A")));
    EXPECT_TRUE(devices.Add(Device(u"fe80::a ")));
    EXPECT_TRUE(devices.Add(Device(u"10.0.0.1")));
    EXPECT_TRUE(devices.Add(Device(u"10.0.0.01")));
    EXPECT_EQ(devices.Records().size(), 5u);
}

TEST(DeviceCollectionTest, EmptyIpTextIsAKeyLikeAnyOther) {
    DeviceCollection devices;
    EXPECT_TRUE(devices.Add(DeviceRecord{}));
    EXPECT_FALSE(devices.Add(Device(u"")));
    EXPECT_EQ(devices.Records(), std::vector{DeviceRecord{}});
}

TEST(DeviceCollectionTest, ClearForgetsRecordsAndTheirKeys) {
    DeviceCollection devices;
    devices.Add(Device(u"10.0.0.1", u"before"));
    devices.Clear();
    EXPECT_TRUE(devices.Records().empty());
    EXPECT_TRUE(devices.Add(Device(u"10.0.0.1", u"after")));
    EXPECT_EQ(devices.Records(), std::vector{Device(u"10.0.0.1", u"after")});
}

TEST(DeviceCollectionTest, ManyDistinctRecordsAreAllKept) {
    DeviceCollection devices;
    for (int i = 0; i < 5000; ++i) {
        ASSERT_TRUE(devices.Add(Device(std::u16string(u"10.0.") + char16_t(u'A' + i % 26) +
                                       std::u16string(i / 26 + 1, u'x'))));
    }
    for (int i = 0; i < 5000; i += 7) {
        EXPECT_FALSE(devices.Add(devices.Records()[static_cast<std::size_t>(i)]));
    }
    EXPECT_EQ(devices.Records().size(), 5000u);
}

} // namespace
} // namespace ferrow
