// The library's one export. The parser object builds the block right away, and again on each
// BuildBlock call.
#include "sim/parser/config_parser.h"

#include <new>
#include <type_traits>

extern "C" __attribute__((visibility("default"))) hubabi::IConfigParser*
CreateParser(const uint8_t* data, uint32_t size, char16_t* serial, int32_t serialLength,
             int32_t reserved);

static_assert(std::is_same_v<decltype(&CreateParser), CreateParserFn>,
              "CreateParser must match the parser ABI");

extern "C" hubabi::IConfigParser* CreateParser(const uint8_t* data, uint32_t size, char16_t* serial,
                                               int32_t serialLength, int32_t /*reserved*/) {
    auto* parser = new (std::nothrow) simparser::CConfigParser();
    if (parser != nullptr) {
        parser->BuildBlock(data, size, serial, serialLength);
    }
    return parser;
}
