# One INTERFACE target carries the project's warnings, language level and strict Qt macros.
# Every target of the tree links it.
add_library(tessaro_options INTERFACE)
target_compile_features(tessaro_options INTERFACE cxx_std_20)
target_compile_options(tessaro_options INTERFACE
    -Wall -Wextra -Wpedantic -Werror
    -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-align -Wformat=2
    -Wimplicit-fallthrough -Wmissing-declarations)
target_compile_definitions(tessaro_options INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_FOREACH
    QT_NO_KEYWORDS
    QT_USE_QSTRINGBUILDER
    QT_DISABLE_DEPRECATED_BEFORE=0x060400)
target_include_directories(tessaro_options INTERFACE ${PROJECT_SOURCE_DIR})

# Sanitizer builds: TESSARO_SANITIZE is a comma list handed to -fsanitize (address,undefined / thread).
if(TESSARO_SANITIZE)
    target_compile_options(tessaro_options INTERFACE
        -fsanitize=${TESSARO_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    target_link_options(tessaro_options INTERFACE -fsanitize=${TESSARO_SANITIZE})
endif()
