#pragma once

#include "deviceimage/DeviceImage.h"
#include "imaging/LitGrid.h"
#include "imaging/PictureFile.h"
#include "store/IniFile.h"
#include "store/Project.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

// A workspace of one edition in a temporary folder, with helpers to draw picture files, write projects and
// timing records, and read image bytes as hex.
struct ImageFixture {
    QTemporaryDir dir;
    deviceimage::ImageContext context;

    explicit ImageFixture(int ledCount = 16)
    {
        context.edition = store::deriveEdition(QStringLiteral("/opt/Lumiwand%1").arg(ledCount));
        context.workspace = store::workspaceFor(dir.path(), ledCount);
        context.workspace.tempFolder = dir.path() + QStringLiteral("/tmp/");
        for (const QString& folder : {context.workspace.exportFolder, context.workspace.projectsFolder,
                                      context.workspace.clipsFolder, context.workspace.tempFolder})
            QDir().mkpath(folder);
    }

    const QString& clips() const { return context.workspace.clipsFolder; }
    const QString& projects() const { return context.workspace.projectsFolder; }
    QString projectPath(const QString& name) const { return projects() + name + QStringLiteral(".ini"); }

    // A picture file from rows of '#' (lit) and '.' (unlit).
    void picture(const QString& name, const QStringList& rows) const
    {
        QVERIFY(imaging::savePicture(imaging::LitGrid::fromRows(rows), clips(), name,
                                     imaging::ExistingFile::Replace)
                    .ok());
    }
    // A width x height picture with the given pixels lit ({x, y} pairs).
    void picture(const QString& name, int width, int height, const QList<QPoint>& lit = {}) const
    {
        imaging::LitGrid grid(width, height);
        for (const QPoint& p : lit)
            grid.setLit(p.x(), p.y());
        QVERIFY(imaging::savePicture(grid, clips(), name, imaging::ExistingFile::Replace).ok());
    }
    void filledPicture(const QString& name, int width, int height) const
    {
        imaging::LitGrid grid(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                grid.setLit(x, y);
        QVERIFY(imaging::savePicture(grid, clips(), name, imaging::ExistingFile::Replace).ok());
    }

    // A project of the given entries. An entry is "file [i] [gN] [tN]": indelible, movie group N, ticker type N.
    // Settings are "KEY=value" for SUMMARY MOVIE_INTERVAL, TICKER TICKER_SPEED and MOVIE_GROUP MVG_SPEEDn.
    void project(const QString& name, int width, int height, const QStringList& entries,
                 const QStringList& settings = {}) const
    {
        store::createProject(projectPath(name), width, height);
        store::Project project(projectPath(name));
        store::IniFile::WriteBatch batch(project.ini());
        for (int i = 0; i < entries.size(); ++i) {
            const QStringList words = entries[i].split(u' ', Qt::SkipEmptyParts);
            const QString key = store::Project::entryKey(i);
            project.ini().writeString("PICTURE", key, words.value(0));
            for (const QString& word : words.mid(1)) {
                if (word == "i")
                    project.setIndelible(i, true);
                else if (word.startsWith(u'g'))
                    project.setGroup(i, word.mid(1).toInt());
                else if (word.startsWith(u't'))
                    project.setTicker(i, word.mid(1).toInt());
            }
        }
        project.ini().writeInteger("SUMMARY", "TOTAL_PICTURES", int(entries.size()));
        for (const QString& setting : settings) {
            const QString key = setting.section(u'=', 0, 0);
            const QString value = setting.section(u'=', 1);
            const QString section = key.startsWith("MVG_SPEED") ? "MOVIE_GROUP"
                                    : key == "TICKER_SPEED"     ? "TICKER"
                                    : key.startsWith("PICTURE_") ? "DIMENSION"
                                                                 : "SUMMARY";
            project.ini().writeString(section, key, value);
        }
    }

    // The speed and shift lists of the catalogue, written as given ("name;value" entries, in order).
    void records(const QStringList& speeds, const QStringList& shifts) const
    {
        store::IniFile catalogue(clips() + QStringLiteral("Clip.ini"));
        store::IniFile::WriteBatch batch(catalogue);
        catalogue.eraseSection("SPEED");
        catalogue.eraseSection("SHIFT");
        catalogue.writeInteger("SUMMARY", "TOTAL_CLIPS", int(speeds.size()));
        catalogue.writeInteger("SUMMARY", "TOTAL_SHIFT_CLIPS", int(shifts.size()));
        for (int i = 0; i < speeds.size(); ++i)
            catalogue.writeString("SPEED", QStringLiteral("CLIP_%1").arg(i), speeds[i]);
        for (int i = 0; i < shifts.size(); ++i)
            catalogue.writeString("SHIFT", QStringLiteral("SHIFT_VALUE%1").arg(i), shifts[i]);
    }
};

// "01 10 32 00" and the like, upper case, bytes separated by single blanks.
inline QString hexOf(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

inline QByteArray bytesOf(const QString& hex)
{
    return QByteArray::fromHex(hex.toLatin1());
}
