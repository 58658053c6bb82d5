#include "hub/hub_status_text.h"

#include "hub/hub_abi.h"

namespace {

constexpr const char* kHubStatusTexts[hubabi::kHubStatusCount] = {
    "New Unprogrammed",
    "Failure opening device",
    "Programming",
    "Programmed Successfully",
    "Failed Programming",
    "Verified Successfully",
    "Failed Verify",
    "Programmed and Verified Successfully",
    "Failed Program Verify",
    "Verifying",
    "Programming and Verifying",
    "Failed due to Insufficient space",
    "ERROR: Cannot access SPI Flash",
    "ERROR: OTP already Programmed maximum times",
};

constexpr const char* kManagerStateTexts[] = {
    "Programmer Ready",          "Started Programming",
    "Finish Programming",        "No device available for operation",
    "Programmer Status Unknown",
};
constexpr int32_t kManagerStateCount = 5;

} // namespace

QString HubStatusText(int32_t status) {
    if (status >= 0 && status < hubabi::kHubStatusCount) {
        return QString::fromLatin1(kHubStatusTexts[status]);
    }
    return QStringLiteral("Unknown status %1").arg(status);
}

QString ManagerStateText(int32_t state) {
    if (state < 0 || state >= kManagerStateCount) {
        state = hubabi::kManagerUnknown;
    }
    return QString::fromLatin1(kManagerStateTexts[state]);
}

bool IsSuccessStatus(int32_t status) {
    return status == hubabi::kStatusProgrammed || status == hubabi::kStatusVerified ||
           status == hubabi::kStatusProgrammedAndVerified;
}

bool IsFailureStatus(int32_t status) {
    switch (status) {
    case hubabi::kStatusFailureOpening:
    case hubabi::kStatusFailedProgramming:
    case hubabi::kStatusFailedVerify:
    case hubabi::kStatusFailedProgramVerify:
    case hubabi::kStatusInsufficientSpace:
    case hubabi::kStatusSpiAccessError:
    case hubabi::kStatusOtpFull:
        return true;
    default:
        return false;
    }
}
