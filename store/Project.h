#pragma once

#include "store/IniFile.h"

#include <QSize>
#include <QString>
#include <functional>

namespace messages {
class Prompter;
}

// A project: one INI file in the projects folder listing picture entries (numbered from 0, keyed "PICTURE_" + n)
// with their lock, ticker and movie group values, and the project-wide timing settings.
namespace store {

constexpr int kDefaultMovieInterval = 160; // 8 units per 0.1 s step: 2 seconds
constexpr int kDefaultGroupInterval = 160;
constexpr int kDefaultTickerSpeed = 4;
constexpr int kMaxGroupNumber = 1023;
constexpr int kSameAsMovieSpeed = -8;      // a group interval that follows the project's movie interval
constexpr int kMaxProjectEntries = 65535;  // entries are counted in 16 bits wherever they go

// Writes a new empty project: DIMENSION (width, height), then SUMMARY (no pictures, movie interval 160).
// Throws IniWriteError when the file cannot be written.
void createProject(const QString& path, int width, int height);
// The same content written to a project file object, for a project made within a WriteBatch.
void initialiseProject(IniFile& ini, int width, int height);

// Typed access to one project file; every write goes straight to the file.
class Project {
public:
    explicit Project(QString path);

    IniFile& ini() { return ini_; }
    const IniFile& ini() const { return ini_; }
    const QString& path() const { return ini_.path(); }
    // The file name without its ".ini".
    QString name() const;

    static QString entryKey(int entry);
    static QString groupIntervalKey(int group);

    int width() const;
    int height() const;
    // Width and height as width() and height() read them, from the project file at `path` read only as far as
    // they are stored (its first section): for listing many projects without reading their entries.
    static QSize storedDimension(const QString& path);
    // The number of entries: the stored count, bounded by what the file holds (one past the highest entry with
    // any value; the entries from there to the stored count are all holes) and by kMaxProjectEntries, so that
    // a damaged or hostile count never makes a walk over billions of empty entries.
    int totalPictures() const;
    int movieInterval() const; // a negative stored value counts as the default
    int tickerSpeed() const;
    void setMovieInterval(int interval);
    void setTickerSpeed(int speed);

    QString pictureName(int entry) const;
    bool isHole(int entry) const; // no picture name, or "0"
    bool indelible(int entry) const;
    int ticker(int entry) const;
    int group(int entry) const;
    int groupInterval(int group) const;
    void setIndelible(int entry, bool indelible);
    void setTicker(int entry, int ticker);
    void setGroup(int entry, int group);
    void setGroupInterval(int group, int interval);

    // Highest group number over all entries, 0 when none is grouped.
    int highestGroup() const;

private:
    bool hasAnyValue(int entry) const;
    int highestEntryWithValue(int below) const;

    IniFile ini_;
};

// Width and height of a picture file, read as a regular file of bounded size without blocking; an invalid size
// when it is missing or cannot be read as a picture.
QSize pictureFileSize(const QString& path);

// What appendEntry did.
enum class AppendStatus {
    Ok,          // added as the last entry
    Rejected,    // the file is missing, is no picture, or its height differs from the project's
    NoDimension, // the project file gives no dimension: it is damaged
};

// The message that tells the user a picture was not added (472 "Failed to add into project! ..."); a window that
// names the file and the project builds a fuller one from the status.
unsigned messageId(AppendStatus status);

// The fuller text of a refused append, naming the picture and the project (as the project selector shows it).
QString appendFailureText(AppendStatus status, const QString& fileName, const QString& projectText);

// Adds a picture (a file name relative to clipsFolder) as the last entry. Refused when the file is missing or its
// height differs from the project's; any width is accepted. ticker and group: -1 writes 0, 0 writes nothing,
// anything else is written (a group also sets that group's interval).
AppendStatus appendEntry(Project& project, const QString& clipsFolder, const QString& pictureName,
                         int groupInterval, int group, int ticker, bool indelible);
// appendEntry after its checks of the picture file: writes the entry, refused only past the most entries a
// project holds.
AppendStatus writeAppendedEntry(Project& project, const QString& pictureName, int groupInterval, int group,
                                int ticker, bool indelible);

// Renumbers the entries that `keep` accepts from 0, with all their values, and drops the rest.
void compactEntries(Project& project, const std::function<bool(int entry, const QString& pictureName)>& keep);

// Removes one entry. An indelible entry is refused outside factory mode (message 729). Returns true when removed.
bool removeEntry(Project& project, int entry, bool factoryMode, messages::Prompter& prompter);

// Exchanges all four values of two entries.
void swapEntries(Project& project, int a, int b);

// Move one entry (and the movie group it heads or ends, as a block) one place. They return the entry to select
// afterwards, or -1 when nothing moved.
int moveEntryUp(Project& project, int entry);
int moveEntryDown(Project& project, int entry);

// Lowest (last = false) or highest entry number in the group, -1 when the group has no member.
int groupBounds(const Project& project, int group, bool last);

void toggleIndelible(Project& project, int entry);

// The movie group dialog's answer: the chosen group (0 when cancelled) and its interval in 0.1 s steps, or -1
// for "the same as movie speed".
struct MovieGroupChoice {
    int group = 0;
    int intervalSteps = -1;
};
class MovieGroupChooser {
public:
    virtual ~MovieGroupChooser() = default;
    // maxGroup: highest group in use (the dialog offers 1..maxGroup and a new group maxGroup + 1);
    // movieSteps: the project's movie interval in steps, shown for "the same as movie speed".
    virtual MovieGroupChoice chooseMovieGroup(int maxGroup, int movieSteps, const Project& project) = 0;
};

// Takes a grouped entry out of its group (it sinks below the rest of the group), or asks for a group and puts an
// ungrouped entry into it, next to the group's members.
void toggleMovieGroup(Project& project, int entry, MovieGroupChooser& chooser);

// The ticker dialog's answer: type 0..3, or -1 when cancelled, and the speed of all tickers (1..10).
struct TickerChoice {
    int type = -1;
    int speed = kDefaultTickerSpeed;
};
class TickerChooser {
public:
    virtual ~TickerChooser() = default;
    virtual TickerChoice chooseTicker(int currentType, int currentSpeed) = 0;
};

void setTicker(Project& project, int entry, TickerChooser& chooser);

// "Group %d \n" for every group number with exactly one member, in increasing order; empty when none.
QString singleMemberGroups(const Project& project);

} // namespace store
