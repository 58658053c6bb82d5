// CSheet: the service dump of every hub's OTP memory ("/dumpotp").
#include "app/command_line.h"
#include "app/sheet.h"
#include "hub/device_data.h"
#include "hub/utf16_text.h"
#include "log/logger.h"

namespace {

constexpr const char* kDumpStarting =
    "Starting OTP DUMP. Please Wait until \"Finished OTPDump\" message...";
constexpr const char* kDumpFailed = "%1: Controller %2, Device %3 : Dump OTP Failed";
constexpr const char* kDumpFinished = "Finished OTPDump";
constexpr const char* kLibraryNotLoaded =
    "Failed Loading ConfigParser DLL in SetConfigBlock in CDeviceData";
constexpr const char* kDumpEntryMissing =
    "Failed GetProcAddress for DumpOTP in ConfigParser DLL from CDeviceData::SetConfigBlock";
constexpr qsizetype kBufferCharacters = 259; // the buffers hold 260 units with the terminator

} // namespace

void CSheet::DumpAllOTP() {
    CLogger log("CSheet::DumpAllOTP");
    window_.AppendStatus(kConfigPage, QString::fromLatin1(kDumpStarting));
    for (std::size_t c = 0; c < deviceTable.size(); ++c) {
        for (std::size_t d = 0; c < deviceTable.size() && d < deviceTable[c].size(); ++d) {
            CDeviceData* record = RecordAt(static_cast<int>(c), static_cast<int>(d));
            if (record == nullptr) {
                continue;
            }
            // A hub that left the library's tree since the enumeration cannot be dumped: it is
            // reported as failed, not passed over as if it were no hub.
            const int type = record->GetDeviceType();
            if (type != hubabi::kDeviceTypeHub &&
                (type != hubabi::kDeviceTypeUnknown ||
                 record->MatchedDeviceType() != hubabi::kDeviceTypeHub)) {
                continue;
            }
            const QString port = record->GetInternalPortName();
            if (!DumpDeviceOTP(static_cast<int>(c), static_cast<int>(d))) {
                window_.AppendStatus(kConfigPage,
                                     QString::fromLatin1(kDumpFailed).arg(port).arg(c).arg(d));
            }
        }
    }
    window_.AppendStatus(kConfigPage, QString::fromLatin1(kDumpFinished));
}

bool CSheet::DumpDeviceOTP(int controller, int device) {
    CLogger log("CSheet::DumpDeviceOTP");
    SheetLock lock(sheetLock);
    if (!commandline::OtpDumpFlag()) {
        return false;
    }
    if (otpDumpLibrary_ == nullptr) {
        auto library = std::make_unique<LoadedLibrary>(QString::fromLatin1(hubabi::kLibraryName));
        if (!library->Load()) {
            MessageBox(QString::fromLatin1(kLibraryNotLoaded));
            return false;
        }
        otpDumpLibrary_ = std::move(library); // kept until the process ends
    }
    const auto dumpOtp = otpDumpLibrary_->Resolve<DumpOTPFn>("DumpOTP");
    if (dumpOtp == nullptr) {
        MessageBox(QString::fromLatin1(kDumpEntryMissing));
        return false;
    }
    if (mainEntries_.CreateDeviceTreeUI == nullptr) {
        return false;
    }
    deviceTree = mainEntries_.CreateDeviceTreeUI();
    if (deviceTree == nullptr) {
        return false;
    }
    hubabi::IDeviceNode* node = deviceTree->GetDevice(controller, device);
    CDeviceData* record = RecordAt(controller, device);
    if (node == nullptr || record == nullptr) {
        if (node != nullptr) {
            node->Release(1);
        }
        return false;
    }
    const QString path = FromUtf16(node->GetDevicePath()).left(kBufferCharacters);
    const QString name = record->GetDeviceName().left(kBufferCharacters);
    const QString port = record->GetInternalPortName().left(kBufferCharacters);
    dumpOtp(Utf16(path), static_cast<int32_t>(path.size()), Utf16(name), Utf16(port));
    node->Release(1);
    return true;
}
