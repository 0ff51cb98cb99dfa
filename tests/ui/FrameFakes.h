#pragma once

// Stand-ins for what the frame asks of the world, recording what reaches them.

#include "tests/platform/FakeAdapterSource.h"
#include "ui/AddressSearcher.h"
#include "ui/CMainFrame.h"
#include "ui/UrlOpener.h"

#include <QAbstractItemView>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ferrow::test {

// Records each search's local address and protocols and plays the given replies to the
// observer, then the ONVIF devices, then the end: all at once from Start, or one every gap
// on the window's thread while the search runs (destroying it stops the play, as with the
// real search).
class RecordingSearcher final : public AddressSearcher {
public:
    std::unique_ptr<RunningSearch> Start(Ipv4Address localAddress, ProtocolSet protocols,
                                         SearchObserver& observer) override {
        searches.push_back(localAddress.Text());
        searchedProtocols.push_back(protocols);
        auto search = std::make_unique<PlayedSearch>(*this, observer);
        if (gap.count() == 0) {
            while (search->PlayNext()) {
            }
        } else {
            QObject::connect(&search->timer, &QTimer::timeout, [played = search.get()] {
                if (!played->PlayNext()) {
                    played->timer.stop();
                }
            });
            search->timer.start(gap);
        }
        return search;
    }

    std::vector<std::string> searches;
    std::vector<ProtocolSet> searchedProtocols;
    std::vector<std::u16string> replies;
    std::vector<OnvifDevice> onvifDevices;
    std::chrono::milliseconds gap{0};
    SearchEndReason endReason = SearchEndReason::Quiet;
    int running = 0; // searches started and not yet stopped

private:
    struct PlayedSearch final : RunningSearch {
        PlayedSearch(RecordingSearcher& searcher, SearchObserver& observer)
            : owner(searcher), to(observer) {
            ++owner.running;
        }
        ~PlayedSearch() override { --owner.running; }

        // Plays the next reply or device, or the end after the last; false once the end
        // was played.
        bool PlayNext() {
            if (next < owner.replies.size()) {
                to.OnSearchReply(owner.replies[next++]);
                return true;
            }
            if (const std::size_t device = next - owner.replies.size();
                device < owner.onvifDevices.size()) {
                ++next;
                to.OnOnvifDevice(owner.onvifDevices[device]);
                return true;
            }
            to.OnSearchEnd({owner.endReason, {}});
            return false;
        }

        RecordingSearcher& owner;
        SearchObserver& to;
        std::size_t next = 0;
        QTimer timer;
    };
};

class RecordingOpener final : public UrlOpener {
public:
    bool Open(const QUrl& url) override {
        opened.push_back(url.toString());
        return browserStarts;
    }

    std::vector<QString> opened;
    bool browserStarts = true;
};

// The device list's rows and cells, as the model shows them.
inline int RowCount(const QAbstractItemView& list) {
    return list.model()->rowCount();
}
inline QString CellText(const QAbstractItemView& list, int row, int column) {
    return list.model()->index(row, column).data().toString();
}

// A reply as a recorder sends it: the signature, then the XML.
inline std::u16string RecorderReply(const std::u16string& manufacture, const std::u16string& model,
                                    const std::u16string& ip, const std::u16string& mac,
                                    const std::u16string& httpPort) {
    return u"80503736<XNR><Manufacture>" + manufacture + u"</Manufacture><Model>" + model +
           u"</Model><IP>" + ip + u"</IP><MAC>" + mac + u"</MAC><HttpPort>" + httpPort +
           u"</HttpPort></XNR>";
}

} // namespace ferrow::test
