// A fake hub library for the loader tests: every export of the table as a trivial C call,
// except the one named by FAKE_HUB_LACKS (when defined), so a test can see a missing export
// named.
#include <cstdint>

// The exports are declared nowhere else: that is the point of a fake.
#pragma GCC diagnostic ignored "-Wmissing-declarations"

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

FAKE_EXPORT void* CreateDeviceTreeUI() {
    return nullptr;
}
FAKE_EXPORT void FinishedUsingDeviceTreeUI() {}
FAKE_EXPORT void RegisterNotificationCallback(void*) {}
FAKE_EXPORT int32_t IsProgrammerManagerRunning() {
    return 0;
}
FAKE_EXPORT int32_t StartProgrammerManager(int32_t) {
    return 0;
}
FAKE_EXPORT int32_t StopProgrammerManager() {
    return 0;
}
FAKE_EXPORT int32_t GetStorageMode(int32_t, int32_t) {
    return 4;
}
FAKE_EXPORT int32_t SetStorageMode(int32_t, int32_t, int32_t) {
    return 0;
}
FAKE_EXPORT void SetValidationMethod(int32_t, int32_t, int32_t) {}
FAKE_EXPORT int32_t SetConfigurationBlock(int32_t, int32_t, const uint8_t*, uint32_t) {
    return 0;
}
FAKE_EXPORT int32_t SetFirmwarImage(int32_t, int32_t, const uint8_t*, uint32_t) {
    return 0;
}
FAKE_EXPORT int32_t GetHubStatus(int32_t, int32_t) {
    return 0;
}
FAKE_EXPORT void SetProgrammingRequired(int32_t, int32_t, int32_t) {}
FAKE_EXPORT int32_t GetUUID(int32_t, int32_t, uint8_t*, int32_t) {
    return -1;
}
FAKE_EXPORT int32_t CanDeviceBeRemoved(int32_t, int32_t) {
    return 1;
}
FAKE_EXPORT int32_t IsNewDevice(int32_t, int32_t) {
    return 0;
}
FAKE_EXPORT int32_t GetDeviceIndicesUI(const char16_t*, int32_t*, int32_t*) {
    return 0;
}
#ifndef FAKE_HUB_LACKS_DUMPOTP
FAKE_EXPORT void DumpOTP(const char16_t*, int32_t, const char16_t*, const char16_t*) {}
#endif

// How many times this copy of the library was loaded into the process.
namespace {
int32_t loadCount = 0;
__attribute__((constructor)) void CountLoad() {
    ++loadCount;
}
} // namespace
FAKE_EXPORT int32_t FakeLoadCount() {
    return loadCount;
}
