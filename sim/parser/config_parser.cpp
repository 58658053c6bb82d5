#include "sim/parser/config_parser.h"

#include "sim/common/config_block.h"
#include "sim/common/serial_text.h"

#include <cstring>
#include <limits>
#include <new>

namespace simparser {

int32_t CConfigParser::BuildBlock(const uint8_t* data, uint32_t size, char16_t* serial,
                                  int32_t serialLength) {
    // Nothing may escape through the C interface, not even a failed allocation.
    try {
        block_.clear();
        built_ = false;
        error_.clear();
        const simcfg::SerialText serialText = simcfg::SerialFromUtf16(serial, serialLength);
        if (!serialText.ok) {
            error_ = serialText.error;
            return kBuildBadSerial;
        }
        simcfg::BlockBuildResult result = simcfg::BuildConfigBlock(data, size, serialText.utf8);
        if (!result.ok) {
            error_ = result.error;
            return kBuildBadFile;
        }
        block_ = std::move(result.block);
        built_ = true;
        return kBuildOk;
    } catch (const std::bad_alloc&) {
        block_.clear();
        built_ = false;
        return kBuildOutOfMemory;
    } catch (...) {
        block_.clear();
        built_ = false;
        return kBuildBadFile;
    }
}

uint32_t CConfigParser::GetBlockSize() {
    return built_ ? static_cast<uint32_t>(block_.size()) : 0;
}

int32_t CConfigParser::CopyBlock(uint32_t bufferSize, uint8_t* buffer) {
    if (!built_) {
        return kCopyNoBlock;
    }
    if (buffer == nullptr) {
        return kCopyNoBuffer;
    }
    if (bufferSize < block_.size()) {
        return kCopyBufferTooSmall;
    }
    // Blocks are small (a configuration file is at most 64 KiB), so the size fits.
    static_assert(simcfg::kMaxConfigFileSize < std::numeric_limits<int32_t>::max() / 4);
    std::memcpy(buffer, block_.data(), block_.size());
    return static_cast<int32_t>(block_.size());
}

void CConfigParser::Release(int32_t /*flags*/) {
    delete this;
}

} // namespace simparser
