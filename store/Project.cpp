#include "store/Project.h"

#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "messages/WholeFile.h"
#include "store/Names.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <iterator>
#include <map>

namespace store {
namespace {
const QString kDimension = QStringLiteral("DIMENSION");
const QString kProjectSummary = QStringLiteral("SUMMARY");
const QString kPicture = QStringLiteral("PICTURE");
const QString kIndelible = QStringLiteral("INDELIBLE");
const QString kTicker = QStringLiteral("TICKER");
const QString kMovieGroup = QStringLiteral("MOVIE_GROUP");
const QString kTotalPictures = QStringLiteral("TOTAL_PICTURES");
const QString kMovieInterval = QStringLiteral("MOVIE_INTERVAL");
const QString kTickerSpeed = QStringLiteral("TICKER_SPEED");
// The sections that hold a value per entry, under the entry's key.
const QString kEntrySections[] = {kPicture, kIndelible, kTicker, kMovieGroup};

struct EntryValues {
    QString picture;
    int group = 0;
    int ticker = 0;
    bool indelible = false;
};

EntryValues readEntry(const Project& project, int entry)
{
    return {project.pictureName(entry), project.group(entry), project.ticker(entry), project.indelible(entry)};
}

void writeEntry(Project& project, int entry, const EntryValues& values)
{
    IniFile& ini = project.ini();
    const QString key = Project::entryKey(entry);
    ini.writeString(kPicture, key, values.picture);
    ini.writeInteger(kMovieGroup, key, values.group);
    ini.writeInteger(kTicker, key, values.ticker);
    ini.writeInteger(kIndelible, key, values.indelible ? 1 : 0);
}

bool inRange(const Project& project, int entry)
{
    return entry >= 0 && entry < project.totalPictures();
}

} // namespace

void createProject(const QString& path, int width, int height)
{
    IniFile ini(path);
    initialiseProject(ini, width, height);
}

void initialiseProject(IniFile& ini, int width, int height)
{
    IniFile::WriteBatch batch(ini);
    for (const QString& section : ini.sections())
        ini.eraseSection(section); // a new project never inherits what a file of that name held
    ini.writeInteger(kDimension, QStringLiteral("PICTURE_WIDTH"), width);
    ini.writeInteger(kDimension, QStringLiteral("PICTURE_HEIGHT"), height);
    ini.writeInteger(kProjectSummary, kTotalPictures, 0);
    ini.writeInteger(kProjectSummary, kMovieInterval, kDefaultMovieInterval);
}

Project::Project(QString path) : ini_(std::move(path)) {}

QString Project::name() const
{
    const QString file = QFileInfo(path()).fileName();
    return file.left(file.size() - 4);
}

QString Project::entryKey(int entry)
{
    return QStringLiteral("PICTURE_") + QString::number(entry);
}

QString Project::groupIntervalKey(int group)
{
    return QStringLiteral("MVG_SPEED") + QString::number(group);
}

namespace {

int storedWidth(const IniFile& ini)
{
    return ini.readInteger(kDimension, QStringLiteral("PICTURE_WIDTH"), 0);
}

int storedHeight(const IniFile& ini)
{
    return ini.readInteger(kDimension, QStringLiteral("PICTURE_HEIGHT"), 0);
}

} // namespace

int Project::width() const
{
    return storedWidth(ini_);
}

int Project::height() const
{
    return storedHeight(ini_);
}

QSize Project::storedDimension(const QString& path)
{
    const IniFile head = IniFile::leadingPart(path, {kDimension});
    return {storedWidth(head), storedHeight(head)};
}

int Project::totalPictures() const
{
    const int stored = std::clamp(ini_.readInteger(kProjectSummary, kTotalPictures, 0), 0, kMaxProjectEntries);
    if (stored == 0 || hasAnyValue(stored - 1))
        return stored;
    return highestEntryWithValue(stored) + 1;
}

bool Project::hasAnyValue(int entry) const
{
    const QString key = entryKey(entry);
    return std::any_of(std::begin(kEntrySections), std::end(kEntrySections),
                       [&](const QString& section) { return ini_.valueExists(section, key); });
}

// The highest entry number below `below` that has a value in any entry section; -1 when none has.
int Project::highestEntryWithValue(int below) const
{
    const QString prefix = QStringLiteral("PICTURE_");
    int highest = -1;
    for (const QString& section : kEntrySections)
        for (const QString& key : ini_.keys(section)) {
            if (!key.startsWith(prefix, Qt::CaseInsensitive))
                continue;
            bool ok = false;
            const int entry = key.mid(prefix.size()).toInt(&ok);
            // Only a key a reader asks for counts: "PICTURE_01" is not entry 1.
            if (ok && entry > highest && entry < below && key.compare(entryKey(entry), Qt::CaseInsensitive) == 0)
                highest = entry;
        }
    return highest;
}

int Project::movieInterval() const
{
    const int interval = ini_.readInteger(kProjectSummary, kMovieInterval, kDefaultMovieInterval);
    return interval < 0 ? kDefaultMovieInterval : interval;
}

int Project::tickerSpeed() const
{
    return ini_.readInteger(kTicker, kTickerSpeed, kDefaultTickerSpeed);
}

void Project::setMovieInterval(int interval)
{
    ini_.writeInteger(kProjectSummary, kMovieInterval, interval);
}

void Project::setTickerSpeed(int speed)
{
    ini_.writeInteger(kTicker, kTickerSpeed, speed);
}

QString Project::pictureName(int entry) const
{
    return ini_.readString(kPicture, entryKey(entry));
}

bool Project::isHole(int entry) const
{
    return isNoName(pictureName(entry));
}

bool Project::indelible(int entry) const
{
    return ini_.readInteger(kIndelible, entryKey(entry), 0) != 0;
}

int Project::ticker(int entry) const
{
    return ini_.readInteger(kTicker, entryKey(entry), 0);
}

int Project::group(int entry) const
{
    return ini_.readInteger(kMovieGroup, entryKey(entry), 0);
}

int Project::groupInterval(int group) const
{
    return ini_.readInteger(kMovieGroup, groupIntervalKey(group), kDefaultGroupInterval);
}

void Project::setIndelible(int entry, bool indelible)
{
    ini_.writeInteger(kIndelible, entryKey(entry), indelible ? 1 : 0);
}

void Project::setTicker(int entry, int ticker)
{
    ini_.writeInteger(kTicker, entryKey(entry), ticker);
}

void Project::setGroup(int entry, int group)
{
    ini_.writeInteger(kMovieGroup, entryKey(entry), group);
}

void Project::setGroupInterval(int group, int interval)
{
    ini_.writeInteger(kMovieGroup, groupIntervalKey(group), interval);
}

int Project::highestGroup() const
{
    int highest = 0;
    for (int entry = 0, n = totalPictures(); entry < n; ++entry)
        highest = std::max(highest, group(entry));
    return highest;
}

unsigned messageId(AppendStatus status)
{
    return status == AppendStatus::Ok ? 0 : msg::AddToProjectFailed;
}

QString appendFailureText(AppendStatus status, const QString& fileName, const QString& projectText)
{
    using messages::lookupMessage;
    switch (status) {
    case AppendStatus::Rejected:
        return lookupMessage(msg::DimensionOfPicture) + fileName + lookupMessage(msg::IsDifferentFromProject) +
               projectText + lookupMessage(msg::SkipCopyThisFile);
    case AppendStatus::NoDimension:
        return lookupMessage(msg::ProjectFileLabel) + projectText + lookupMessage(msg::ProjectIsCorrupted);
    default:
        return lookupMessage(msg::FailToAddToProjectFile) + projectText + lookupMessage(msg::SkipCopyThisFile);
    }
}

AppendStatus writeAppendedEntry(Project& project, const QString& pictureName, int groupInterval, int group,
                                int ticker, bool indelible)
{
    IniFile& ini = project.ini();
    IniFile::WriteBatch batch(ini);
    const int n = project.totalPictures();
    if (n >= kMaxProjectEntries)
        return AppendStatus::Rejected; // a further entry would be counted past what readers walk
    const QString key = Project::entryKey(n);
    ini.writeString(kPicture, key, pictureName);
    ini.writeInteger(kIndelible, key, indelible ? 1 : 0);
    if (ticker != 0)
        ini.writeInteger(kTicker, key, ticker == -1 ? 0 : ticker);
    if (group != 0) {
        ini.writeInteger(kMovieGroup, key, group == -1 ? 0 : group);
        if (group != -1)
            project.setGroupInterval(group, groupInterval);
    }
    ini.writeInteger(kProjectSummary, kTotalPictures, n + 1);
    return AppendStatus::Ok;
}

void compactEntries(Project& project, const std::function<bool(int, const QString&)>& keep)
{
    IniFile& ini = project.ini();
    IniFile::WriteBatch batch(ini);
    const int n = project.totalPictures();
    int kept = 0;
    for (int entry = 0; entry < n; ++entry) {
        const EntryValues values = readEntry(project, entry);
        if (keep(entry, values.picture))
            writeEntry(project, kept++, values);
    }
    ini.writeInteger(kProjectSummary, kTotalPictures, kept);
    for (int entry = kept; entry < n; ++entry) {
        const QString key = Project::entryKey(entry);
        ini.deleteKey(kPicture, key);
        ini.deleteKey(kMovieGroup, key);
        ini.deleteKey(kTicker, key);
    }
}

bool removeEntry(Project& project, int entry, bool factoryMode, messages::Prompter& prompter)
{
    if (!inRange(project, entry))
        return false;
    if (project.indelible(entry) && !factoryMode) {
        prompter.tell(msg::IndelibleTitle, msg::CannotRemoveIndelible, messages::Icon::Stop);
        return false;
    }
    IniFile::WriteBatch batch(project.ini());
    project.ini().deleteKey(kPicture, Project::entryKey(entry));
    compactEntries(project, [](int, const QString& name) { return !isNoName(name); });
    return true;
}

void swapEntries(Project& project, int a, int b)
{
    IniFile::WriteBatch batch(project.ini());
    const EntryValues first = readEntry(project, a);
    const EntryValues second = readEntry(project, b);
    writeEntry(project, a, second);
    writeEntry(project, b, first);
}

int groupBounds(const Project& project, int group, bool last)
{
    int found = -1;
    for (int entry = 0, n = project.totalPictures(); entry < n; ++entry) {
        if (project.group(entry) != group)
            continue;
        if (!last)
            return entry;
        found = entry;
    }
    return found;
}

int moveEntryUp(Project& project, int r)
{
    if (r <= 0 || r >= project.totalPictures() || project.isHole(r - 1))
        return -1;
    IniFile::WriteBatch batch(project.ini());
    const int gc = project.group(r);
    const int gp = project.group(r - 1);
    if (gc == gp) {
        swapEntries(project, r - 1, r);
        return r - 1;
    }
    if (gp == 0) { // the row heads a group: the whole group moves up past the entry above
        const int last = groupBounds(project, gc, true);
        for (int k = r - 1; k <= last - 1; ++k)
            swapEntries(project, k, k + 1);
        return r - 1;
    }
    const int fp = groupBounds(project, gp, false);
    if (gc != 0) { // two groups exchange places
        const int first = groupBounds(project, gc, false);
        const int last = groupBounds(project, gc, true);
        for (int t = 0; t <= last - first; ++t)
            for (int k = r + t; k > fp + t; --k)
                swapEntries(project, k, k - 1);
        return fp;
    }
    for (int k = r; k > fp; --k) // an ungrouped entry jumps over the group above it
        swapEntries(project, k, k - 1);
    return fp;
}

int moveEntryDown(Project& project, int r)
{
    if (r < 0 || r >= project.totalPictures() - 1 || project.isHole(r + 1))
        return -1;
    IniFile::WriteBatch batch(project.ini());
    const int gc = project.group(r);
    const int gn = project.group(r + 1);
    if (gc == gn) {
        swapEntries(project, r + 1, r);
        return r + 1;
    }
    if (gc == 0) { // the ungrouped entry jumps below the whole group that follows
        const int ln = groupBounds(project, gn, true);
        for (int k = r; k < ln; ++k)
            swapEntries(project, k, k + 1);
        return ln;
    }
    const int first = groupBounds(project, gc, false);
    if (gn != 0) { // two groups exchange places
        const int last = groupBounds(project, gc, true);
        const int ln = groupBounds(project, gn, true);
        for (int t = 0; t <= last - first; ++t)
            for (int k = last - t; k < ln - t; ++k)
                swapEntries(project, k, k + 1);
        return ln;
    }
    for (int k = r + 1; k > first; --k) // the row ends a group: the entry below moves above the group
        swapEntries(project, k, k - 1);
    return r + 1;
}

void toggleIndelible(Project& project, int entry)
{
    if (inRange(project, entry))
        project.setIndelible(entry, !project.indelible(entry));
}

void toggleMovieGroup(Project& project, int r, MovieGroupChooser& chooser)
{
    if (!inRange(project, r))
        return;
    const int steps = project.ini().readInteger(kProjectSummary, kMovieInterval, kDefaultMovieInterval) / 8;
    const int g = project.group(r);
    const int n = project.totalPictures();
    if (g != 0) { // out of the group: the entry sinks below the rest of its former group
        IniFile::WriteBatch batch(project.ini());
        project.setGroup(r, 0);
        for (int k = r + 1; k < n; ++k)
            if (project.group(k) == g)
                swapEntries(project, k - 1, k);
        return;
    }
    const MovieGroupChoice choice = chooser.chooseMovieGroup(project.highestGroup(), steps, project);
    if (choice.group == 0)
        return;
    IniFile::WriteBatch batch(project.ini());
    const int first = groupBounds(project, choice.group, false);
    const int last = groupBounds(project, choice.group, true);
    int position = r;
    if (first >= 0) {
        if (r < first) { // sink to just above the group
            for (int k = r; k <= first - 2; ++k)
                swapEntries(project, k, k + 1);
            position = first - 1;
        } else { // rise to just below the group
            for (int k = r; k >= last + 2; --k)
                swapEntries(project, k, k - 1);
            position = last + 1;
        }
    }
    project.setGroup(position, choice.group);
    project.setGroupInterval(choice.group, choice.intervalSteps * 8);
}

void setTicker(Project& project, int entry, TickerChooser& chooser)
{
    if (!inRange(project, entry))
        return;
    const TickerChoice choice = chooser.chooseTicker(project.ticker(entry), project.tickerSpeed());
    if (choice.type == -1)
        return;
    IniFile::WriteBatch batch(project.ini());
    project.setTicker(entry, choice.type);
    project.setTickerSpeed(choice.speed);
}

QString singleMemberGroups(const Project& project)
{
    std::map<int, int> members;
    for (int entry = 0, n = project.totalPictures(); entry < n; ++entry) {
        const int group = project.group(entry);
        if (group >= 1 && group <= kMaxGroupNumber)
            ++members[group];
    }
    QString lines;
    for (const auto& [group, count] : members)
        if (count == 1)
            lines += QStringLiteral("Group %1 \n").arg(group);
    return lines;
}

} // namespace store
