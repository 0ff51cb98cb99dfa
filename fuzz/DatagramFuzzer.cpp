// Plays arbitrary bytes as the datagrams of one search down the road they take after the
// socket: the checks of size and signature, the conversion to UTF-16, the reply reader
// and the collection of rows. The input is cut into datagrams at each "\xFE\xFF" (a pair
// that is never UTF-8); one longer than the read size stands for an oversize datagram.
#include "discovery/DiscoveryProtocol.h"
#include "discovery/ReplyDatagram.h"
#include "discovery/ReplyReader.h"
#include "rows/DeviceCollection.h"
#include "xml/EntityCodec.h"

#include <clocale>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unordered_set>

namespace {

using namespace ferrow;

constexpr std::string_view kSeparator = "\xFE\xFF";

using Rows = DeviceCollection<DeviceRecord>;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The reply a recorder with these fields would send, each text escaped.
std::u16string ReplyOf(const DeviceRecord& record) {
    std::u16string reply = u"80503736<XNR>";
    const auto add = [&reply](std::u16string_view name, const std::u16string& text) {
        reply.append(u"<").append(name).append(u">");
        reply += EscapeMarkup(text.c_str(), 0);
        reply.append(u"</").append(name).append(u">");
    };
    add(u"Manufacture", record.Manufacture);
    add(u"Model", record.Model);
    add(u"IP", record.IP);
    add(u"MAC", record.MAC);
    add(u"HttpPort", record.HttpPort);
    return reply + u"</XNR>";
}

void CheckAccepted(std::string_view bytes, bool oversize, const std::u16string* reply) {
    const bool expected = !bytes.empty() && !oversize && HasProbeSignature(bytes);
    Require((reply != nullptr) == expected);
    if (reply != nullptr) {
        Require(reply->starts_with(u"80503736"));
        Require(reply->find(u'\0') == std::u16string::npos);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    // Narrow network text is read in the locale's character set, as the programs do.
    std::setlocale(LC_ALL, "C.UTF-8");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    SearchCounts counts;
    Rows rows(8); // small, so that the limit is reached too
    std::unordered_set<std::u16string> ipTexts;
    std::uint64_t refused = 0;
    while (true) {
        const std::size_t cut = input.find(kSeparator);
        std::string_view bytes = input.substr(0, cut);
        const bool oversize = bytes.size() > static_cast<std::size_t>(kReceiveBufferSize);
        bytes = bytes.substr(0, kReceiveBufferSize);

        const auto reply = AcceptDatagram(bytes, oversize, counts);
        CheckAccepted(bytes, oversize, reply ? &*reply : nullptr);
        if (reply) {
            if (const auto record = ReadDeviceReply(*reply)) {
                // The fields are the child texts: written back as a reply, they read the same.
                Require(ReadDeviceReply(ReplyOf(*record)) == record);
                const bool known = ipTexts.contains(record->IP);
                const AddOutcome added = rows.Add(*record).outcome;
                Require(known == (added == AddOutcome::AlreadyListed));
                if (added == AddOutcome::Added) {
                    ipTexts.insert(record->IP);
                    Require(rows.Rows().back() == *record);
                }
                refused += added == AddOutcome::Full ? 1 : 0;
            }
        }
        if (cut == std::string_view::npos) {
            break;
        }
        input.remove_prefix(cut + kSeparator.size());
    }
    Require(counts.datagrams == counts.accepted + counts.ignoredEmpty + counts.ignoredOversize +
                                    counts.ignoredWithoutSignature);
    Require(rows.Rows().size() == ipTexts.size() && rows.Rows().size() <= 8);
    Require(rows.Dropped() == refused);
    return 0;
}
