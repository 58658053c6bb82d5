#include "topology/ini_document.h"

#include "topology/ini_text.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>

namespace ini {

namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";
constexpr qsizetype kBomLength = 3;

std::string_view LineEndBytes(int lineEnd) {
    static constexpr std::string_view kEnds[] = {"", "\n", "\r", "\r\n"};
    return kEnds[lineEnd];
}

TextFault CheckLineSafe(std::string_view text) {
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            return TextFault::kLineBreak;
        }
        if (c == '\0') {
            return TextFault::kNul;
        }
    }
    return TextFault::kNone;
}

} // namespace

QString TextFaultReason(TextFault fault) {
    switch (fault) {
    case TextFault::kNone:
        return {};
    case TextFault::kLineBreak:
        return QStringLiteral("holds a line break");
    case TextFault::kNul:
        return QStringLiteral("holds a NUL character");
    case TextFault::kBracket:
        return QStringLiteral("holds ']'");
    case TextFault::kEquals:
        return QStringLiteral("holds '='");
    case TextFault::kLeadingMark:
        return QStringLiteral("starts with '[' or ';'");
    }
    return {};
}

IniDocument::IniDocument(QByteArray bytes) : bytes_(std::move(bytes)) {
    Parse();
}

IniDocument::ReadStatus IniDocument::Read(const QString& path, QString* error) {
    *this = IniDocument();
    if (!QFileInfo::exists(path)) {
        return ReadStatus::kMissing;
    }
    const auto fail = [error](const QString& reason) {
        if (error != nullptr) {
            *error = reason;
        }
        return ReadStatus::kFailed;
    };
    // A device or pipe could block or never end: only regular files are read.
    if (!QFileInfo(path).isFile()) {
        return fail(QStringLiteral("not a regular file"));
    }
    const QString tooLarge =
        QStringLiteral("the file is larger than %1 MiB").arg(kMaxFileSize >> 20);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(file.errorString());
    }
    if (file.size() > kMaxFileSize) {
        return fail(tooLarge);
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return fail(file.errorString());
    }
    if (bytes.size() > kMaxFileSize) { // it grew while being read
        return fail(tooLarge);
    }
    *this = IniDocument(std::move(bytes));
    return ReadStatus::kRead;
}

void IniDocument::Parse() {
    const char* const data = bytes_.constData();
    const qsizetype size = bytes_.size();
    qsizetype pos = 0;
    if (size >= kBomLength && std::memcmp(data, kBom, kBomLength) == 0) {
        bomLength_ = kBomLength;
        pos = kBomLength;
    }
    lines_.reserve(static_cast<std::size_t>(size / 20 + 1));
    while (pos < size) {
        // The line ends at the first CR or LF; CR LF counts as one line end.
        const char* const start = data + pos;
        const auto remaining = static_cast<std::size_t>(size - pos);
        const auto* lf = static_cast<const char*>(std::memchr(start, '\n', remaining));
        const std::size_t searchCr =
            lf != nullptr ? static_cast<std::size_t>(lf - start) : remaining;
        const auto* cr = static_cast<const char*>(std::memchr(start, '\r', searchCr));
        qsizetype end = size;
        qsizetype next = size;
        LineEnd lineEnd = LineEnd::kNone;
        if (cr != nullptr) {
            end = cr - data;
            if (cr + 1 == lf) {
                lineEnd = LineEnd::kCrLf;
                next = end + 2;
            } else {
                lineEnd = LineEnd::kCr;
                next = end + 1;
            }
        } else if (lf != nullptr) {
            end = lf - data;
            lineEnd = LineEnd::kLf;
            next = end + 1;
        }
        Line line = Classify(pos, end);
        line.lineEnd = lineEnd;
        lines_.push_back(line);
        if (line.kind == LineKind::kSection) {
            OpenSection(lines_.size() - 1);
        }
        pos = next;
    }
    if (!sections_.empty()) {
        sections_.back().end = lines_.size();
    }
}

void IniDocument::OpenSection(std::size_t header) {
    if (!sections_.empty()) {
        sections_.back().end = header;
    }
    const int index = static_cast<int>(sections_.size());
    sections_.push_back(Section{header, header + 1, index});
    sections_.back().firstOfName = sectionIndex_.FindOrAdd(
        NameOf(lines_[header]), index, [this](int section) { return SectionName(section); });
}

IniDocument::Line IniDocument::Classify(qsizetype begin, qsizetype end) const {
    const char* const data = bytes_.constData();
    Line line;
    line.begin = begin;
    line.end = end;
    qsizetype first = begin;
    while (first < end && IsBlank(data[first])) {
        ++first;
    }
    if (first == end) {
        line.kind = LineKind::kBlank;
        return line;
    }
    if (data[first] == ';') {
        line.kind = LineKind::kComment;
        return line;
    }
    if (data[first] == '[') {
        const qsizetype nameBegin = first + 1;
        const auto* close = static_cast<const char*>(
            std::memchr(data + nameBegin, ']', static_cast<std::size_t>(end - nameBegin)));
        line.kind = LineKind::kSection;
        line.mark = close != nullptr ? close - data : end;
        line.asciiName = IsAscii(View(nameBegin, line.mark));
        return line;
    }
    const auto* equals = static_cast<const char*>(
        std::memchr(data + first, '=', static_cast<std::size_t>(end - first)));
    if (equals == nullptr) {
        line.kind = LineKind::kOther;
        return line;
    }
    line.kind = LineKind::kKey;
    line.mark = equals - data;
    line.asciiName = IsAscii(View(first, line.mark));
    return line;
}

std::string_view IniDocument::View(qsizetype begin, qsizetype end) const {
    return std::string_view(bytes_.constData() + begin, static_cast<std::size_t>(end - begin));
}

std::string_view IniDocument::NameOf(const Line& line) const {
    const char* const data = bytes_.constData();
    qsizetype begin = line.begin;
    while (begin < line.mark && IsBlank(data[begin])) {
        ++begin;
    }
    if (line.kind == LineKind::kSection) {
        ++begin; // '['
        while (begin < line.mark && IsBlank(data[begin])) {
            ++begin;
        }
    }
    qsizetype end = line.mark;
    while (end > begin && IsBlank(data[end - 1])) {
        --end;
    }
    return View(begin, end);
}

qsizetype IniDocument::ValueBegin(const Line& line) const {
    const char* const data = bytes_.constData();
    qsizetype begin = line.mark + 1;
    while (begin < line.end && IsBlank(data[begin])) {
        ++begin;
    }
    return begin;
}

std::string_view IniDocument::ValueOf(const Line& line) const {
    const char* const data = bytes_.constData();
    const qsizetype begin = ValueBegin(line);
    qsizetype end = line.end;
    while (end > begin && IsBlank(data[end - 1])) {
        --end;
    }
    return View(begin, end);
}

std::string_view IniDocument::SectionName(int section) const {
    return NameOf(lines_[sections_[static_cast<std::size_t>(section)].header]);
}

int IniDocument::FindSection(std::string_view name) const {
    return sectionIndex_.Find(TrimBlanks(name),
                              [this](int section) { return SectionName(section); });
}

std::optional<std::size_t> IniDocument::FindKey(int section, std::string_view key) const {
    const Section& range = sections_[static_cast<std::size_t>(section)];
    const std::string_view wanted = TrimBlanks(key);
    const bool wantedAscii = IsAscii(wanted);
    std::optional<std::string> wantedFolded; // only for names outside ASCII
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        const Line& line = lines_[i];
        if (line.kind != LineKind::kKey) {
            continue;
        }
        const std::string_view name = NameOf(line);
        if (line.asciiName && wantedAscii) {
            if (AsciiEqualIgnoringCase(name, wanted)) {
                return i;
            }
            continue;
        }
        if (!wantedFolded) {
            wantedFolded = FoldName(wanted);
        }
        if (FoldName(name) == *wantedFolded) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string_view> IniDocument::Value(int section, std::string_view key) const {
    if (section < 0 || section >= SectionCount()) {
        return std::nullopt;
    }
    const std::optional<std::size_t> line = FindKey(section, key);
    if (!line) {
        return std::nullopt;
    }
    return ValueOf(lines_[*line]);
}

std::optional<std::string_view> IniDocument::Value(std::string_view section,
                                                   std::string_view key) const {
    return Value(FindSection(section), key);
}

TextFault IniDocument::CheckSectionName(std::string_view name) {
    const TextFault fault = CheckLineSafe(name);
    if (fault != TextFault::kNone) {
        return fault;
    }
    return name.find(']') == std::string_view::npos ? TextFault::kNone : TextFault::kBracket;
}

TextFault IniDocument::CheckKeyName(std::string_view name) {
    const TextFault fault = CheckLineSafe(name);
    if (fault != TextFault::kNone) {
        return fault;
    }
    if (name.find('=') != std::string_view::npos) {
        return TextFault::kEquals;
    }
    const std::string_view trimmed = TrimBlanks(name);
    if (!trimmed.empty() && (trimmed.front() == '[' || trimmed.front() == ';')) {
        return TextFault::kLeadingMark;
    }
    return TextFault::kNone;
}

TextFault IniDocument::CheckValue(std::string_view value) {
    return CheckLineSafe(value);
}

IniDocument::Line IniDocument::AddLine(std::string_view content, LineEnd lineEnd) {
    const qsizetype begin = bytes_.size();
    bytes_.append(content.data(), static_cast<qsizetype>(content.size()));
    Line line = Classify(begin, bytes_.size());
    line.lineEnd = lineEnd;
    return line;
}

void IniDocument::EndLastLine() {
    if (!lines_.empty() && lines_.back().lineEnd == LineEnd::kNone) {
        lines_.back().lineEnd = LineEnd::kCrLf;
    }
}

TextFault IniDocument::SetValue(std::string_view section, std::string_view key,
                                std::string_view value) {
    for (const TextFault fault :
         {CheckSectionName(section), CheckKeyName(key), CheckValue(value)}) {
        if (fault != TextFault::kNone) {
            return fault;
        }
    }
    std::string keyLine;
    keyLine.reserve(key.size() + 1 + value.size());
    keyLine.append(key).append(1, '=').append(value);

    const int found = FindSection(section);
    if (found < 0) {
        EndLastLine();
        std::string header;
        header.reserve(section.size() + 2);
        header.append(1, '[').append(section).append(1, ']');
        lines_.push_back(AddLine(header, LineEnd::kCrLf));
        OpenSection(lines_.size() - 1);
        lines_.push_back(AddLine(keyLine, LineEnd::kCrLf));
        sections_.back().end = lines_.size();
        modified_ = true;
        return TextFault::kNone;
    }

    if (const std::optional<std::size_t> at = FindKey(found, key)) {
        // Keep the key as spelled in the file and the blanks around '='; replace the rest.
        Line& old = lines_[*at];
        std::string content(View(old.begin, ValueBegin(old)));
        content.append(value);
        if (content == View(old.begin, old.end)) {
            return TextFault::kNone;
        }
        old = AddLine(content, old.lineEnd);
        modified_ = true;
        return TextFault::kNone;
    }

    // A new key goes after the section's last non-blank line, before the blank lines that
    // usually separate it from the next section.
    Section& range = sections_[static_cast<std::size_t>(found)];
    std::size_t at = range.end;
    while (at - 1 > range.header && lines_[at - 1].kind == LineKind::kBlank) {
        --at;
    }
    if (lines_[at - 1].lineEnd == LineEnd::kNone) {
        lines_[at - 1].lineEnd = LineEnd::kCrLf; // only the file's last line lacks a line end
    }
    const Line line = AddLine(keyLine, LineEnd::kCrLf);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), line);
    ++range.end;
    for (std::size_t s = static_cast<std::size_t>(found) + 1; s < sections_.size(); ++s) {
        ++sections_[s].header;
        ++sections_[s].end;
    }
    modified_ = true;
    return TextFault::kNone;
}

QByteArray IniDocument::ToBytes() const {
    QByteArray out;
    qsizetype total = bomLength_;
    for (const Line& line : lines_) {
        total += line.end - line.begin + 2;
    }
    out.reserve(total);
    out.append(bytes_.constData(), bomLength_);
    for (const Line& line : lines_) {
        out.append(bytes_.constData() + line.begin, line.end - line.begin);
        const std::string_view ending = LineEndBytes(static_cast<int>(line.lineEnd));
        out.append(ending.data(), static_cast<qsizetype>(ending.size()));
    }
    return out;
}

bool IniDocument::Write(const QString& path, QString* error) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error != nullptr) {
            *error = file.errorString();
        }
        return false;
    }
    const QByteArray bytes = ToBytes();
    if (file.write(bytes) != bytes.size()) {
        if (error != nullptr) {
            *error = file.errorString();
        }
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error != nullptr) {
            *error = file.errorString();
        }
        return false;
    }
    return true;
}

} // namespace ini
