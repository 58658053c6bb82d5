#include "ui/main_window.h"

#include "app/command_line.h"
#include "app/sheet.h"
#include "pages/sheet_keys.h"
#include "ui/about_dlg.h"
#include "ui/config_page.h"
#include "ui/operator_dialogs.h"
#include "ui/programmer_page.h"
#include "ui/sheet_tabs.h"
#include "ui/tool_icon.h"
#include "ui/velmora_tree.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QVBoxLayout>

namespace {

// Space between the window's edges and the tab control; the page ends 14 pixels above the
// window's bottom edge.
constexpr int kSheetMargin = 7;
constexpr int kSheetBottomMargin = 14;

} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QString::fromLatin1(CSheet::kCaption));
    setWindowIcon(ToolIcon());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    sheet_ = std::make_unique<CSheet>(*this);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(kSheetMargin, kSheetMargin, kSheetMargin, kSheetBottomMargin);
    tabs_ = new SheetTabs(central);
    configPage_ = new CConfigPage(*sheet_);
    programmerPage_ = new CProgrammerPage(*sheet_);
    tabs_->addTab(configPage_, configPage_->windowTitle());
    tabs_->addTab(programmerPage_, programmerPage_->windowTitle());
    layout->addWidget(tabs_);
    setCentralWidget(central);
    connect(tabs_, &SheetTabs::PageRequested, this,
            [this](int page) { sheet_->RequestActivePage(page); });

    tree_ = new CVelmoraTree(*sheet_, configPage_);
    tree_->setGeometry(configPage_->TreeFrame());

    aboutBox_ = new AboutDlg(this);
    CreateMenus();
    // The window is as large as its pages and cannot be resized.
    this->layout()->setSizeConstraint(QLayout::SetFixedSize);
}

MainWindow::~MainWindow() {
    OnDestroy();
    // The views go before the sheet whose tree they show.
    delete tree_;
    tree_ = nullptr;
    delete takeCentralWidget();
    configPage_ = nullptr;
    programmerPage_ = nullptr;
    tabs_ = nullptr;
    sheet_.reset();
}

void MainWindow::CreateMenus() {
    QMenuBar* bar = menuBar();
    menus_[kExecutionOptionsMenu] = bar->addMenu(QStringLiteral("Execution Options"));
    menus_[kTopologyMenu] = bar->addMenu(QStringLiteral("Topology"));
    menus_[kHelpMenu] = bar->addMenu(QStringLiteral("Help"));

    QAction* once = AddCommand(menus_[kExecutionOptionsMenu], kExecuteOnce, "Execute Once", true);
    QAction* automated =
        AddCommand(menus_[kExecutionOptionsMenu], kAutomatedExecution, "Automated Execution", true);
    // The sheet decides; the marks then show what it decided (a refused command leaves them).
    connect(once, &QAction::triggered, this, [this] {
        sheet_->OnProgramoptionsProgramonce();
        ShowExecutionOption(sheet_->IsExecuteOnce());
    });
    connect(automated, &QAction::triggered, this, [this] {
        sheet_->OnProgramoptionsAutomatedprogram();
        ShowExecutionOption(sheet_->IsExecuteOnce());
    });
    connect(AddCommand(menus_[kTopologyMenu], kTopologyNew, "New"), &QAction::triggered, this,
            [this] { sheet_->OnTopologyView(); });
    connect(AddCommand(menus_[kTopologyMenu], kTopologyLoad, "Load       "), &QAction::triggered,
            this, [this] { sheet_->OnTopologyLoad(); });
    connect(AddCommand(menus_[kTopologyMenu], kTopologySave, "Save       "), &QAction::triggered,
            this, [this] { sheet_->OnTopologySave(); });
    connect(AddCommand(menus_[kHelpMenu], kHelpAbout, "About"), &QAction::triggered, this,
            &MainWindow::OnHelpAbout);
    ShowExecutionOption(true);
}

QAction* MainWindow::AddCommand(QMenu* menu, int command, const char* text, bool checkable) {
    QAction* action = menu->addAction(QString::fromLatin1(text));
    action->setObjectName(QString::number(command));
    action->setCheckable(checkable);
    commands_[command] = action;
    return action;
}

QAction* MainWindow::CommandAction(int command) const {
    const auto it = commands_.find(command);
    return it != commands_.end() ? it->second : nullptr;
}

QMenu* MainWindow::Menu(int position) const {
    return position >= 0 && position < 3 ? menus_[position] : nullptr;
}

bool MainWindow::OnInitDialog() {
    configPage_->OnInitDialog(commandline::OtpDumpFlag());
    programmerPage_->OnInitDialog();
    return sheet_->OnInitDialog();
}

void MainWindow::OnDestroy() {
    if (destroyed_) {
        return;
    }
    destroyed_ = true;
    sheet_->OnDestroy();
}

void MainWindow::FitToActivePage() {
    adjustSize();
}

void MainWindow::OnHelpAbout() {
    aboutBox_->OnInitDialog();
    OperatorDialogs::RunModal(*aboutBox_);
}

void MainWindow::AppendStatus(int page, const QString& line) {
    if (page == kConfigPage) {
        configPage_->AddStatus(line);
    } else if (page == kProgrammerPage) {
        programmerPage_->AddStatus(line);
    }
}

void MainWindow::ActivatePage(int page) {
    DialogPage* target = page == kProgrammerPage ? static_cast<DialogPage*>(programmerPage_)
                                                 : static_cast<DialogPage*>(configPage_);
    tabs_->ShowPage(page);
    // The page takes the tree over.
    const bool hadFocus = tree_->hasFocus();
    if (tree_->parentWidget() != target) {
        tree_->setParent(target);
    }
    tree_->setGeometry(target->TreeFrame());
    tree_->show();
    if (hadFocus) {
        tree_->setFocus();
    }
    if (page == kProgrammerPage) {
        programmerPage_->OnSetActive();
    }
    FitToActivePage();
}

MessageAnswer MainWindow::ShowMessage(const MessageRequest& request) {
    return OperatorDialogs::ShowMessage(this, request);
}

QString MainWindow::AskForFile(const FileDialogRequest& request) {
    return OperatorDialogs::AskForFile(this, request);
}

void MainWindow::ShowExecutionOption(bool once) {
    if (QAction* action = CommandAction(kExecuteOnce)) {
        action->setChecked(once);
    }
    if (QAction* action = CommandAction(kAutomatedExecution)) {
        action->setChecked(!once);
    }
    if (programmerPage_ != nullptr) {
        programmerPage_->ShowExecutionOption(once);
    }
}

void MainWindow::EnableTopologyMenu(bool enabled) {
    menus_[kTopologyMenu]->menuAction()->setEnabled(enabled);
    menus_[kExecutionOptionsMenu]->menuAction()->setEnabled(true);
}

void MainWindow::ShowStartButton() {
    programmerPage_->ShowStartButton();
}

void MainWindow::UpdateCfgSettingUI() {
    configPage_->UpdateCfgSettingUI();
}

void MainWindow::InvalidateTree() {
    if (tree_ != nullptr) {
        tree_->viewport()->update();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!sheet_->ConfirmClose()) {
        event->ignore();
        return;
    }
    event->accept();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (SheetConsumesKey(event->key())) {
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}
