// Fuzzes the INI layer and the topology store with arbitrary file bytes. Checks, and aborts
// on a mismatch: parsing reproduces the bytes; a key write changes only its own line (or adds
// its line, or its section at the end) and reads back; the loader, the save and the serial
// write-back never crash, a saved topology loads back as the same nodes, and the write-back
// changes nothing but SERCURRENT lines.
#include "topology/ini_document.h"
#include "topology/ini_text.h"
#include "topology/private_profile.h"
#include "topology/tcf_data.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz_ini_topology: %s\n", what);
        std::abort();
    }
}

struct RawLine {
    std::string text;
    std::string ending;
    bool operator==(const RawLine&) const = default;
};

// An independent line splitter (BOM as its own pseudo-line), so the checks do not trust the
// document's own parser.
std::vector<RawLine> SplitLines(std::string_view bytes) {
    std::vector<RawLine> lines;
    std::size_t pos = 0;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        lines.push_back({"\xEF\xBB\xBF", ""});
        pos = 3;
    }
    while (pos < bytes.size()) {
        const std::size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            lines.push_back({std::string(bytes.substr(pos)), ""});
            break;
        }
        const std::size_t endingSize =
            (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1;
        lines.push_back({std::string(bytes.substr(pos, end - pos)),
                         std::string(bytes.substr(end, endingSize))});
        pos = end + endingSize;
    }
    return lines;
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool AsciiEqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

// True when the line is a key line for `key` (an ASCII name) by the file grammar.
bool IsKeyLineFor(std::string_view line, std::string_view key) {
    const std::string_view trimmed = ini::TrimBlanks(line);
    if (trimmed.empty() || trimmed.front() == '[' || trimmed.front() == ';') {
        return false;
    }
    const std::size_t equals = trimmed.find('=');
    return equals != std::string_view::npos &&
           AsciiEqualIgnoringCase(ini::TrimBlanks(trimmed.substr(0, equals)), key);
}

struct ChangeCount {
    int replaced = 0;
    int inserted = 0;
};

// Aligns the lines before and after a write. Every line must stay as it was, except lines
// `replaceable` accepts as replaced (same line end) and lines `insertable` accepts as added;
// the file's last line may gain a CR LF when something is added after it.
ChangeCount CheckOnlyAllowedChanges(const std::vector<RawLine>& before,
                                    const std::vector<RawLine>& after,
                                    const std::function<bool(const RawLine&)>& replaceable,
                                    const std::function<bool(const RawLine&)>& insertable) {
    ChangeCount count;
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < before.size() || j < after.size()) {
        if (i < before.size() && j < after.size()) {
            const RawLine& old = before[i];
            const RawLine& now = after[j];
            const bool lastGainedEnding = i + 1 == before.size() && old.ending.empty() &&
                                          now.ending == "\r\n" && old.text == now.text;
            if (old == now || lastGainedEnding) {
                ++i;
                ++j;
                continue;
            }
            if (old.ending == now.ending && replaceable(old) && replaceable(now)) {
                ++count.replaced;
                ++i;
                ++j;
                continue;
            }
        }
        Require(j < after.size(), "a line was lost");
        Require(after[j].ending == "\r\n" && insertable(after[j]), "an unrelated line changed");
        ++count.inserted;
        ++j;
    }
    return count;
}

std::string_view ViewOf(const QByteArray& bytes) {
    return std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString TrimEnd(QString text) {
    while (!text.isEmpty() &&
           (text.back() == QLatin1Char(' ') || text.back() == QLatin1Char('\t'))) {
        text.chop(1);
    }
    return text;
}

// A trivially destructible name, so the exit handler can still read it.
char workFolder[4096];

void RemoveWorkFolder() {
    QDir(QString::fromLocal8Bit(workFolder)).removeRecursively();
}

QString WorkFolder() {
    if (workFolder[0] == '\0') {
        // Saves sync to disk; a memory file system keeps the runs fast when TMPDIR is unset.
        QString base = QDir::tempPath();
        if (qEnvironmentVariableIsEmpty("TMPDIR") &&
            QFileInfo(QStringLiteral("/dev/shm")).isWritable()) {
            base = QStringLiteral("/dev/shm");
        }
        const QByteArray pattern = base.toLocal8Bit() + "/fuzz_ini_topology.XXXXXX";
        Require(pattern.size() < static_cast<qsizetype>(sizeof workFolder), "TMPDIR too long");
        std::memcpy(workFolder, pattern.constData(), static_cast<std::size_t>(pattern.size()) + 1);
        Require(::mkdtemp(workFolder) != nullptr, "cannot create a work folder");
        std::atexit(RemoveWorkFolder);
    }
    return QString::fromLocal8Bit(workFolder);
}

void WriteFile(const QString& path, std::string_view bytes) {
    QFile file(path);
    Require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write a work file");
    file.write(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll().toStdString();
}

// One key write on the parsed document, checked line by line against the input.
void FuzzKeyWrite(FuzzedDataProvider& control, const std::string& input) {
    ini::IniDocument document(QByteArray(input.data(), static_cast<qsizetype>(input.size())));
    Require(document.ToBytes().toStdString() == input, "parsing changed the bytes");
    for (int i = 0; i < document.SectionCount() && i < 64; ++i) {
        const int first = document.FindSection(document.SectionName(i));
        Require(first >= 0 && first <= i, "a section does not find itself");
    }

    static const char* const kKeys[] = {"UINAME", "ISHUB", "SERCURRENT", "Count", "x", "k k"};
    std::string section;
    const int sectionChoice = control.ConsumeIntegralInRange<int>(0, 3);
    if (sectionChoice > 0 && document.SectionCount() > 0) {
        section = std::string(document.SectionName(
            control.ConsumeIntegralInRange<int>(0, document.SectionCount() - 1)));
    } else {
        section = control.ConsumeRandomLengthString(16);
    }
    std::string key = kKeys[control.ConsumeIntegralInRange<int>(0, 5)];
    std::string value = control.ConsumeRandomLengthString(32);

    const ini::TextFault fault = document.SetValue(section, key, value);
    const std::string output = document.ToBytes().toStdString();
    if (fault != ini::TextFault::kNone) {
        Require(output == input && !document.Modified(), "a refused write changed the bytes");
        return;
    }
    const ChangeCount changes = CheckOnlyAllowedChanges(
        SplitLines(input), SplitLines(output),
        [&](const RawLine& line) { return IsKeyLineFor(line.text, key); },
        [&](const RawLine& line) {
            return line.text == key + "=" + value || line.text == "[" + section + "]";
        });
    Require(changes.replaced + changes.inserted <= 2 && changes.replaced <= 1,
            "a write changed more than its own line");
    Require(changes.replaced == 0 || changes.inserted == 0, "a write both replaced and added");
    const std::string expected(ini::TrimBlanks(value));
    const auto readBack = document.Value(section, key);
    Require(readBack && *readBack == expected, "the written key does not read back");
    const ini::IniDocument reparsed(
        QByteArray(output.data(), static_cast<qsizetype>(output.size())));
    const auto reread = reparsed.Value(section, key);
    Require(reread && *reread == expected, "the written key does not read back from the bytes");
}

bool SameNodes(const CTCFData& a, const CTCFData& b) {
    if (a.Count() != b.Count()) {
        return false;
    }
    for (int i = 0; i < a.Count(); ++i) {
        const TcfItem& x = a.Item(i);
        const TcfItem& y = b.Item(i);
        const bool same =
            x.topology == y.topology && TrimEnd(x.uiLabel) == TrimEnd(y.uiLabel) &&
            x.isHub == y.isHub && x.partType == y.partType && x.memoryType == y.memoryType &&
            TrimEnd(x.configFile) == TrimEnd(y.configFile) && x.verify == y.verify &&
            x.programRequired == y.programRequired && x.serialType == y.serialType &&
            TrimEnd(x.serialAlpha) == TrimEnd(y.serialAlpha) &&
            TrimEnd(x.serialStart) == TrimEnd(y.serialStart) &&
            TrimEnd(x.serialMax) == TrimEnd(y.serialMax) &&
            x.serialIncrement == y.serialIncrement &&
            TrimEnd(x.serialCurrent) == TrimEnd(y.serialCurrent) &&
            x.serialHexFormat == y.serialHexFormat && x.serialParamsSet == y.serialParamsSet;
        if (!same) {
            return false;
        }
    }
    return true;
}

// Names that stay apart once written: no two fold to the same section, none is "Header".
bool DistinctSectionNames(const CTCFData& store) {
    std::set<std::string> folded;
    for (int i = 0; i < store.Count(); ++i) {
        std::string name =
            ini::FoldName(ini::TrimBlanks(ViewOf(ini::EncodeText(store.Item(i).topology))));
        if (name == "header" || !folded.insert(std::move(name)).second) {
            return false;
        }
    }
    return true;
}

void FuzzTopology(const std::string& input) {
    const QString file = WorkFolder() + QStringLiteral("/in.tcf");
    const QString saved = WorkFolder() + QStringLiteral("/saved.tcf");
    WriteFile(file, input);

    const QStringList names = ini::GetPrivateProfileSectionNames(file);
    Require(names.size() ==
                ini::IniDocument(QByteArray(input.data(), static_cast<qsizetype>(input.size())))
                    .SectionCount(),
            "section names disagree with the document");

    CTCFData store;
    store.LoadTopology(file);
    for (int i = 0; i < store.Count(); ++i) {
        store.SetSaveStatus(i);
        Require(store.Item(i).uiLabel.size() <= CTCFData::kTextLimit, "a text passed the limit");
    }
    CTCFData::GetTopologyVersion(file);

    TcfWriteError error;
    if (store.SaveTopology(saved, QStringLiteral("2.0"), &error)) {
        CTCFData reloaded;
        reloaded.LoadTopology(saved);
        if (DistinctSectionNames(store)) {
            Require(SameNodes(store, reloaded), "a saved topology loads back differently");
        }
    } else {
        Require(error.kind != TcfWriteError::kNone && !error.Message(saved).isEmpty(),
                "a failed save gives no reason");
    }

    // Serial write-back into the original bytes: only SERCURRENT lines may change or appear.
    for (int i = 0; i < store.Count(); ++i) {
        store.SetSerialParamCurrentVal(i, store.GetSerialParamCurrentVal(i) + QStringLiteral("7"));
    }
    if (store.SaveSerialCurrent(file, &error)) {
        const std::string output = ReadFile(file);
        CheckOnlyAllowedChanges(
            SplitLines(input), SplitLines(output),
            [](const RawLine& line) { return IsKeyLineFor(line.text, "SERCURRENT"); },
            [](const RawLine& line) {
                return IsKeyLineFor(line.text, "SERCURRENT") ||
                       (!line.text.empty() && line.text.front() == '[');
            });
    } else {
        Require(ReadFile(file) == input, "a refused serial write-back changed the file");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider control(data, size);
    // The last bytes steer the key write; the whole input is the file.
    const std::string input(reinterpret_cast<const char*>(data), size);
    FuzzKeyWrite(control, input);
    FuzzTopology(input);
    return 0;
}
