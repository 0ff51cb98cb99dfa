#include "ui/CMainFrame.h"

#include "discovery/ReplyReader.h"
#include "discovery/SearchEnd.h"
#include "platform/Ipv4Address.h"
#include "platform/TextConversion.h"
#include "ui/AdapterTree.h"
#include "ui/AddressSearcher.h"
#include "ui/AppIcon.h"
#include "ui/AppModule.h"
#include "ui/CAboutDlg.h"
#include "ui/CFerrowView.h"
#include "ui/CPaneContainer.h"
#include "ui/CommandIds.h"
#include "ui/LiveSearch.h"
#include "ui/ProportionalSplitter.h"
#include "ui/SearchProtocolChoice.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

namespace ferrow {

namespace {

constexpr int kTreePanePercent = 42;

const QString kReadyText = QStringLiteral("Ready");

} // namespace

CMainFrame::CMainFrame(const FrameServices& services) : m_services(services) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(QStringLiteral("Ferrow"));
    setWindowIcon(ApplicationIcon());
}

CMainFrame::~CMainFrame() {
    // The children die after this body; what they send meanwhile must not reach the frame.
    if (m_tree != nullptr) {
        m_tree->disconnect(this);
        m_deviceList->disconnect(this);
        m_paneContainer->disconnect(this);
    }
    HandleDestroy();
}

bool CMainFrame::CreateEx(const QRect& frameRect) {
    HandleCreate();
    move(frameRect.topLeft());
    resize(frameRect.size());
    create();
    return windowHandle() != nullptr;
}

void CMainFrame::HandleCreate() {
    m_splitter = new ProportionalSplitter(this);
    m_splitter->setObjectName(QStringLiteral("splitter"));
    setCentralWidget(m_splitter);

    m_paneContainer = new CPaneContainer(QStringLiteral("Network Adaptor"), m_splitter);
    m_tree = new AdapterTree(m_paneContainer);
    m_paneContainer->SetClient(m_tree);
    m_deviceList = new CFerrowView(m_services.opener, m_splitter);

    m_splitter->SetSplitterPanes(m_paneContainer, m_deviceList);
    m_splitter->SetSplitterPosPct(kTreePanePercent);

    CreateMenus(); // after the list, whose Keep Searching check the View menu shows
    CreateStatusBar();
    m_statusBarAction->setChecked(true);
    m_treePaneAction->setChecked(true);

    m_loop = Module().GetMessageLoop();
    if (m_loop != nullptr) {
        m_loop->AddMessageFilter(this);
        m_loop->AddIdleHandler(this);
    }

    connect(m_paneContainer, &CPaneContainer::Command, this, &CMainFrame::HandleCommand);
    connect(m_deviceList, &CFerrowView::Command, this, &CMainFrame::HandleCommand);
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this,
            &CMainFrame::HandleTreeSelectionChanged);

    m_rootItem = m_tree->AppendNode(nullptr, QStringLiteral("Computer"), Ipv4Address());
    EnumAdapters(this, m_services.adapters);
}

void CMainFrame::CreateMenus() {
    const auto addCommand = [this](QMenu* menu, const QString& text, const char* name,
                                   int commandId) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this,
                [this, commandId] { HandleCommand(commandId, nullptr); });
        return action;
    };

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    m_statusBarAction =
        addCommand(view, QStringLiteral("&Status Bar"), "actionStatusBar", kCommandStatusBar);
    m_treePaneAction =
        addCommand(view, QStringLiteral("Tree &Pane"), "actionTreePane", kCommandTreePane);
    m_statusBarAction->setCheckable(true);
    m_treePaneAction->setCheckable(true);
    view->addSeparator();
    QMenu* protocols = CreateProtocolMenu(view);
    view->addAction(m_deviceList->KeepSearchingAction());

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    addCommand(help, QStringLiteral("&About Ferrow..."), "actionAbout", kCommandAbout);

    FollowMenuForStatusBar(view);
    FollowMenuForStatusBar(protocols);
    FollowMenuForStatusBar(help);
}

QMenu* CMainFrame::CreateProtocolMenu(QMenu* view) {
    QMenu* menu = view->addMenu(QStringLiteral("Search P&rotocols"));
    menu->setObjectName(QStringLiteral("searchProtocolsMenu"));
    auto* choices = new QActionGroup(menu);
    choices->setExclusive(true);
    m_protocols = LoadSearchProtocols();
    for (const SearchProtocolChoice& choice : kSearchProtocolChoices) {
        QAction* action = menu->addAction(QString::fromLatin1(choice.text));
        action->setObjectName(QLatin1String(choice.actionName));
        action->setCheckable(true);
        action->setChecked(choice.protocols == m_protocols);
        choices->addAction(action);
        // The choice is kept for the next searches and the next runs; none starts here.
        connect(action, &QAction::triggered, this, [this, chosen = choice.protocols] {
            m_protocols = chosen;
            SaveSearchProtocols(chosen);
        });
    }
    return menu;
}

void CMainFrame::CreateStatusBar() {
    m_status = kReadyText;
    m_statusText = new QLabel(m_status, this);
    m_statusText->setObjectName(QStringLiteral("statusText"));
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    statusBar()->setSizeGripEnabled(true);
    statusBar()->addWidget(m_statusText, 1);
}

void CMainFrame::FollowMenuForStatusBar(QMenu* menu) {
    // The menus carry no prompts: the status bar is blank while one is open.
    connect(menu, &QMenu::aboutToShow, this, [this] {
        ++m_openMenus;
        m_statusText->clear();
    });
    connect(menu, &QMenu::aboutToHide, this, [this] {
        if (--m_openMenus == 0) {
            m_statusText->setText(m_status);
        }
    });
}

QTreeWidgetItem* CMainFrame::AddAdapterNode(std::u16string description, std::u16string macText) {
    const QString text = QString::fromStdU16String(description) + QStringLiteral(" (") +
                         QString::fromStdU16String(macText) + QStringLiteral(")");
    return m_tree->AppendNode(m_rootItem, text, Ipv4Address());
}

void CMainFrame::AddAddressNode(QTreeWidgetItem* adapterNode, std::u16string addressText,
                                Ipv4Address netmask) {
    const Ipv4Address address = Ipv4Address::FromText(Utf16ToNarrow(addressText));
    m_tree->AppendNode(adapterNode, QString::fromStdU16String(addressText), address, netmask);
}

void CMainFrame::OnDeviceReply(std::u16string replyText) {
    if (auto record = ReadDeviceReply(replyText)) {
        m_deviceList->AddDeviceRow(std::move(*record));
    }
}

void CMainFrame::HandleCommand(int commandId, QObject* control) {
    switch (commandId) {
    case kCommandStatusBar:
        ToggleStatusBar();
        break;
    case kCommandAbout:
        ShowAboutBox();
        break;
    case kCommandTreePane:
        ToggleTreePane();
        break;
    case kCommandPaneClose:
        HidePaneOnClose(control);
        break;
    case kCommandRefresh:
        RefreshSearch();
        break;
    case kCommandSearchAll:
        SearchAllAddresses();
        break;
    case kCommandKeepSearching:
        ToggleKeepSearching();
        break;
    default:
        break;
    }
}

void CMainFrame::SearchSelectedAddress() {
    const Ipv4Address address = m_tree->GetSelectedAddress();
    StartSearches(address.CanSearchFrom() ? std::vector<Ipv4Address>{address}
                                          : std::vector<Ipv4Address>{});
}

void CMainFrame::SearchAllAddresses() {
    StartSearches(m_tree->SearchableAddresses());
}

void CMainFrame::StartSearches(std::vector<Ipv4Address> addresses) {
    m_search.reset();
    m_rounds.Stop();
    m_deviceList->ClearDevices();
    m_searchAddresses = std::move(addresses);
    if (m_searchAddresses.empty()) {
        ShowStatus(kReadyText);
        return;
    }
    if (m_keepSearching) {
        m_rounds.Start();
    }
    StartRound();
}

void CMainFrame::StartRound() {
    m_searchIndex = 0;
    m_searchFailures.clear();
    StartNextSearch();
}

void CMainFrame::StartNextSearch() {
    const Ipv4Address address = m_searchAddresses[m_searchIndex];
    m_search = std::make_unique<LiveSearch>(
        m_services.searcher, address, m_tree->NetmaskOf(address), m_protocols,
        [this](std::vector<DeviceRow> rows) {
            if (m_rounds.Watching()) {
                m_rounds.Hear(rows);
            }
            m_deviceList->AddDeviceRows(std::move(rows));
            ShowSearchProgress();
        },
        [this](const SearchEnd& end) { HandleSearchEnd(end); });
    ShowSearchProgress();
}

void CMainFrame::HandleSearchEnd(const SearchEnd& end) {
    const std::string address = m_searchAddresses[m_searchIndex].Text();
    if (const std::string failure = SearchFailureText(address, end.reason, end.reasonFrom);
        !failure.empty()) {
        m_searchFailures.push_back(failure);
    }
    if (++m_searchIndex < m_searchAddresses.size()) {
        StartNextSearch();
        return;
    }
    m_search.reset();
    if (m_rounds.Watching()) {
        m_deviceList->FollowRound(m_rounds.EndRound(), m_rounds.Rows());
    }
    ShowSearchResult();
}

namespace {

QString Devices(int count) {
    return count == 1 ? QStringLiteral("1 device") : QStringLiteral("%1 devices").arg(count);
}

QString Interval(std::chrono::milliseconds interval) {
    return QStringLiteral("%1 s").arg(static_cast<double>(interval.count()) / 1000.0);
}

QString Sentence(const std::string& text) {
    QString sentence = QString::fromStdString(text);
    if (!sentence.isEmpty()) {
        sentence[0] = sentence[0].toUpper();
    }
    return sentence;
}

} // namespace

void CMainFrame::ShowSearchProgress() {
    QString where = QString::fromStdString(m_searchAddresses[m_searchIndex].Text());
    if (m_searchAddresses.size() > 1) {
        where += QStringLiteral(" (%1 of %2)").arg(m_searchIndex + 1).arg(m_searchAddresses.size());
    }
    if (m_rounds.Repeating()) {
        where += QStringLiteral(" every %1, round %2")
                     .arg(Interval(m_rounds.Interval()))
                     .arg(m_rounds.Round());
    }
    ShowStatus(QStringLiteral("Searching from %1\u2026 %2")
                   .arg(where, Devices(m_deviceList->DeviceCount())));
}

void CMainFrame::ShowSearchResult() {
    const int found = m_deviceList->DeviceCount();
    const bool all = m_searchAddresses.size() > 1;
    const QString where = all ? QStringLiteral("every address")
                              : QString::fromStdString(m_searchAddresses.front().Text());
    QStringList parts;
    if (found > 0) {
        parts << QStringLiteral("%1 found from %2").arg(Devices(found), where);
    } else if (m_searchFailures.size() < m_searchAddresses.size()) {
        parts << (all ? QStringLiteral("No device answered on any address")
                      : QStringLiteral("No device answered on %1").arg(where));
    }
    if (const int gone = m_deviceList->GoneDeviceCount(); gone > 0) {
        parts
            << QStringLiteral("%1 not heard in the last %2 rounds").arg(gone).arg(kRoundsUntilGone);
    }
    for (const std::string& failure : m_searchFailures) {
        parts << Sentence(failure);
    }
    if (const std::uint64_t dropped = m_deviceList->DroppedRows(); dropped > 0) {
        parts << Sentence(RowLimitText(dropped));
    }
    if (m_rounds.Repeating()) {
        parts << QStringLiteral("Searching every %1, round %2 done")
                     .arg(Interval(m_rounds.Interval()))
                     .arg(m_rounds.Round());
    }
    ShowStatus(parts.join(QStringLiteral("; ")));
}

void CMainFrame::ShowStatus(const QString& text) {
    m_status = text;
    if (m_openMenus == 0) {
        m_statusText->setText(m_status);
    }
}

bool CMainFrame::PreTranslateMessage(QObject* receiver, QEvent* event) {
    // No accelerator table exists; the list is asked last and consumes nothing.
    return m_deviceList != nullptr && m_deviceList->PreTranslateMessage(receiver, event);
}

bool CMainFrame::OnIdle() {
    // No toolbar carries update state; the menu checks are set as commands run.
    return false;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) {
        m_search.reset(); // the network is left at once, not when the loop has ended
        m_rounds.Stop();
        HandleDestroy();
        PostQuitMessage(1);
    }
}

void CMainFrame::HandleDestroy() {
    if (m_loop != nullptr) {
        m_loop->RemoveMessageFilter(this);
        m_loop->RemoveIdleHandler(this);
        m_loop = nullptr;
    }
}

void CMainFrame::ToggleStatusBar() {
    const bool show = statusBar()->isHidden();
    statusBar()->setVisible(show);
    m_statusBarAction->setChecked(show);
}

void CMainFrame::ToggleTreePane() {
    const bool show = m_splitter->IsRightPaneOnly();
    m_splitter->SetRightPaneOnly(!show);
    m_treePaneAction->setChecked(show);
}

void CMainFrame::HidePaneOnClose(QObject* control) {
    if (control != m_paneContainer) {
        return;
    }
    m_splitter->SetRightPaneOnly(true);
    m_treePaneAction->setChecked(false);
}

void CMainFrame::ShowAboutBox() {
    CAboutDlg dialog(QApplication::activeWindow());
    dialog.exec();
}

void CMainFrame::RefreshSearch() {
    SearchSelectedAddress();
}

void CMainFrame::ToggleKeepSearching() {
    m_keepSearching = !m_keepSearching;
    m_deviceList->KeepSearchingAction()->setChecked(m_keepSearching);
    if (m_keepSearching) {
        SearchSelectedAddress(); // round 1 at once, from an empty list, as Refresh does
        return;
    }
    if (m_rounds.Repeating()) {
        // A running round is the last, and ends as a search does; between rounds, the
        // status bar no longer announces the next.
        m_rounds.StopRepeating();
        if (m_search == nullptr) {
            ShowSearchResult();
        }
    }
}

void CMainFrame::HandleTreeSelectionChanged() {
    SearchSelectedAddress();
}

} // namespace ferrow
