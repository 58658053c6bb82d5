#include "sim/hub/fault_rules.h"

namespace simhub {

int32_t FaultStopsWrite(Fault fault, bool verify) {
    switch (fault) {
    case Fault::Program:
        return verify ? hubabi::kStatusFailedProgramVerify : hubabi::kStatusFailedProgramming;
    case Fault::Spi:
        return hubabi::kStatusSpiAccessError;
    case Fault::Space:
        return hubabi::kStatusInsufficientSpace;
    case Fault::OtpFull:
        return hubabi::kStatusOtpFull;
    case Fault::None:
    case Fault::Open:
    case Fault::Verify:
        break;
    }
    return 0;
}

int32_t VerifyOutcome(Fault fault, bool programmed) {
    if (programmed) {
        return fault == Fault::Verify ? hubabi::kStatusFailedProgramVerify
                                      : hubabi::kStatusProgrammedAndVerified;
    }
    if (fault == Fault::Spi) {
        return hubabi::kStatusSpiAccessError;
    }
    return fault == Fault::Verify ? hubabi::kStatusFailedVerify : hubabi::kStatusVerified;
}

} // namespace simhub
