// A hub library that lacks one export start-up needs (FAKE_HUB_LACKS_CREATE: CreateDeviceTreeUI,
// FAKE_HUB_LACKS_FINISHED: FinishedUsingDeviceTreeUI). It is built under the real library's
// file name in a folder of its own, so TESSARO_LIB_DIR can put it in the real one's place.
#include <cstdint>

// The exports are declared nowhere else: that is the point of a fake.
#pragma GCC diagnostic ignored "-Wmissing-declarations"

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

#ifndef FAKE_HUB_LACKS_CREATE
FAKE_EXPORT void* CreateDeviceTreeUI() {
    return nullptr;
}
#endif
#ifndef FAKE_HUB_LACKS_FINISHED
FAKE_EXPORT void FinishedUsingDeviceTreeUI() {}
#endif
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
