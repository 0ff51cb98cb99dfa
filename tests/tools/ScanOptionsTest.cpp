#include "tools/scan/ScanOptions.h"

#include "res/FerrowVersion.h"

#include <gtest/gtest.h>
#include <sstream>

namespace ferrow {
namespace {

struct Parsed {
    ParsedArguments result;
    std::string out;
    std::string err;
};

Parsed Parse(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "ferrow-scan");
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    std::ostringstream out;
    std::ostringstream err;
    ParsedArguments result =
        ParseScanArguments(static_cast<int>(argv.size()), argv.data(), out, err);
    return {std::move(result), out.str(), err.str()};
}

TEST(ScanOptions, FromMayBeGivenSeveralTimesAndKeepsItsOrder) {
    const Parsed parsed = Parse(
        {"--from", "10.0.0.2", "--from=192.168.1.20", "--from", "10.0.0.2", "--format", "csv"});
    ASSERT_TRUE(parsed.result.options);
    EXPECT_EQ(parsed.result.options->mode, ScanMode::FromAddresses);
    EXPECT_EQ(parsed.result.options->fromAddresses,
              (std::vector<Ipv4Address>{Ipv4Address::FromText("10.0.0.2"),
                                        Ipv4Address::FromText("192.168.1.20")}));
    EXPECT_EQ(parsed.result.options->format, OutputFormat::Csv);
    EXPECT_EQ(parsed.err, "");
}

TEST(ScanOptions, ModesAndFormats) {
    EXPECT_EQ(Parse({"--all"}).result.options->mode, ScanMode::AllAddresses);
    EXPECT_EQ(Parse({"--all"}).result.options->format, OutputFormat::Table);
    EXPECT_EQ(Parse({"--all", "--format", "json"}).result.options->format, OutputFormat::Json);
    EXPECT_EQ(Parse({"--all", "--format", "table"}).result.options->format, OutputFormat::Table);
    const Parsed targets = Parse({"--all", "--format", "prometheus", "--output", "t.json"});
    EXPECT_EQ(targets.result.options->format, OutputFormat::Prometheus);
    EXPECT_EQ(targets.result.options->outputPath, "t.json");
    EXPECT_EQ(Parse({"--all"}).result.options->outputPath, "");
    EXPECT_EQ(Parse({"--list-adapters"}).result.options->mode, ScanMode::ListAdapters);
    EXPECT_EQ(Parse({}).result.options->mode, ScanMode::None);
    EXPECT_EQ(Parse({"--format", "json"}).result.options->mode, ScanMode::None);
}

TEST(ScanOptions, ProtocolsDefaultToBoth) {
    EXPECT_EQ(Parse({"--all"}).result.options->protocols, ProtocolSet::All());
    EXPECT_EQ(Parse({"--all", "--protocol", "all"}).result.options->protocols, ProtocolSet::All());
    EXPECT_EQ(Parse({"--all", "--protocol", "2900"}).result.options->protocols,
              DeviceProtocol::Udp2900);
    EXPECT_EQ(Parse({"--all", "--protocol=onvif"}).result.options->protocols,
              DeviceProtocol::Onvif);
}

TEST(ScanOptions, WatchRepeatsEitherModeAtTheGivenInterval) {
    const Parsed all = Parse({"--all", "--watch", "--protocol", "2900"});
    ASSERT_TRUE(all.result.options) << all.err;
    EXPECT_TRUE(all.result.options->watch);
    EXPECT_EQ(all.result.options->mode, ScanMode::AllAddresses);
    EXPECT_EQ(all.result.options->watchInterval, std::chrono::seconds(10));
    const Parsed from = Parse({"--from", "10.0.0.2", "--watch", "--interval", "2"});
    ASSERT_TRUE(from.result.options) << from.err;
    EXPECT_EQ(from.result.options->watchInterval, std::chrono::seconds(2));
    EXPECT_FALSE(Parse({"--all"}).result.options->watch);
    // The format is the list file's; the watch's output is JSON lines.
    const Parsed listFile =
        Parse({"--all", "--watch", "--format", "prometheus", "--output", "targets.json"});
    ASSERT_TRUE(listFile.result.options) << listFile.err;
    EXPECT_EQ(listFile.result.options->format, OutputFormat::Prometheus);
}

TEST(ScanOptions, UsageErrorsExitTwoWithAMessage) {
    const std::vector<std::vector<std::string>> wrong{
        {"--from"},
        {"--from", "10.0.0"},
        {"--from", "10.0.0.256"},
        {"--from", "010.0.0.1"}, // inet_addr would read octal
        {"--from", "10.0.0.1x"},
        {"--from", "eth0"},
        {"--from", "0.0.0.0"},
        {"--from", "10.0.0.1", "--all"},
        {"--list-adapters", "--all"},
        {"--list-adapters", "--from", "10.0.0.1"},
        {"--list-adapters", "--format", "csv"},
        {"--all", "--format", "xml"},
        {"--all", "--protocol", "ONVIF"},
        {"--all", "--protocol", "udp"},
        {"--all", "--protocol"},
        {"--list-adapters", "--protocol", "onvif"},
        {"--list-adapters", "--output", "adapters.txt"},
        {"--all", "--output"},
        {"--all", "extra"},
        {"--all", "--interval", "5"}, // without --watch
        {"--all", "--watch", "--interval", "1"},
        {"--all", "--watch", "--interval", "2.5"},
        {"--all", "--watch", "--format", "json"},
        {"--list-adapters", "--watch"},
        {"--everything"},
    };
    for (const auto& arguments : wrong) {
        const Parsed parsed = Parse(arguments);
        std::string shown;
        for (const auto& argument : arguments) {
            shown += argument + ' ';
        }
        EXPECT_FALSE(parsed.result.options) << shown;
        EXPECT_EQ(parsed.result.exitCode, kExitUsage) << shown;
        EXPECT_NE(parsed.err.find("ferrow-scan: "), std::string::npos) << shown;
        EXPECT_NE(parsed.err.find("--help"), std::string::npos) << shown;
        EXPECT_EQ(parsed.out, "") << shown;
    }
}

TEST(ScanOptions, TheMessageNamesTheFault) {
    EXPECT_NE(Parse({"--from", "0.0.0.0"}).err.find("--list-adapters"), std::string::npos);
    EXPECT_NE(Parse({"--from", "10.0.0"}).err.find("10.0.0"), std::string::npos);
    EXPECT_NE(Parse({"--all", "--format", "xml"}).err.find("xml"), std::string::npos);
    EXPECT_NE(Parse({"--all", "--protocol", "udp"}).err.find("'udp' is no protocol; use 2900"),
              std::string::npos);
}

TEST(ScanOptions, HelpAndVersionPrintToStdoutAndSucceed) {
    const Parsed help = Parse({"--help"});
    EXPECT_FALSE(help.result.options);
    EXPECT_EQ(help.result.exitCode, kExitSuccess);
    for (const char* word : {"--from", "--all", "--list-adapters", "--format", "--protocol",
                             "--watch", "--interval", "Exit codes"}) {
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    }
    const Parsed version = Parse({"--version"});
    EXPECT_FALSE(version.result.options);
    EXPECT_EQ(version.result.exitCode, kExitSuccess);
    EXPECT_EQ(version.out, std::string(FERROW_VERSION_TEXT) + "\n");
}

} // namespace
} // namespace ferrow
