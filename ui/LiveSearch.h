#pragma once

#include "discovery/DeviceSearch.h"
#include "discovery/SearchEnd.h"
#include "rows/DeviceRow.h"

#include <QObject>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace ferrow {

class AddressSearcher;

// One search of the window, brought onto the window's thread. Replies are read into rows
// on the search's own thread; the rows gathered meanwhile reach onRows in one call per
// turn of the window's event loop, so that a burst of thousands costs the window a few
// insertions (onRows must leave the search alive), and onEnd comes last, in a turn of its
// own: no call of this object is on the stack then, so onEnd may destroy it. Destroying it
// stops the search: nothing is delivered afterwards, not even what was already gathered.
//
// Threads: made, used and destroyed on the window's thread; only the search's observer
// calls run on the search's thread, and they touch nothing but the pending rows and end.
class LiveSearch final : public QObject, private SearchObserver {
public:
    using RowsHandler = std::function<void(std::vector<DeviceRow> rows)>;
    using EndHandler = std::function<void(const SearchEnd& end)>;

    // The rows carry the local address and its netmask.
    LiveSearch(AddressSearcher& searcher, Ipv4Address localAddress, Ipv4Address localNetmask,
               ProtocolSet protocols, RowsHandler onRows, EndHandler onEnd);
    ~LiveSearch() override;

private:
    // On the search's thread.
    void OnSearchReply(std::u16string replyText) override;
    void OnOnvifDevice(OnvifDevice device) override;
    void AddPendingRow(DeviceRow row);
    void OnSearchEnd(const SearchEnd& end) override;
    void PostDelivery(); // with m_mutex held
    // On the window's thread.
    void Deliver();

    const std::u16string m_localAddress;
    const Ipv4Address m_localNetmask;
    const RowsHandler m_onRows;
    const EndHandler m_onEnd;
    std::mutex m_mutex;
    std::vector<DeviceRow> m_pendingRows;
    std::optional<SearchEnd> m_pendingEnd;
    bool m_deliveryPosted = false;
    std::unique_ptr<RunningSearch> m_search; // last: started once the rest is built
};

} // namespace ferrow
