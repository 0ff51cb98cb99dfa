#include "ui/LiveSearch.h"

#include "discovery/ReplyReader.h"
#include "platform/TextConversion.h"
#include "ui/AddressSearcher.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

namespace ferrow {

LiveSearch::LiveSearch(AddressSearcher& searcher, Ipv4Address localAddress,
                       Ipv4Address localNetmask, ProtocolSet protocols, RowsHandler onRows,
                       EndHandler onEnd)
    : m_localAddress(NarrowToUtf16(localAddress.Text())), m_localNetmask(localNetmask),
      m_onRows(std::move(onRows)), m_onEnd(std::move(onEnd)),
      m_search(searcher.Start(localAddress, protocols, *this)) {}

LiveSearch::~LiveSearch() {
    // First the search, so that its thread no longer calls in; the deliveries still queued
    // for this object are dropped with it.
    m_search.reset();
}

void LiveSearch::OnSearchReply(std::u16string replyText) {
    if (std::optional<DeviceRecord> record = ReadDeviceReply(replyText)) {
        AddPendingRow(RowOfReply(std::move(*record), m_localAddress, m_localNetmask));
    }
}

void LiveSearch::OnOnvifDevice(OnvifDevice device) {
    AddPendingRow(RowOfOnvifDevice(std::move(device), m_localAddress, m_localNetmask));
}

void LiveSearch::AddPendingRow(DeviceRow row) {
    const std::lock_guard lock(m_mutex);
    m_pendingRows.push_back(std::move(row));
    PostDelivery();
}

void LiveSearch::OnSearchEnd(const SearchEnd& end) {
    const std::lock_guard lock(m_mutex);
    m_pendingEnd = end;
    PostDelivery();
}

void LiveSearch::PostDelivery() {
    if (!m_deliveryPosted) {
        m_deliveryPosted = true;
        QMetaObject::invokeMethod(
            this, [this] { Deliver(); }, Qt::QueuedConnection);
    }
}

void LiveSearch::Deliver() {
    std::vector<DeviceRow> rows;
    std::optional<SearchEnd> end;
    {
        const std::lock_guard lock(m_mutex);
        rows.swap(m_pendingRows);
        end.swap(m_pendingEnd);
        m_deliveryPosted = false;
    }
    if (!rows.empty()) {
        m_onRows(std::move(rows));
    }
    if (end) {
        // The handler may well destroy this search (to start the next one), so it runs from
        // the application's queue, not from here; a search destroyed before then drops it.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self = QPointer<LiveSearch>(this), end = *end] {
                if (self != nullptr) {
                    const EndHandler onEnd = self->m_onEnd;
                    onEnd(end);
                }
            },
            Qt::QueuedConnection);
    }
}

} // namespace ferrow
