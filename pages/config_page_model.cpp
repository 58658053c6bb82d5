#include "pages/config_page_model.h"

#include "app/sheet.h"
#include "hub/device_data.h"
#include "hub/hub_abi.h"
#include "log/logger.h"
#include "pages/edit_input_rules.h"
#include "topology/serial_scheme.h"
#include "topology/tcf_data.h"

namespace {

QStringList Names(const char* const* names, int count) {
    QStringList list;
    for (int i = 0; i < count; ++i) {
        list.push_back(QString::fromLatin1(names[i]));
    }
    return list;
}

QList<int> Codes(int count) {
    QList<int> codes;
    for (int i = 0; i < count; ++i) {
        codes.push_back(i);
    }
    return codes;
}

bool IsBlank(const QString& text) {
    return text.trimmed().isEmpty();
}

QString MemoryTypeName(int memoryType) {
    return memoryType >= 0 && memoryType < kMemoryTypeCount
               ? QString::fromLatin1(kMemoryTypeNames[memoryType])
               : QString();
}

} // namespace

ConfigPageModel::ConfigPageModel(CSheet& sheet)
    : sheet_(sheet), controls_(ConfigPageTemplate()) {}

void ConfigPageModel::OnInitDialog(bool otpDumpFlag) {
    CLogger log("CConfigPage::OnInitDialog");
    for (const ControlTemplate& control : ConfigPageTemplate().controls) {
        if (control.id != kNoControlId && control.textLimit > 0) {
            controls_[control.id].textLimit = control.textLimit;
        }
    }
    if (otpDumpFlag) {
        controls_.Show(kDumpOtpButton);
    }
    controls_.ResetList(kPartList, Names(kPartTypeNames, kPartTypeCount), Codes(kPartTypeCount));
    controls_.SetCurrentIndex(kPartList, kPartNotRecognized);
    controls_.ResetList(kMemoryList, {MemoryTypeName(kMemoryNone)}, {kMemoryNone});
    controls_.SetCurrentIndex(kMemoryList, 0);
    controls_.ResetList(kSerialTypeList, Names(kSerialTypeNames, kSerialTypeCount),
                        Codes(kSerialTypeCount));
    controls_.SetCurrentIndex(kSerialTypeList, kSerialNone);
    initialized_ = true;
}

CDeviceData* ConfigPageModel::SelectedRecord() const {
    return sheet_.SelectedDevice();
}

int ConfigPageModel::SelectedNode() const {
    const CDeviceData* record = SelectedRecord();
    if (record == nullptr) {
        return -1;
    }
    const int index = record->GetTCFIndex();
    return index >= 0 && index < CTCFData::Instance().Count() ? index : -1;
}

TcfItem& ConfigPageModel::Node(int index) {
    return CTCFData::Instance().Item(index);
}

void ConfigPageModel::MarkChanged() {
    sheet_.SetTopologySaved(false);
}

void ConfigPageModel::SetEnabled(std::initializer_list<int> ids, bool enabled) {
    for (const int id : ids) {
        controls_.Enable(id, enabled);
    }
}

void ConfigPageModel::UpdateCfgSettingUI() {
    CLogger log("CConfigPage::UpdateCfgSettingUI");
    if (!initialized_) {
        return;
    }
    CDeviceData* record = SelectedRecord();
    if (record != nullptr && record->GetDeviceType() == hubabi::kDeviceTypeHub) {
        controls_.SetText(kSettingsGroup, QString::fromLatin1(kSettingsCaption) +
                                              QLatin1String("     ") + record->GetPortName() +
                                              QLatin1String("     "));
        ShowNodeSettings();
        return;
    }
    controls_.SetText(kSettingsGroup, QString::fromLatin1(kSettingsCaption));
    ClearNodeFields();
    DisableNodeControls();
}

qsizetype ConfigPageModel::AddStatus(const QString& text) {
    CLogger log("CConfigPage::AddStatus");
    const qsizetype removed = status_.Append(text);
    if (statusListener_) {
        statusListener_(removed, text);
    }
    return removed;
}

void ConfigPageModel::ClearNodeFields() {
    controls_.SetCurrentIndex(kPartList, kPartNotRecognized);
    controls_.SelectText(kMemoryList, MemoryTypeName(kMemoryNone));
    controls_.SetText(kFileBox, QStringLiteral(" "));
    controls_.Check(kProgramCheck, false);
    controls_.Check(kVerifyCheck, false);
    controls_.SetCurrentIndex(kSerialTypeList, kSerialNone);
    ClearSerialFields();
}

void ConfigPageModel::DisableNodeControls() {
    SetEnabled({kSettingsGroup,   kPartLabel,    kMemoryLabel,    kOperationLabel, kFileLabel,
                kSerialTypeLabel, kPrefixLabel,  kStartLabel,     kMaxLabel,       kIncrementLabel,
                kPartList,        kMemoryList,   kSerialTypeList, kProgramCheck,   kVerifyCheck,
                kFileBox,         kBrowseButton, kPrefixEdit,     kStartEdit,      kMaxEdit,
                kIncrementEdit,   kSetButton,    kResetButton},
               false);
}

void ConfigPageModel::EnableSerialControls(bool enable, bool resetOnly) {
    SetEnabled({kPrefixLabel, kStartLabel, kMaxLabel, kIncrementLabel, kPrefixEdit, kStartEdit,
                kMaxEdit, kIncrementEdit, kSetButton, kResetButton},
               enable);
    if (resetOnly) {
        controls_.Enable(kSetButton, false);
        controls_.Enable(kResetButton, true);
    }
}

void ConfigPageModel::ClearSerialFields() {
    for (const int id : {kPrefixEdit, kStartEdit, kMaxEdit, kIncrementEdit, kCurrentBox}) {
        controls_.SetText(id, QString());
    }
}

void ConfigPageModel::FillMemoryTypeList(int partType) {
    QList<int> codes;
    if (partType == kPartFennel) {
        codes = {kMemorySpiPartialCfg, kMemorySpiCopyFromOtp, kMemorySpi, kMemoryOtp, kMemoryNone};
    } else if (partType == kPartAsterFamily) {
        codes = {kMemorySpi, kMemoryOtp, kMemoryNone};
    } else {
        codes = {kMemoryNone};
    }
    QStringList names;
    for (const int code : codes) {
        names.push_back(MemoryTypeName(code));
    }
    controls_.ResetList(kMemoryList, names, codes);
    controls_.SelectText(kMemoryList, MemoryTypeName(kMemoryNone));
}

void ConfigPageModel::ShowNodeSettings() {
    const int index = SelectedNode();
    if (index < 0) {
        return;
    }
    TcfItem& node = Node(index);

    ClearNodeFields();
    DisableNodeControls();
    EnableSerialControls(false, false);
    ClearSerialFields();

    SetEnabled({kSettingsGroup, kPartLabel, kPartList}, true);
    controls_.SetCurrentIndex(kPartList, node.partType);
    if (node.partType == kPartNotRecognized) {
        node.configComplete = true;
        return;
    }
    node.configComplete = false;

    SetEnabled({kMemoryLabel, kMemoryList}, true);
    FillMemoryTypeList(node.partType);
    controls_.SelectText(kMemoryList, MemoryTypeName(node.memoryType));
    if (node.memoryType == kMemoryNone) {
        node.configComplete = true;
        return;
    }

    SetEnabled({kOperationLabel, kProgramCheck, kVerifyCheck}, true);
    controls_.Check(kProgramCheck, node.programRequired);
    controls_.Check(kVerifyCheck, node.verify);
    if (!node.programRequired && !node.verify) {
        return;
    }

    SetEnabled({kFileLabel, kFileBox, kBrowseButton}, true);
    controls_.SetText(kFileBox, node.configFile);
    const bool wholeImage =
        node.memoryType == kMemorySpi || node.memoryType == kMemorySpiCopyFromOtp;
    const bool blockWithSerial =
        node.memoryType == kMemoryOtp || node.memoryType == kMemorySpiPartialCfg;
    if (wholeImage && IsBlank(node.configFile)) {
        return;
    }

    if (node.programRequired && node.partType == kPartFennel && blockWithSerial) {
        SetEnabled({kSerialTypeLabel, kSerialTypeList}, true);
        controls_.SetCurrentIndex(kSerialTypeList, node.serialType);
    }

    if (node.serialType == kSerialSchemeHex || node.serialType == kSerialSchemeDec) {
        QString alpha;
        QString start;
        QString max;
        QString current;
        const int increment =
            CTCFData::Instance().GetSerialParams(index, alpha, start, max, current);
        controls_.SetText(kPrefixEdit, alpha);
        controls_.SetText(kStartEdit, start);
        controls_.SetText(kMaxEdit, max);
        controls_.SetText(kIncrementEdit, QString::number(increment));
        controls_.SetText(kCurrentBox, alpha + current);
        if (!node.serialParamsSet) {
            EnableSerialControls(true, false); // the scheme is to be entered
            return;
        }
        EnableSerialControls(false, true); // locked: only Reset
    } else {
        EnableSerialControls(false, false);
        ClearSerialFields();
    }

    if (blockWithSerial && IsBlank(node.configFile) && !node.serialParamsSet) {
        return;
    }
    node.configComplete = true;
}

void ConfigPageModel::OnCbnSelchangeComboParttype(int index) {
    CLogger log("CConfigPage::OnCbnSelchangeComboParttype");
    const int node = SelectedNode();
    if (!initialized_ || node < 0) {
        return;
    }
    controls_.SetCurrentIndex(kPartList, index);
    const int selected = controls_.At(kPartList).currentIndex;
    if (selected < 0 || selected == Node(node).partType) {
        return;
    }
    MarkChanged();
    FillMemoryTypeList(selected);
    CTCFData::Instance().SetPartType(node, selected);
    CTCFData::Instance().SetMemoryType(node, kMemoryNone);
    ShowNodeSettings();
}

void ConfigPageModel::OnCbnSelchangeComboMemtype(int index) {
    CLogger log("CConfigPage::OnCbnSelchangeComboMemtype");
    const int node = SelectedNode();
    if (!initialized_ || node < 0) {
        return;
    }
    controls_.SetCurrentIndex(kMemoryList, index);
    const int memoryType = controls_.At(kMemoryList).CurrentData();
    if (memoryType < 0 || memoryType == Node(node).memoryType) {
        return;
    }
    MarkChanged();
    CTCFData& store = CTCFData::Instance();
    store.SetMemoryType(node, memoryType);
    store.SetProgramRequiredOption(node, false);
    store.SetVerifyOption(node, false);
    SelectedRecord()->SetNodeConfigFile(QString());
    store.SetSerialType(node, kSerialNone);
    Node(node).configComplete = memoryType == kMemoryNone;
    ShowNodeSettings();
}

void ConfigPageModel::OnBnClickedCheckProgram(bool checked) {
    CLogger log("CConfigPage::OnBnClickedCheckProgram");
    const int node = SelectedNode();
    if (!initialized_ || node < 0) {
        return;
    }
    controls_.Check(kProgramCheck, checked);
    if (checked == Node(node).programRequired) {
        return;
    }
    MarkChanged();
    CTCFData::Instance().SetProgramRequiredOption(node, checked);
    CTCFData::Instance().SetSerialType(node, kSerialNone);
    ShowNodeSettings();
}

void ConfigPageModel::OnBnClickedCheckVerifyimage(bool checked) {
    CLogger log("CConfigPage::OnBnClickedCheckVerifyimage");
    const int node = SelectedNode();
    if (!initialized_ || node < 0) {
        return;
    }
    controls_.Check(kVerifyCheck, checked);
    if (checked == Node(node).verify) {
        return;
    }
    MarkChanged();
    CTCFData::Instance().SetVerifyOption(node, checked);
    ShowNodeSettings();
}

QString ConfigPageModel::BrowseFilter(int partType, int memoryType) {
    const bool binary = partType == kPartAsterFamily || memoryType == kMemorySpi ||
                        memoryType == kMemorySpiCopyFromOtp;
    return QString::fromLatin1(binary ? kBinaryFilter : kConfigurationFilter);
}

void ConfigPageModel::OnBnClickedButtonBrowse() {
    CLogger log("CConfigPage::OnBnClickedButtonBrowse");
    const int node = SelectedNode();
    if (node < 0) {
        return;
    }
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Open;
    request.filters = {BrowseFilter(Node(node).partType, Node(node).memoryType)};
    request.mustExist = true;
    const QString path = sheet_.AskFile(request);
    if (path.isEmpty()) {
        return;
    }
    if (path.size() > kPathLimit) {
        log.Log(2, "Refused a file path of %d characters", static_cast<int>(path.size()));
        MessageRequest message;
        message.text = QString::fromLatin1(kPathTooLong);
        message.caption = QString::fromLatin1(CSheet::kCaption);
        message.icon = MessageIcon::Exclamation;
        sheet_.Ask(message);
        return;
    }
    controls_.SetText(kFileBox, path);
    if (path == Node(node).configFile) {
        return;
    }
    MarkChanged();
    SelectedRecord()->SetNodeConfigFile(path);
    ShowNodeSettings();
}

void ConfigPageModel::OnCbnSelchangeComboSerialType(int index) {
    CLogger log("CConfigPage::OnCbnSelchangeComboSerialType");
    const int node = SelectedNode();
    if (!initialized_ || node < 0) {
        return;
    }
    controls_.SetCurrentIndex(kSerialTypeList, index);
    const int selected = controls_.At(kSerialTypeList).currentIndex;
    if (selected < 0 || selected == Node(node).serialType) {
        return;
    }
    MarkChanged();
    CTCFData::Instance().SetSerialType(node, selected);
    SelectedRecord()->SetSerialScheme(QString(), QString(), QString(), 1, QString());
    Node(node).serialParamsSet = false;
    ShowNodeSettings();
}

int ConfigPageModel::ReadIncrement(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text.at(i) == u' ' || text.at(i) == u'\t')) {
        ++i;
    }
    int value = 0;
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
        if (value > 100000000) {
            break; // far beyond any accepted increment; keeps the number in range
        }
        value = value * 10 + (text.at(i).unicode() - u'0');
    }
    return value;
}

void ConfigPageModel::OnBnClickedButtonSet() {
    const int node = SelectedNode();
    if (!initialized_ || node < 0) {
        return;
    }
    const bool hex = Node(node).serialType == kSerialSchemeHex;
    const QString prefix = controls_.At(kPrefixEdit).text;
    const QString start = controls_.At(kStartEdit).text;
    const QString max = controls_.At(kMaxEdit).text;
    const QString current = start;
    const int increment = ReadIncrement(controls_.At(kIncrementEdit).text);
    const int code = ValidateSerialParams(prefix, start, max, current, increment, hex);
    if (code != SERIAL_OK) {
        MessageRequest message;
        message.text =
            QString::fromLatin1(kSerialErrorMessage)
                .arg(QString::fromLatin1(
                    SerialErrorText[code >= 0 && code < kSerialResultCount ? code
                                                                           : SERIAL_UNKNOWN]));
        message.caption = QString::fromLatin1(CSheet::kCaption);
        sheet_.Ask(message);
        return;
    }
    SelectedRecord()->SetSerialScheme(prefix, start, max, increment, current);
    Node(node).serialParamsSet = true;
    controls_.SetText(kCurrentBox, prefix + current);
    ShowNodeSettings();
}

void ConfigPageModel::OnBnClickedButtonReset() {
    const int node = SelectedNode();
    if (!initialized_ || node < 0) {
        return;
    }
    if (Node(node).serialParamsSet) {
        MessageRequest question;
        question.text = QString::fromLatin1(kResetQuestion);
        question.caption = QString::fromLatin1(CSheet::kCaption);
        question.icon = MessageIcon::Exclamation;
        question.buttons = MessageButtons::OkCancel;
        if (sheet_.Ask(question) != MessageAnswer::Ok) {
            return;
        }
    }
    MarkChanged();
    SelectedRecord()->SetSerialScheme(QString(), QString(), QString(), 1, QString());
    Node(node).serialParamsSet = false;
    ShowNodeSettings();
}

void ConfigPageModel::OnBnClickedButtonDumpOtp() {
    sheet_.DumpAllOTP();
}

QString ConfigPageModel::OnEditChanged(int id, const QString& typed) {
    const ControlTemplate* control = ConfigPageTemplate().Find(id);
    if (control == nullptr || control->kind != ControlKind::Edit) {
        return typed;
    }
    const QString text = ApplyEditInputRules(control->flags, controls_.At(id).textLimit, typed);
    controls_.SetText(id, text);
    return text;
}
