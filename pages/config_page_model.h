// CConfigPage's rules without widgets: which settings controls are usable for the selected
// hub's node, when the node counts as complete (configComplete), what every handler writes
// into the node, the serial Set/Reset with their messages, the browse dialog and the global
// status box. The configuration page widget only shows Controls() and forwards the
// operator's actions here.
#pragma once

#include "pages/control_state.h"
#include "pages/status_box_text.h"

#include <QString>

#include <functional>

class CDeviceData;
class CSheet;
struct TcfItem;

class ConfigPageModel {
public:
    // Controls of dialog 104 the rules address.
    enum ControlId : int {
        kTreeFrame = 1000,
        kSettingsGroup = 1003,
        kPartLabel = 1053,
        kPartList = 1054,
        kMemoryLabel = 1004,
        kMemoryList = 1005,
        kOperationLabel = 1055,
        kProgramCheck = 1024,
        kVerifyCheck = 1012,
        kFileLabel = 1006,
        kFileBox = 1020,
        kBrowseButton = 1015,
        kSerialTypeLabel = 1040,
        kSerialTypeList = 1041,
        kCustomSerialGroup = 1042,
        kPrefixLabel = 1046,
        kPrefixEdit = 1021,
        kIncrementLabel = 1045,
        kIncrementEdit = 1025,
        kStartLabel = 1043,
        kStartEdit = 1022,
        kMaxLabel = 1044,
        kMaxEdit = 1023,
        kSetButton = 1049,
        kResetButton = 1048,
        kCurrentLabel = 1050,
        kCurrentBox = 1051,
        kStatusBox = 1016,
        kDumpOtpButton = 1067,
    };

    static constexpr const char* kSettingsCaption = "Configuration Settings:";
    static constexpr const char* kSerialErrorMessage = "Error Serial Data: %1";
    static constexpr const char* kResetQuestion =
        "All current serial settings will be deleted\nDo you want to continue";
    static constexpr const char* kBinaryFilter = "Binary File (*.bin)";
    static constexpr const char* kConfigurationFilter = "Configuration File (*.cfg)";
    // The topology file keeps 259 characters of a path; a longer one would come back cut,
    // naming another file.
    static constexpr int kPathLimit = 259;
    static constexpr const char* kPathTooLong =
        "The path of the chosen file is longer than 259 characters, which the topology file "
        "cannot hold.\nPlease choose a file with a shorter path.";

    explicit ConfigPageModel(CSheet& sheet);

    // Page creation: limits, the lists, the Dump OTP button (only with "/dumpotp").
    void OnInitDialog(bool otpDumpFlag);
    bool HasWindow() const { return initialized_; }

    // The tree selection changed: the selected hub's node, or cleared settings.
    void UpdateCfgSettingUI();
    // Appends a line to the global status box; returns the characters cut from its front.
    qsizetype AddStatus(const QString& text);

    // The page's internal operations.
    void ShowNodeSettings();
    void ClearNodeFields();
    void DisableNodeControls();
    void EnableSerialControls(bool enable, bool resetOnly);
    void ClearSerialFields();
    void FillMemoryTypeList(int partType);

    // The operator's actions.
    void OnCbnSelchangeComboParttype(int index);
    void OnCbnSelchangeComboMemtype(int index);
    void OnBnClickedCheckProgram(bool checked);
    void OnBnClickedCheckVerifyimage(bool checked);
    void OnBnClickedButtonBrowse();
    void OnCbnSelchangeComboSerialType(int index);
    void OnBnClickedButtonSet();
    void OnBnClickedButtonReset();
    void OnBnClickedButtonDumpOtp();
    // Typing into an edit: the edit's input rules apply; returns the text it now holds.
    QString OnEditChanged(int id, const QString& typed);

    const PageControls& Controls() const { return controls_; }
    const StatusBoxText& Status() const { return status_; }
    // Told of every line added to the status box (with the characters cut from its front),
    // so that a widget can show it.
    using StatusListener = std::function<void(qsizetype removed, const QString& line)>;
    void SetStatusListener(StatusListener listener) { statusListener_ = std::move(listener); }

    // The browse dialog's filter for a node's part and memory type.
    static QString BrowseFilter(int partType, int memoryType);
    // The increment box read as a decimal number: leading blanks skipped, reading stops at
    // the first non-digit; an empty text gives 0.
    static int ReadIncrement(const QString& text);

private:
    // The selected device's record and node, or null/-1 when there is none.
    CDeviceData* SelectedRecord() const;
    int SelectedNode() const;
    TcfItem& Node(int index);
    void MarkChanged();
    void SetEnabled(std::initializer_list<int> ids, bool enabled);

    CSheet& sheet_;
    PageControls controls_;
    StatusBoxText status_;
    StatusListener statusListener_;
    bool initialized_ = false;
};
