#pragma once

// Stand-ins for what the frame asks of the world, recording what reaches them.

#include "discovery/AdapterSource.h"
#include "ui/AddressSearcher.h"
#include "ui/CMainFrame.h"
#include "ui/UrlOpener.h"

#include <QAbstractItemView>
#include <QUrl>
#include <functional>
#include <string>
#include <vector>

namespace ferrow::test {

class FakeAdapterSource final : public AdapterSource {
public:
    explicit FakeAdapterSource(std::vector<AdapterInfo> adapters = {})
        : m_adapters(std::move(adapters)) {}
    std::vector<AdapterInfo> ListAdapters() const override { return m_adapters; }

private:
    std::vector<AdapterInfo> m_adapters;
};

// Records each search's local address and plays the given replies to the caller.
class RecordingSearcher final : public AddressSearcher {
public:
    SearchEnd Search(const std::string& localAddress, const ReplyHandler& onReply) override {
        searches.push_back(localAddress);
        for (const std::u16string& reply : replies) {
            onReply(reply);
        }
        return {};
    }

    std::vector<std::string> searches;
    std::vector<std::u16string> replies;
};

class RecordingOpener final : public UrlOpener {
public:
    void Open(const QUrl& url) override { opened.push_back(url.toString()); }

    std::vector<QString> opened;
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
