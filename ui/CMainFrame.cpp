#include "ui/CMainFrame.h"

#include "discovery/DiscoveryProtocol.h"
#include "discovery/Ipv4Address.h"
#include "discovery/ReplyReader.h"
#include "discovery/TextConversion.h"
#include "ui/AdapterTree.h"
#include "ui/AddressSearcher.h"
#include "ui/AppIcon.h"
#include "ui/AppModule.h"
#include "ui/CAboutDlg.h"
#include "ui/CFerrowView.h"
#include "ui/CPaneContainer.h"
#include "ui/CommandIds.h"
#include "ui/ProportionalSplitter.h"

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
    CreateMenus();
    CreateStatusBar();

    m_splitter = new ProportionalSplitter(this);
    m_splitter->setObjectName(QStringLiteral("splitter"));
    setCentralWidget(m_splitter);

    m_paneContainer = new CPaneContainer(QStringLiteral("Network Adaptor"), m_splitter);
    m_tree = new AdapterTree(m_paneContainer);
    m_paneContainer->SetClient(m_tree);
    m_deviceList = new CFerrowView(m_services.opener, m_splitter);

    m_splitter->SetSplitterPanes(m_paneContainer, m_deviceList);
    m_splitter->SetSplitterPosPct(kTreePanePercent);

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

    m_rootItem = m_tree->AppendNode(nullptr, QStringLiteral("Computer"), 0);
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

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    addCommand(help, QStringLiteral("&About Ferrow..."), "actionAbout", kCommandAbout);

    FollowMenuForStatusBar(view);
    FollowMenuForStatusBar(help);
}

void CMainFrame::CreateStatusBar() {
    m_idleStatus = kReadyText;
    m_statusText = new QLabel(m_idleStatus, this);
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
            m_statusText->setText(m_idleStatus);
        }
    });
}

QTreeWidgetItem* CMainFrame::AddAdapterNode(std::u16string description, std::u16string macText) {
    const QString text = QString::fromStdU16String(description) + QStringLiteral(" (") +
                         QString::fromStdU16String(macText) + QStringLiteral(")");
    return m_tree->AppendNode(m_rootItem, text, 0);
}

void CMainFrame::AddAddressNode(QTreeWidgetItem* adapterNode, std::u16string addressText) {
    const std::uint32_t address = Ipv4FromText(Utf16ToNarrow(addressText));
    m_tree->AppendNode(adapterNode, QString::fromStdU16String(addressText), address);
}

void CMainFrame::OnDeviceReply(std::u16string replyText) {
    if (const auto record = ReadDeviceReply(replyText)) {
        m_deviceList->AddDeviceRow(*record);
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
    default:
        break;
    }
}

void CMainFrame::SearchSelectedAddress() {
    m_deviceList->ClearDevices();
    const std::uint32_t address = m_tree->GetSelectedAddress();
    if (address == 0) {
        return;
    }
    m_services.searcher.Search(Ipv4ToText(address), [this](std::u16string replyText) {
        OnDeviceReply(std::move(replyText));
    });
    ShowIdleStatus(m_deviceList->DroppedRows());
}

void CMainFrame::ShowIdleStatus(std::uint64_t droppedRows) {
    m_idleStatus = droppedRows == 0
                       ? kReadyText
                       : QStringLiteral("Listed the first %1 recorders only, the most one list "
                                        "holds; replies from %2 more were dropped")
                             .arg(kMaxDevicesPerSearch)
                             .arg(droppedRows);
    if (m_openMenus == 0) {
        m_statusText->setText(m_idleStatus);
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

void CMainFrame::HandleTreeSelectionChanged() {
    SearchSelectedAddress();
}

} // namespace ferrow
