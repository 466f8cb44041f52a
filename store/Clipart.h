#pragma once

#include "store/LibraryTree.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

// The built-in clipart: read-only pictures drawn for every LED height, in named groups, and animations made of
// them. They are compiled into the program (":/clipart/<height>/<name>.bmp"); a picture is used by copying it into
// the clips folder under a free name, so the catalogue and the projects only ever see ordinary files there.
namespace store {

struct ClipartPicture {
    QString name;  // unique, without extension: "heart"
    QString group; // "hearts", "stars", ...
    QString fileName() const { return name + QStringLiteral(".bmp"); }
};

// A movie group of clipart pictures, played one after another.
struct ClipartAnimation {
    QString name;
    int intervalSteps = 2; // 0.1 s steps between frames
    QStringList frames;    // picture names, in order; a picture may appear more than once
};

// Every picture and animation, in the order they are drawn; the same names at every height.
const QList<ClipartPicture>& clipartPictures();
const QList<ClipartAnimation>& clipartAnimations();
// The groups in order.
QStringList clipartGroups();
// The group's name in the catalogue's language; the key itself for a group without a text.
QString clipartGroupText(const QString& group);

// The picture named `name` ("heart" or "heart.bmp", any case); nullptr when there is none.
const ClipartPicture* findClipart(const QString& name);
const ClipartAnimation* findClipartAnimation(const QString& name);

// Where the picture of that height is kept; empty for a height without clipart or an unknown name.
QString clipartPath(int ledCount, const QString& name);
QImage clipartImage(int ledCount, const QString& name);
// Whether a path is one clipartPath gives.
bool isClipartPath(const QString& path);

enum class ClipartCopyStatus {
    Ok,
    Unknown,     // no such clipart picture at this height
    WriteFailed, // the clips folder refused the file, or no free name was left
};
unsigned messageId(ClipartCopyStatus status);

struct ClipartCopy {
    ClipartCopyStatus status = ClipartCopyStatus::Unknown;
    QString fileName; // the copy's name in the clips folder
    bool ok() const { return status == ClipartCopyStatus::Ok; }
};

// Copies the picture into the clips folder as NAME.bmp, or NAME1.bmp, NAME2.bmp ... when that name is taken. The
// name is claimed atomically, so an existing file (or one another program writes meanwhile) is never replaced.
// The copy joins no library.
ClipartCopy copyClipartToClips(const QString& clipsFolder, int ledCount, const QString& name);

// The clipart as one tree node for the library trees: "Clipart" with a node per group and the group's pictures
// under it ("heart.bmp"), every node marked builtIn.
LibraryNode clipartTree(int ledCount);

} // namespace store
