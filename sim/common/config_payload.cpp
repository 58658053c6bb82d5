#include "sim/common/config_payload.h"

#include "sim/common/config_block.h"

namespace simcfg {

namespace {

PayloadInfo Refused(PayloadKind kind, std::string error) {
    PayloadInfo info;
    info.kind = kind;
    info.error = std::move(error);
    return info;
}

} // namespace

PayloadInfo InspectConfigurationPayload(const uint8_t* data, std::size_t size, bool opaqueAllowed) {
    if (data == nullptr || size == 0) {
        return Refused(PayloadKind::Opaque, "empty configuration payload (no data)");
    }
    if (StartsLikeConfigBlock(data, size)) {
        BlockDecodeResult decoded = DecodeConfigBlock(data, size);
        if (!decoded.ok) {
            return Refused(PayloadKind::ConfigBlock,
                           "damaged configuration block: " + decoded.error);
        }
        PayloadInfo info;
        info.accepted = true;
        info.kind = PayloadKind::ConfigBlock;
        info.serial = std::move(decoded.content.serial);
        info.settings = std::move(decoded.content.settings);
        return info;
    }
    if (LooksLikeConfigText(data, size)) {
        ConfigFileResult parsed = ParseConfigFile(data, size);
        if (!parsed.ok) {
            return Refused(PayloadKind::ConfigFile,
                           "configuration file does not parse: " + parsed.Message());
        }
        PayloadInfo info;
        info.accepted = true;
        info.kind = PayloadKind::ConfigFile;
        info.settings = std::move(parsed.settings);
        return info;
    }
    if (!opaqueAllowed) {
        return Refused(PayloadKind::Opaque,
                       "neither a configuration block nor a configuration file (raw settings "
                       "bytes are taken by Aster-family hubs only)");
    }
    PayloadInfo info;
    info.accepted = true;
    info.kind = PayloadKind::Opaque;
    return info;
}

} // namespace simcfg
