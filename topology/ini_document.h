// IniDocument: an INI file held as its bytes plus an index of its lines, sections and keys.
// A file is read once and then queried and changed many times; writing it back reproduces
// every line that was not changed byte for byte, whatever its encoding or line end.
//
// Grammar: lines end in CR LF, LF or a lone CR, the last one possibly in nothing; a UTF-8
// byte-order mark at the start is skipped (and kept). After leading blanks, a line starting
// with '[' opens a section named by the text up to the first ']' (or the line's end), a line
// starting with ';' is a comment, and any other line holding '=' gives a key (the text before
// the first '=') and its value (the text after it). Names and values exclude their
// surrounding blanks; names match without regard to case; the first of duplicate sections or
// keys wins. Lines before the first section belong to no section.
#pragma once

#include "topology/ini_name_index.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ini {

// Why a name or value cannot be written: it would change the file's structure.
enum class TextFault {
    kNone,
    kLineBreak,   // CR or LF would split the line
    kNul,         // NUL byte
    kBracket,     // ']' in a section name would end the name early
    kEquals,      // '=' in a key name would end the key early
    kLeadingMark, // a key name starting with '[' or ';' would read as a section or comment
};

// The fault as words that follow the text's subject, such as "holds a line break".
QString TextFaultReason(TextFault fault);

class IniDocument {
public:
    enum class ReadStatus { kRead, kMissing, kFailed };
    // Files above this size are refused rather than indexed: every line costs a record, and
    // a topology of ten thousand nodes takes under 4 MiB.
    static constexpr qint64 kMaxFileSize = 32 * 1024 * 1024;

    IniDocument() = default;
    explicit IniDocument(QByteArray bytes);

    // Reads and parses `path`. A file that does not exist gives an empty document and
    // kMissing; one that exists but cannot be read, is no regular file or is larger than
    // kMaxFileSize gives an empty document, kFailed and the reason in *error.
    ReadStatus Read(const QString& path, QString* error = nullptr);

    int SectionCount() const { return static_cast<int>(sections_.size()); }
    // The section's name as it stands in the file (blanks trimmed). Like every view the
    // document hands out, it stays valid until the next change.
    std::string_view SectionName(int section) const;
    // Index of the first section of that name, or -1.
    int FindSection(std::string_view name) const;
    // Index of the first section named like `section` (the section itself when its name is
    // not repeated): the one every lookup by its name reaches.
    int FirstOfName(int section) const {
        return sections_[static_cast<std::size_t>(section)].firstOfName;
    }
    // The value of the first key of that name in the section, or nothing.
    std::optional<std::string_view> Value(int section, std::string_view key) const;
    std::optional<std::string_view> Value(std::string_view section, std::string_view key) const;
    // Calls visit(name, value) for every key of the section in file order, duplicates
    // included: one pass for a reader that wants many keys of one section.
    template <typename Visit> void ForEachKey(int section, Visit&& visit) const {
        const Section& range = sections_[static_cast<std::size_t>(section)];
        for (std::size_t i = range.header + 1; i < range.end; ++i) {
            if (lines_[i].kind == LineKind::kKey) {
                visit(NameOf(lines_[i]), ValueOf(lines_[i]));
            }
        }
    }

    // Sets a key as the classic writer does: a missing section is appended at the end of the
    // file, a missing key after the last non-blank line of its section, and an existing key
    // gets the new value in its own line, which keeps its key spelling and line end. New
    // lines end in CR LF. Nothing changes when the result is not kNone.
    TextFault SetValue(std::string_view section, std::string_view key, std::string_view value);

    static TextFault CheckSectionName(std::string_view name);
    static TextFault CheckKeyName(std::string_view name);
    static TextFault CheckValue(std::string_view value);

    // True once a change made the bytes differ from what was read.
    bool Modified() const { return modified_; }
    QByteArray ToBytes() const;
    // Replaces `path` atomically (a temporary file in the same folder, then a rename). On
    // failure the old file stays as it was and *error holds the reason.
    bool Write(const QString& path, QString* error = nullptr) const;

private:
    enum class LineEnd : std::uint8_t { kNone, kLf, kCr, kCrLf };
    enum class LineKind : std::uint8_t { kBlank, kComment, kSection, kKey, kOther };

    // Byte offsets into bytes_. Names and values are derived from the mark when needed
    // (skipping the blanks around them), which keeps the record small for files of many
    // thousand lines.
    struct Line {
        qsizetype begin = 0;
        qsizetype end = 0;  // the line end is not part of the line
        qsizetype mark = 0; // key lines: the '='; section lines: the ']' (or the line's end)
        LineKind kind = LineKind::kBlank;
        LineEnd lineEnd = LineEnd::kNone;
        bool asciiName = true; // the name needs no Unicode case folding
    };
    // Line indexes: the header line and one past the section's last line.
    struct Section {
        std::size_t header = 0;
        std::size_t end = 0;
        int firstOfName = 0;
    };

    void Parse();
    // Registers the section whose header is line `header`, after every earlier section.
    void OpenSection(std::size_t header);
    Line Classify(qsizetype begin, qsizetype end) const;
    std::string_view View(qsizetype begin, qsizetype end) const;
    std::string_view NameOf(const Line& line) const;
    std::string_view ValueOf(const Line& line) const;
    qsizetype ValueBegin(const Line& line) const;
    std::optional<std::size_t> FindKey(int section, std::string_view key) const;
    // Stores new line content after the existing bytes and returns its classified line.
    Line AddLine(std::string_view content, LineEnd lineEnd);
    void EndLastLine();

    QByteArray bytes_; // the file's bytes, followed by the content of edited and added lines
    qsizetype bomLength_ = 0;
    std::vector<Line> lines_;
    std::vector<Section> sections_;
    NameIndex sectionIndex_; // section name -> first section of that name
    bool modified_ = false;
};

} // namespace ini
