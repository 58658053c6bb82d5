// Everything CSheet needs from its window, as one interface. The Qt window implements it with
// widgets, the headless runner prints, and the tests record. The engine never shows anything
// itself: it asks through this interface and carries on with the answer.
#pragma once

#include <QString>
#include <QStringList>

enum class MessageIcon { None, Information, Exclamation, Question, Warning };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

struct MessageRequest {
    QString text;
    QString caption;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;

    // What an operator who just presses Enter answers: the first button.
    MessageAnswer DefaultAnswer() const {
        switch (buttons) {
        case MessageButtons::OkCancel:
            return MessageAnswer::Ok;
        case MessageButtons::YesNo:
            return MessageAnswer::Yes;
        case MessageButtons::Ok:
            break;
        }
        return MessageAnswer::Ok;
    }
};

struct FileDialogRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    QString title;            // empty: the platform's default title
    QStringList filters;      // "Tolopoly Config (*.tcf)", in order
    QString defaultName;      // initial file name (save dialogs)
    QString defaultExtension; // appended when the chosen name has none ("tcf")
    bool confirmOverwrite = false;
    bool mustExist = false;
};

// Page indexes of the sheet.
inline constexpr int kConfigPage = 0;
inline constexpr int kProgrammerPage = 1;

class ISheetWindow {
public:
    virtual ~ISheetWindow() = default;

    // Appends a line to the status box of page kConfigPage or kProgrammerPage.
    virtual void AppendStatus(int page, const QString& line) = 0;
    // Brings a page to the front (the sheet has already decided that it may). The page takes
    // the tree over; the sheet has set the tree's drawing mode.
    virtual void ActivatePage(int page) = 0;
    // Message box; returns the button pressed.
    virtual MessageAnswer ShowMessage(const MessageRequest& request) = 0;
    // Open or save file dialog; returns the chosen absolute path, empty when cancelled.
    virtual QString AskForFile(const FileDialogRequest& request) = 0;
    // The execution option: check marks of "Execute Once"/"Automated Execution" and the
    // execution page's radio buttons.
    virtual void ShowExecutionOption(bool once) = 0;
    // Whether the "Topology" menu can be used (it is greyed on the execution page).
    virtual void EnableTopologyMenu(bool enabled) = 0;
    // Hides STOP and shows START on the execution page.
    virtual void ShowStartButton() = 0;
    // The configuration page shows the settings of the selected device's node again.
    virtual void UpdateCfgSettingUI() = 0;
    // The tree's colours and markers must be painted again.
    virtual void InvalidateTree() = 0;
};
