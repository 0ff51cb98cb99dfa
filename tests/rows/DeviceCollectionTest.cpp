#include "rows/DeviceCollection.h"

#include "rows/DeviceRow.h"

#include <gtest/gtest.h>

namespace ferrow {
namespace {

using Devices = DeviceCollection<DeviceRecord>;
constexpr auto Added = AddOutcome::Added;
constexpr auto Merged = AddOutcome::Merged;
constexpr auto AlreadyListed = AddOutcome::AlreadyListed;
constexpr auto Full = AddOutcome::Full;

DeviceRecord Device(std::u16string ip, std::u16string model = u"NVR") {
    return DeviceRecord{u"Acme", std::move(model), std::move(ip), u"00:11:22:33:44:55", u"80"};
}

std::u16string Numbered(std::size_t number) {
    const std::string digits = std::to_string(number);
    return std::u16string(digits.begin(), digits.end());
}

TEST(DeviceCollectionTest, KeepsRecordsInArrivalOrder) {
    Devices devices;
    EXPECT_EQ(devices.Add(Device(u"10.0.0.3")).outcome, Added);
    EXPECT_EQ(devices.Add(Device(u"10.0.0.1")).outcome, Added);
    EXPECT_EQ(devices.Add(Device(u"10.0.0.2")), (AddResult{Added, 2}));
    EXPECT_EQ(devices.Rows(),
              (std::vector{Device(u"10.0.0.3"), Device(u"10.0.0.1"), Device(u"10.0.0.2")}));
}

// Records never merge: not even an empty field is filled from a later one.
TEST(DeviceCollectionTest, SecondRecordWithTheSameIpTextIsDroppedAndTheFirstStays) {
    Devices devices;
    ASSERT_EQ(devices.Add(Device(u"10.0.0.1", u"")).outcome, Added);
    EXPECT_EQ(devices.Add(Device(u"10.0.0.1", u"second")).outcome, AlreadyListed);
    EXPECT_EQ(devices.Rows(), std::vector{Device(u"10.0.0.1", u"")});
}

TEST(DeviceCollectionTest, ReplaceTakesTheListedPlaceOfItsIpTextOnly) {
    Devices devices;
    devices.Add(Device(u"10.0.0.3"));
    devices.Add(Device(u"10.0.0.1"));
    EXPECT_EQ(devices.Find(u"10.0.0.1"), 1u);
    EXPECT_EQ(devices.Find(u"10.0.0.2"), std::nullopt);
    EXPECT_EQ(devices.Replace(Device(u"10.0.0.1", u"new")), 1u);
    EXPECT_EQ(devices.Replace(Device(u"10.0.0.2")), std::nullopt);
    EXPECT_EQ(devices.Rows(), (std::vector{Device(u"10.0.0.3"), Device(u"10.0.0.1", u"new")}));
    EXPECT_EQ(devices.Add(Device(u"10.0.0.1")).outcome, AlreadyListed);
}

TEST(DeviceCollectionTest, IpTextsAreComparedExactly) {
    Devices devices;
    ASSERT_EQ(devices.Add(Device(u"fe80::a")).outcome, Added);
    EXPECT_EQ(devices.Add(Device(u"FE80::A")).outcome, Added);
    EXPECT_EQ(devices.Add(Device(u"fe80::a ")).outcome, Added);
    EXPECT_EQ(devices.Add(Device(u"10.0.0.1")).outcome, Added);
    EXPECT_EQ(devices.Add(Device(u"10.0.0.01")).outcome, Added);
    EXPECT_EQ(devices.Rows().size(), 5u);
}

TEST(DeviceCollectionTest, EmptyIpTextIsAKeyLikeAnyOther) {
    Devices devices;
    EXPECT_EQ(devices.Add(DeviceRecord{}).outcome, Added);
    EXPECT_EQ(devices.Add(Device(u"")).outcome, AlreadyListed);
    EXPECT_EQ(devices.Rows(), std::vector{DeviceRecord{}});
}

TEST(DeviceCollectionTest, ClearForgetsRecordsAndTheirKeys) {
    Devices devices;
    devices.Add(Device(u"10.0.0.1", u"before"));
    devices.Clear();
    EXPECT_TRUE(devices.Rows().empty());
    EXPECT_EQ(devices.Add(Device(u"10.0.0.1", u"after")).outcome, Added);
    EXPECT_EQ(devices.Rows(), std::vector{Device(u"10.0.0.1", u"after")});
}

TEST(DeviceCollectionTest, ManyDistinctRecordsAreAllKept) {
    Devices devices;
    for (std::size_t i = 0; i < 5000; ++i) {
        ASSERT_EQ(devices.Add(Device(Numbered(i))).outcome, Added);
    }
    for (std::size_t i = 0; i < 5000; i += 7) {
        EXPECT_EQ(devices.Add(devices.Rows()[i]).outcome, AlreadyListed);
    }
    EXPECT_EQ(devices.Rows().size(), 5000u);
}

TEST(DeviceCollectionTest, AFullCollectionCountsNewRecordersButNotListedOnes) {
    Devices devices(2);
    devices.Add(Device(u"10.0.0.1"));
    devices.Add(Device(u"10.0.0.2"));
    EXPECT_EQ(devices.Add(Device(u"10.0.0.3")).outcome, Full);
    EXPECT_EQ(devices.Add(Device(u"10.0.0.1", u"again")).outcome, AlreadyListed);
    EXPECT_EQ(devices.Add(Device(u"10.0.0.3")).outcome, Full);
    EXPECT_EQ(devices.Dropped(), 2u);
    EXPECT_EQ(devices.Rows(), (std::vector{Device(u"10.0.0.1"), Device(u"10.0.0.2")}));
    devices.Clear();
    EXPECT_EQ(devices.Dropped(), 0u);
    EXPECT_EQ(devices.Add(Device(u"10.0.0.3")).outcome, Added);
}

TEST(DeviceCollectionTest, HoldsAtMostTheRowsOfOneSearchByDefault) {
    Devices devices;
    for (std::size_t i = 0; i <= kMaxDevicesPerSearch; ++i) {
        devices.Add(Device(Numbered(i)));
    }
    EXPECT_EQ(devices.Rows().size(), kMaxDevicesPerSearch);
    EXPECT_EQ(devices.Dropped(), 1u);
}

// Rows of the window and ferrow-scan: one IP text heard in two protocols is one row.

using Rows = DeviceCollection<DeviceRow>;

DeviceRow PortReply(std::u16string model, std::u16string mac, std::u16string port) {
    return RowOfReply({u"Acme", std::move(model), u"10.0.0.7", std::move(mac), std::move(port)},
                      u"10.0.0.1", {});
}

DeviceRow OnvifRow(std::u16string model, std::u16string port, std::u16string scheme) {
    return RowOfOnvifDevice(
        {{u"Vendor", std::move(model), u"10.0.0.7", u"02:00:00:00:00:07", std::move(port)},
         std::move(scheme)},
        u"10.0.1.1", {});
}

TEST(DeviceRowCollectionTest, ARowOfAnotherProtocolFillsOnlyTheEmptyFields) {
    Rows rows;
    rows.Add(RowOfReply({u"Other", u"X", u"10.0.0.6", u"", u"80"}, u"10.0.0.1", {}));
    ASSERT_EQ(rows.Add(PortReply(u"", u"", u"8080")).outcome, Added);
    EXPECT_EQ(rows.Add(OnvifRow(u"Cam-2", u"443", u"https")), (AddResult{Merged, 1}));

    DeviceRow expected = PortReply(u"Cam-2", u"02:00:00:00:00:07", u"8080");
    expected.protocols = ProtocolSet::All();
    EXPECT_EQ(rows.Rows().at(1), expected) << "maker, port, scheme and local address kept";
    EXPECT_EQ(rows.Rows().size(), 2u);
}

TEST(DeviceRowCollectionTest, TheSchemeComesOnlyWithThePortItBelongsTo) {
    Rows emptyPort;
    emptyPort.Add(PortReply(u"N", u"", u""));
    emptyPort.Add(OnvifRow(u"", u"443", u"https"));
    EXPECT_EQ(emptyPort.Rows()[0].record.HttpPort, u"443");
    EXPECT_EQ(emptyPort.Rows()[0].webScheme, u"https");

    Rows onvifFirst;
    onvifFirst.Add(OnvifRow(u"Cam", u"", u"https"));
    onvifFirst.Add(PortReply(u"N", u"", u""));
    EXPECT_EQ(onvifFirst.Rows()[0].webScheme, u"https") << "no port came, so no scheme";
    onvifFirst.Clear();
    onvifFirst.Add(OnvifRow(u"Cam", u"", u"https"));
    onvifFirst.Add(PortReply(u"N", u"", u"80"));
    EXPECT_EQ(onvifFirst.Rows()[0].record.HttpPort, u"80");
    EXPECT_EQ(onvifFirst.Rows()[0].webScheme, u"http");
    EXPECT_EQ(onvifFirst.Rows()[0].record.Model, u"Cam");
    EXPECT_EQ(onvifFirst.Rows()[0].localAddress, u"10.0.1.1");
}

TEST(DeviceRowCollectionTest, ASecondReplyOfAProtocolTheRowHasIsDropped) {
    Rows rows;
    rows.Add(PortReply(u"", u"", u"80"));
    EXPECT_EQ(rows.Add(PortReply(u"N", u"02:00", u"81")).outcome, AlreadyListed);
    EXPECT_EQ(rows.Rows()[0], PortReply(u"", u"", u"80"));

    ASSERT_EQ(rows.Add(OnvifRow(u"", u"", u"http")).outcome, Merged);
    EXPECT_EQ(rows.Add(OnvifRow(u"Cam", u"443", u"https")).outcome, AlreadyListed);
    EXPECT_EQ(rows.Add(PortReply(u"N", u"", u"81")).outcome, AlreadyListed);
    EXPECT_EQ(rows.Rows()[0].record.Model, u"");
    EXPECT_EQ(rows.Rows()[0].webScheme, u"http");
}

TEST(DeviceRowCollectionTest, AFullListStillMergesIntoItsRows) {
    Rows rows(1);
    rows.Add(PortReply(u"", u"", u"80"));
    EXPECT_EQ(rows.Add(OnvifRow(u"Cam", u"", u"http")), (AddResult{Merged, 0}));
    EXPECT_EQ(rows.Rows()[0].record.Model, u"Cam");
    EXPECT_EQ(rows.Dropped(), 0u);
}

} // namespace
} // namespace ferrow
