// Fuzzes the configuration file and block formats the simulated libraries share: any bytes
// must be judged without crashing, and a file that parses must survive the round trip
// through a block built with a serial.
#include "sim/common/config_block.h"
#include "sim/common/config_file.h"
#include "sim/common/config_payload.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const simcfg::PayloadInfo strict = simcfg::InspectConfigurationPayload(data, size, false);
    const simcfg::PayloadInfo lenient = simcfg::InspectConfigurationPayload(data, size, true);
    if (size == 0 && (strict.accepted || lenient.accepted)) {
        std::abort(); // an empty payload is never accepted
    }
    if (strict.accepted && !lenient.accepted) {
        std::abort(); // allowing opaque bytes can only accept more
    }
    (void)simcfg::DecodeConfigBlock(data, size);

    const simcfg::ConfigFileResult parsed = simcfg::ParseConfigFile(data, size);
    if (parsed.ok) {
        const std::string serial = "FZ0001";
        const simcfg::BlockBuildResult built = simcfg::BuildConfigBlock(data, size, serial);
        if (size > 0) {
            if (!built.ok) {
                std::abort();
            }
            const simcfg::BlockDecodeResult decoded =
                simcfg::DecodeConfigBlock(built.block.data(), built.block.size());
            if (!decoded.ok || decoded.content.serial != serial || !decoded.content.settings ||
                !(*decoded.content.settings == parsed.settings)) {
                std::abort();
            }
            const simcfg::PayloadInfo inspected = simcfg::InspectConfigurationPayload(
                built.block.data(), built.block.size(), false);
            if (!inspected.accepted || inspected.serial != serial) {
                std::abort();
            }
        }
    }
    return 0;
}
