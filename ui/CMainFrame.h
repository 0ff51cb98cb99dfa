#pragma once

#include "discovery/CNetImpl.h"
#include "discovery/DeviceProtocol.h"
#include "platform/Ipv4Address.h"
#include "ui/MessageLoop.h"
#include "ui/SearchRounds.h"

#include <QMainWindow>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QTreeWidgetItem;

namespace ferrow {

class AdapterSource;
class AdapterTree;
class AddressSearcher;
class CFerrowView;
class CPaneContainer;
class LiveSearch;
class ProportionalSplitter;
class UrlOpener;
struct SearchEnd;

// What the frame asks of the world: the adapters to list, the search, the browser.
struct FrameServices {
    const AdapterSource& adapters;
    AddressSearcher& searcher;
    UrlOpener& opener;
};

// The program's one top-level window: the "View" and "Help" menus, the status bar, and a
// splitter with the "Network Adaptor" pane (the adapter tree) on the left and the device
// list on the right. Selecting a tree node or choosing "Refresh" searches from the
// selected address, beside the window, in the protocols chosen under View > Search
// Protocols (kept between runs): rows appear as they arrive, and the status bar follows
// the search. With "Keep Searching" checked (in the View menu and the list's popup menu;
// off at start, not kept), the searches of the selection, or of every address, run again
// in rounds, one every 10 s: the rows stay from round to round, changed ones are updated
// in place and those not heard in the last rounds greyed. A new search (a new selection,
// "Refresh", "Search All Addresses", or checking Keep Searching) starts from an empty list
// and round 1; unchecking lets the running round be the last. A new search, or closing
// the frame, stops the running one; closing ends the message loop with exit code 1.
class CMainFrame : public QMainWindow,
                   public CMessageFilter,
                   public CIdleHandler,
                   public CNetImpl<CMainFrame> {
    Q_OBJECT

public:
    explicit CMainFrame(const FrameServices& services);
    ~CMainFrame() override;

    // Builds the children, fills the tree and places the frame; false when the window
    // cannot be made.
    virtual bool CreateEx(const QRect& frameRect);

    // The adapter tree's filling, called by EnumAdapters.
    QTreeWidgetItem* AddAdapterNode(std::u16string description, std::u16string macText);
    void AddAddressNode(QTreeWidgetItem* adapterNode, std::u16string addressText,
                        Ipv4Address netmask);

    // One accepted reply of the running search: a row unless its IP text is listed.
    void OnDeviceReply(std::u16string replyText);

    // Dispatches a command of the menus, the pane's close button or the list's popup
    // menu; control is the window that issued it (null for the menus).
    void HandleCommand(int commandId, QObject* control);

    // Stops a running search and empties the list, then searches from the selected node's
    // address unless it is 0.
    void SearchSelectedAddress();
    // The same for every address of the tree in turn, rows merged by IP text.
    void SearchAllAddresses();
    // The time from the start of one round of Keep Searching to the next: 10 s unless a
    // test sets another.
    void SetSearchInterval(std::chrono::milliseconds interval) { m_rounds.SetInterval(interval); }

    bool PreTranslateMessage(QObject* receiver, QEvent* event) override;
    bool OnIdle() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void HandleCreate();
    void CreateMenus();
    QMenu* CreateProtocolMenu(QMenu* view);
    void CreateStatusBar();
    void FollowMenuForStatusBar(QMenu* menu);
    void HandleDestroy();

    void ToggleStatusBar();
    void ToggleTreePane();
    void HidePaneOnClose(QObject* control);
    void ShowAboutBox();
    void RefreshSearch();
    void ToggleKeepSearching();
    void StartSearches(std::vector<Ipv4Address> addresses);
    void StartRound();
    void StartNextSearch();
    void HandleSearchEnd(const SearchEnd& end);
    void ShowSearchProgress();
    void ShowSearchResult();
    void ShowStatus(const QString& text);
    void HandleTreeSelectionChanged();

    FrameServices m_services;
    ProportionalSplitter* m_splitter = nullptr;
    CPaneContainer* m_paneContainer = nullptr;
    AdapterTree* m_tree = nullptr;
    CFerrowView* m_deviceList = nullptr;
    QTreeWidgetItem* m_rootItem = nullptr;
    QAction* m_statusBarAction = nullptr;
    QAction* m_treePaneAction = nullptr;
    QLabel* m_statusText = nullptr;
    QString m_status;                             // what the status bar says while no menu is open
    ProtocolSet m_protocols = ProtocolSet::All(); // those the searches speak: the menu's choice
    bool m_keepSearching = false;                 // the check of "Keep Searching"
    std::unique_ptr<LiveSearch> m_search;
    SearchRounds m_rounds{[this] { StartRound(); }}; // the searches' rounds, while kept
    std::vector<Ipv4Address> m_searchAddresses;      // of the searches started together: a round
    std::size_t m_searchIndex = 0;                   // the running one among them
    std::vector<std::string> m_searchFailures;
    int m_openMenus = 0;
    CMessageLoop* m_loop = nullptr; // the loop the frame registered with, if any
};

} // namespace ferrow
