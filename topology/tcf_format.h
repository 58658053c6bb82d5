// The .tcf file format: section and key names, the keys each kind of node is stored with and
// in which order, and the reading and writing of one node through an IniDocument.
#pragma once

#include "topology/ini_document.h"
#include "topology/tcf_item.h"

#include <QString>

#include <string_view>

namespace tcf {

inline constexpr std::string_view kHeaderSection = "Header";
inline constexpr std::string_view kCountKey = "Count";
inline constexpr std::string_view kVersionKey = "Version";
inline constexpr const char* kMissingVersion = "0.0.0";

inline constexpr std::string_view kUiNameKey = "UINAME";
inline constexpr std::string_view kIsHubKey = "ISHUB";
inline constexpr std::string_view kPartTypeKey = "PTYPE";
inline constexpr std::string_view kMemoryTypeKey = "MEMTYPE";
inline constexpr std::string_view kVerifyKey = "VERIFY";
inline constexpr std::string_view kProgramKey = "DOPROGRAM";
inline constexpr std::string_view kConfigFileKey = "BCFGFILE";
inline constexpr std::string_view kSerialTypeKey = "SERTYPE";
inline constexpr std::string_view kSerialAlphaKey = "SERALPHA";
inline constexpr std::string_view kSerialStartKey = "SERSTART";
inline constexpr std::string_view kSerialMaxKey = "SERMAX";
inline constexpr std::string_view kSerialIncrementKey = "SERINC";
inline constexpr std::string_view kSerialCurrentKey = "SERCURRENT";
inline constexpr std::string_view kSerialHexFormatKey = "SERHEXFMT";

// Serial types whose parameters are stored: the two counter schemes.
bool HasSerialScheme(int serialType);

// Keeps the first `limit` UTF-16 units of a text read from the file, never half a
// surrogate pair.
QString LimitText(const QString& text, int limit);

// Builds the node stored in `section`, whose topology string is `topology`: new-node values,
// then the keys its kind is stored with (hub keys only for a hub, serial keys only for a
// counter scheme). Text values keep at most 259 characters.
TcfItem ReadNode(const ini::IniDocument& document, int section, const QString& topology);

// Writes the keys of `item` into the section named by its topology string, in file order.
// On a fault nothing more is written and *faultKey names the key (empty when the topology
// string itself cannot be a section name).
ini::TextFault WriteNode(ini::IniDocument& document, const TcfItem& item, QString* faultKey);

} // namespace tcf
