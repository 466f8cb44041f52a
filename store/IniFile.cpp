#include "store/IniFile.h"

#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/WholeFile.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <exception>

namespace store {
namespace {

// Windows-1252 where it differs from Latin-1 (0x80..0x9F); its five unassigned bytes keep their Latin-1 value.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D,
    0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A,
    0x0153, 0x009D, 0x017E, 0x0178};

QString fromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<uchar>(bytes[i]);
        text[i] = QChar(byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : char16_t(byte));
    }
    return text;
}

// A line is UTF-8 when it decodes as such, else Windows-1252 (the ANSI text older programs wrote).
QString decodeLine(QByteArrayView bytes)
{
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<uchar>(c) < 0x80; }))
        return QString::fromLatin1(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? fromWindows1252(bytes) : text;
}

} // namespace

unsigned messageId(WriteRefusal refusal)
{
    switch (refusal) {
    case WriteRefusal::None:
        return 0;
    case WriteRefusal::Refused:
        return msg::UnableToWriteTo;
    case WriteRefusal::LockUnusable:
        return msg::LockFileUnusable;
    }
    return msg::UnableToWriteTo;
}

IniWriteError::IniWriteError(const QString& path, WriteRefusal refusal)
    : std::runtime_error(messages::formatMessage(messageId(refusal), qUtf8Printable(path)).toStdString()),
      path_(path),
      refusal_(refusal)
{
}

WorkspaceLockError::WorkspaceLockError(const QString& lockFile)
    : IniWriteError(lockFile, WriteRefusal::LockUnusable)
{
}

IniFile::IniFile(QString path) : path_(std::move(path)) {}

void IniFile::Section::reindex()
{
    index.clear();
    index.reserve(qsizetype(lines.size()));
    // From the last line back, so that the first of duplicate keys is the one left in the index.
    for (int i = static_cast<int>(lines.size()) - 1; i >= 0; --i)
        if (!lines[i].key.isEmpty())
            index.insert(lines[i].key.toLower(), i);
}

void IniFile::refresh() const
{
    if ((batchDepth_ > 0 || holdDepth_ > 0) && loaded_)
        return; // the batch's own writes are newer than the disk; a hold reads the file once
    const files::DiskStamp now = files::diskStamp(path_);
    if (loaded_ && now == stamp_)
        return;
    const files::ReadOutcome read = files::readRegularFile(path_, files::kMaxTextFileBytes);
    unreadable_ = read.status == files::ReadStatus::Unreadable;
    parse(read.bytes);
    stamp_ = now;
    loaded_ = true;
    ++generation_;
}

IniFile IniFile::leadingPart(const QString& path, const QStringList& sections)
{
    IniFile file(path);
    for (const QString& section : sections)
        file.leadingSections_.append(section.toLower());
    return file;
}

void IniFile::parse(const QByteArray& content) const
{
    sections_.clear();
    sectionIndex_.clear();
    content_ = content; // the lines keep their original bytes as views of it
    const QByteArrayView all(std::as_const(content_));
    sections_.push_back({QString(), false, {}, {}, {}});
    QStringList unread = leadingSections_; // of a leading part: the sections it ends after, not reached yet
    for (qsizetype start = 0; start < all.size();) {
        const qsizetype newline = content_.indexOf('\n', start);
        const qsizetype end = newline < 0 ? all.size() : newline + 1;
        const QByteArrayView original = all.sliced(start, end - start);
        QByteArrayView bytes = original;
        if (start == 0 && bytes.startsWith("\xEF\xBB\xBF"))
            bytes = bytes.sliced(3);
        start = end;
        while (bytes.endsWith('\n') || bytes.endsWith('\r'))
            bytes.chop(1);
        const QString line = decodeLine(bytes);
        const QStringView trimmed = QStringView(line).trimmed();
        if (trimmed.startsWith(u'[') && trimmed.indexOf(u']') > 0) {
            if (!leadingSections_.isEmpty() && unread.isEmpty())
                break;
            const QString name = trimmed.mid(1, trimmed.indexOf(u']') - 1).trimmed().toString();
            unread.removeAll(name.toLower());
            if (!sectionIndex_.contains(name.toLower()))
                sectionIndex_.insert(name.toLower(), static_cast<int>(sections_.size()));
            sections_.push_back({name, true, original, {}, {}});
            continue;
        }
        const qsizetype equals = trimmed.indexOf(u'=');
        const bool comment = trimmed.startsWith(u';') || trimmed.startsWith(u'#');
        Line parsed;
        if (equals > 0 && !comment) {
            parsed.key = trimmed.left(equals).trimmed().toString();
            parsed.value = trimmed.mid(equals + 1).trimmed().toString();
        }
        if (parsed.key.isEmpty())
            parsed.raw = line;
        parsed.original = original;
        sections_.back().lines.push_back(std::move(parsed));
    }
    for (Section& section : sections_)
        section.reindex();
}

const IniFile::Section* IniFile::findSection(const QString& section) const
{
    refresh();
    const auto found = sectionIndex_.constFind(section.toLower());
    return found == sectionIndex_.cend() ? nullptr : &sections_[*found];
}

const IniFile::Line* IniFile::findLine(const QString& section, const QString& key) const
{
    const Section* found = findSection(section);
    if (!found)
        return nullptr;
    const auto line = found->index.constFind(key.toLower());
    return line == found->index.cend() ? nullptr : &found->lines[*line];
}

namespace {

// As the profile functions do, a value enclosed in a pair of quotation marks is read without them.
QString unquoted(const QString& value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

// The number n of a key that is exactly prefix + QString::number(n), n below `count`; -1 for any other key.
int entryNumber(QStringView lowerKey, QStringView lowerPrefix, int count)
{
    if (!lowerKey.startsWith(lowerPrefix))
        return -1;
    const QStringView digits = lowerKey.mid(lowerPrefix.size());
    if (digits.isEmpty() || digits.size() > 9 || (digits.size() > 1 && digits.front() == u'0'))
        return -1;
    int number = 0;
    for (QChar digit : digits) {
        if (digit < u'0' || digit > u'9')
            return -1;
        number = number * 10 + (digit.unicode() - u'0');
    }
    return number < count ? number : -1;
}

} // namespace

QString IniFile::readString(const QString& section, const QString& key, const QString& defaultValue) const
{
    const Line* line = findLine(section, key);
    return line ? unquoted(line->value) : defaultValue;
}

std::vector<QString> IniFile::readNumbered(const QString& section, const QString& prefix, int count) const
{
    std::vector<QString> values(size_t(std::max(count, 0)));
    const Section* found = findSection(section);
    if (!found)
        return values;
    // The section's index holds each lower-cased key once, with the first line of that key: what findLine finds.
    const QString lowerPrefix = prefix.toLower();
    for (auto it = found->index.cbegin(); it != found->index.cend(); ++it) {
        const int number = entryNumber(it.key(), lowerPrefix, count);
        if (number >= 0)
            values[size_t(number)] = unquoted(found->lines[*it].value);
    }
    return values;
}

int IniFile::readInteger(const QString& section, const QString& key, int defaultValue) const
{
    const QString text = readString(section, key, QString()).trimmed();
    bool ok = false;
    int value = text.toInt(&ok, 10);
    if (!ok && (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)))
        value = text.mid(2).toInt(&ok, 16);
    return ok ? value : defaultValue;
}

bool IniFile::readBool(const QString& section, const QString& key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

IniFile::Section& IniFile::sectionForWrite(const QString& section)
{
    refresh();
    const auto found = sectionIndex_.constFind(section.toLower());
    if (found != sectionIndex_.cend())
        return sections_[*found];
    sectionIndex_.insert(section.toLower(), static_cast<int>(sections_.size()));
    sections_.push_back({section, true, {}, {}, {}});
    return sections_.back();
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    WriteBatch batch(*this);
    Section& target = sectionForWrite(section);
    const auto found = target.index.constFind(key.toLower());
    if (found != target.index.cend()) {
        Line& line = target.lines[*found];
        if (line.value == value)
            return; // the line, whatever its encoding, stays as it is
        line.value = value;
        line.original = {};
    } else {
        // New keys go after the section's last key, before any trailing blank lines.
        auto at = target.lines.end();
        while (at != target.lines.begin() && std::prev(at)->key.isEmpty() && std::prev(at)->raw.trimmed().isEmpty())
            --at;
        const auto position = target.lines.insert(at, Line{key, value, {}, {}});
        // Only blank lines follow it, which no index entry names.
        target.index.insert(key.toLower(), static_cast<int>(position - target.lines.begin()));
    }
    store();
}

void IniFile::writeInteger(const QString& section, const QString& key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value)
{
    writeInteger(section, key, value ? 1 : 0);
}

void IniFile::deleteKey(const QString& section, const QString& key)
{
    WriteBatch batch(*this);
    const auto found = sectionIndex_.constFind(section.toLower());
    if (found == sectionIndex_.cend())
        return;
    Section& target = sections_[*found];
    const auto line = target.index.constFind(key.toLower());
    if (line == target.index.cend())
        return;
    target.lines.erase(target.lines.begin() + *line);
    target.reindex();
    store();
}

void IniFile::deleteKeys(const QString& section, const QStringList& keys)
{
    WriteBatch batch(*this);
    const auto found = sectionIndex_.constFind(section.toLower());
    if (found == sectionIndex_.cend())
        return;
    Section& target = sections_[*found];
    // Each key takes the first line of that key that an earlier one left, as deleteKey after deleteKey would.
    QHash<QString, int> pending;
    for (const QString& key : keys)
        ++pending[key.toLower()];
    std::vector<Line> kept;
    kept.reserve(target.lines.size());
    for (Line& line : target.lines) {
        const auto left = line.key.isEmpty() ? pending.end() : pending.find(line.key.toLower());
        if (left != pending.end() && *left > 0)
            --*left;
        else
            kept.push_back(std::move(line));
    }
    const bool removed = kept.size() != target.lines.size();
    target.lines = std::move(kept);
    if (!removed)
        return;
    target.reindex();
    store();
}

void IniFile::eraseSection(const QString& section)
{
    WriteBatch batch(*this);
    const QString lower = section.toLower();
    const auto before = sections_.size();
    std::erase_if(sections_, [&](const Section& s) { return s.headed && s.name.toLower() == lower; });
    if (sections_.size() == before)
        return;
    sectionIndex_.clear();
    for (int i = 0; i < static_cast<int>(sections_.size()); ++i)
        if (sections_[i].headed && !sectionIndex_.contains(sections_[i].name.toLower()))
            sectionIndex_.insert(sections_[i].name.toLower(), i);
    store();
}

bool IniFile::sectionExists(const QString& section) const
{
    return findSection(section) != nullptr;
}

bool IniFile::valueExists(const QString& section, const QString& key) const
{
    return findLine(section, key) != nullptr;
}

QStringList IniFile::sections() const
{
    refresh();
    QStringList names;
    for (const Section& section : sections_)
        if (section.headed && !names.contains(section.name, Qt::CaseInsensitive))
            names << section.name;
    return names;
}

QStringList IniFile::keys(const QString& section) const
{
    QStringList names;
    if (const Section* found = findSection(section))
        for (int i = 0; i < static_cast<int>(found->lines.size()); ++i) {
            const Line& line = found->lines[i];
            if (!line.key.isEmpty() && found->index.value(line.key.toLower()) == i) // the first of duplicates
                names << line.key;
        }
    return names;
}

QByteArray IniFile::serialise() const
{
    QByteArray bytes;
    bytes.reserve(content_.size() + 1024);
    const auto append = [&bytes](QByteArrayView line) {
        if (!bytes.isEmpty() && !bytes.endsWith('\n'))
            bytes += "\r\n"; // the old last line had no line end
        bytes += line;
    };
    for (const Section& section : sections_) {
        if (section.headed && !section.original.isEmpty())
            append(section.original);
        else if (section.headed)
            append((u'[' + section.name + QStringLiteral("]\r\n")).toUtf8());
        for (const Line& line : section.lines) {
            if (!line.original.isEmpty())
                append(line.original);
            else
                append(((line.key.isEmpty() ? line.raw : line.key + u'=' + line.value) + QStringLiteral("\r\n")).toUtf8());
        }
    }
    return bytes;
}

bool IniFile::unreadable() const
{
    refresh();
    return unreadable_;
}

void IniFile::store()
{
    if (batchDepth_ > 0) {
        dirty_ = true;
        return;
    }
    // A file that could not be read, or was read in part, is never replaced by what little was understood of it.
    if (unreadable_ || !leadingSections_.isEmpty() ||
        files::writeWholeFile(path_, serialise()) != files::WriteResult::Written) {
        loaded_ = false; // what is in memory never reached the disk: read the disk again next time
        throw IniWriteError(path_);
    }
    stamp_ = files::diskStamp(path_);
    dirty_ = false;
}

void IniFile::flush()
{
    if (dirty_) {
        const int depth = batchDepth_;
        batchDepth_ = 0;
        try {
            store();
        } catch (...) {
            batchDepth_ = depth;
            throw;
        }
        batchDepth_ = depth;
    }
}

IniFile::ReadHold::ReadHold(const IniFile& file) : file_(file)
{
    file_.refresh();
    ++file_.holdDepth_;
}

IniFile::ReadHold::~ReadHold()
{
    --file_.holdDepth_;
}

IniFile::WriteBatch::WriteBatch(IniFile& file) : file_(file)
{
    // Under the lock, the file is read afresh: a stamp of coarse times and a reused inode can miss the write
    // another process just made, and a write costs a whole file anyway.
    if (file_.batchDepth_ == 0)
        file_.loaded_ = false;
    file_.refresh();
    ++file_.batchDepth_;
}

void IniFile::WriteBatch::discard()
{
    file_.dirty_ = false;
    file_.loaded_ = false;
}

IniFile::WriteBatch::~WriteBatch() noexcept(false)
{
    if (--file_.batchDepth_ > 0)
        return;
    if (std::uncaught_exceptions() > 0) {
        try {
            file_.flush();
        } catch (const IniWriteError&) {
            // already unwinding for another error, which is the one the user sees
        }
        return;
    }
    file_.flush();
}

} // namespace store
