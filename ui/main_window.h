// The main window: the menu bar, the two pages behind their tabs and the one tree control.
// It is the window CSheet talks to (ISheetWindow): it shows what the sheet asks and hands the
// operator's commands to the sheet, which decides (page changes, closing, the topology
// commands, programming).
#pragma once

#include "app/sheet_window.h"

#include <QMainWindow>

#include <map>
#include <memory>

class AboutDlg;
class CConfigPage;
class CProgrammerPage;
class CSheet;
class CVelmoraTree;
class QAction;
class QMenu;
class SheetTabs;

class MainWindow : public QMainWindow, public ISheetWindow {
    Q_OBJECT

public:
    // Menu 132.
    enum Command : int {
        kExecuteOnce = 32773,
        kAutomatedExecution = 32774,
        kTopologyNew = 32775,
        kTopologyLoad = 32776,
        kTopologySave = 32777,
        kHelpAbout = 32781,
    };
    enum MenuPosition : int { kExecutionOptionsMenu = 0, kTopologyMenu = 1, kHelpMenu = 2 };

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The sheet's start-up (remembered topology, library, first enumeration). False when a
    // step failed; the window stays usable unless Sheet().StartupFatalError() is set.
    bool OnInitDialog();

    CSheet& Sheet() const { return *sheet_; }
    CConfigPage& ConfigPage() const { return *configPage_; }
    CProgrammerPage& ProgrammerPage() const { return *programmerPage_; }
    CVelmoraTree& Tree() const { return *tree_; }
    SheetTabs& Tabs() const { return *tabs_; }
    AboutDlg& AboutBox() const { return *aboutBox_; }
    // The menu item of a command, and the popups by position.
    QAction* CommandAction(int command) const;
    QMenu* Menu(int position) const;

    void FitToActivePage();
    void OnHelpAbout();

    // ISheetWindow
    void AppendStatus(int page, const QString& line) override;
    void ActivatePage(int page) override;
    MessageAnswer ShowMessage(const MessageRequest& request) override;
    QString AskForFile(const FileDialogRequest& request) override;
    void ShowExecutionOption(bool once) override;
    void EnableTopologyMenu(bool enabled) override;
    void ShowStartButton() override;
    void UpdateCfgSettingUI() override;
    void InvalidateTree() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateMenus();
    QAction* AddCommand(QMenu* menu, int command, const char* text, bool checkable = false);
    void OnDestroy();

    std::unique_ptr<CSheet> sheet_;
    SheetTabs* tabs_ = nullptr;
    CConfigPage* configPage_ = nullptr;
    CProgrammerPage* programmerPage_ = nullptr;
    CVelmoraTree* tree_ = nullptr;
    AboutDlg* aboutBox_ = nullptr;
    QMenu* menus_[3] = {nullptr, nullptr, nullptr};
    std::map<int, QAction*> commands_;
    bool destroyed_ = false;
};
