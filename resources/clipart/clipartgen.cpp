// Makes the built-in clipart: reads the drawing sources (*.clip) and writes one one-bit BMP per picture and LED
// height, an index of groups, pictures and animations, and a resource list for rcc. With --sheet it draws a
// contact sheet of one height as a PNG instead, for looking at the drawings.
//
// A drawing is a list of shapes in a 100 x 100 square (x to the right, y down) painted black on white at each
// height, the square filling the picture's height and centred in its width, and then cut to one bit by the
// compiler's rule: a pixel whose grey level is at most 155 is lit. A picture may instead give, for one height,
// its own rows of "#" (lit) and "." (unlit) where the painted shapes would blur. The source format:
//
//   group KEY                      the pictures that follow belong to this group
//   pic NAME                       starts a picture (names are unique, lower case, no extension)
//   disc CX CY R                   filled circle          ellipse CX CY RX RY   filled ellipse
//   ring CX CY R W                 circle outline, pen W  rect X Y W H          filled rectangle
//   frame X Y W H PEN              rectangle outline      poly X Y X Y ...      filled polygon
//   line PEN X Y X Y ...           stroked line through the points, round ends
//   arc CX CY R PEN START SPAN     stroked arc, degrees counter-clockwise from three o'clock
//   pie CX CY R START SPAN         filled slice
//   star CX CY N ROUT RIN ROT      filled star of N points, first point ROT degrees from straight up
//   wave Y AMP PERIODS PHASE PEN   a sine line across the square, phase in degrees
//   white / black                  ink of the shapes that follow (white cuts holes)
//   like NAME [rot D] [flipx] [flipy] [scale S] [move DX DY]   another picture's shapes, turned about the centre
//   rows H                         the next H lines are this picture's own rows for height H
//   anim NAME INTERVAL FRAME...    a movie group of pictures, INTERVAL in 0.1 s steps
//   # ...                          a comment (a line starting with "#" outside rows)
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <QtMath>

#include <cstdio>

namespace {

const int kHeights[] = {11, 16, 24, 32, 48};
constexpr int kLitGreyMax = 155;

int pictureWidthFor(int height)
{
    return height == 11 ? 16 : height;
}

struct Picture {
    QString name;
    QString group;
    QStringList ops;                  // shape lines as written
    QMap<int, QStringList> ownRows;   // height -> rows of '#' and '.'
};

struct Animation {
    QString name;
    int interval = 2;
    QStringList frames;
};

struct Library {
    QList<Picture> pictures;
    QMap<QString, int> byName;
    QList<Animation> animations;
    QStringList groups;
};

[[noreturn]] void fail(const QString& text)
{
    std::fprintf(stderr, "clipartgen: %s\n", qPrintable(text));
    std::exit(1);
}

void readSource(const QString& path, Library& library)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        fail(QStringLiteral("cannot read ") + path);
    QTextStream in(&file);
    QString group;
    int lineNumber = 0;
    auto where = [&] { return path + QLatin1Char(':') + QString::number(lineNumber) + QStringLiteral(": "); };
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        ++lineNumber;
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QString& verb = words.first();
        if (verb == QLatin1String("group")) {
            group = words.value(1);
            if (!library.groups.contains(group))
                library.groups << group;
        } else if (verb == QLatin1String("pic")) {
            const QString name = words.value(1);
            if (name.isEmpty() || library.byName.contains(name))
                fail(where() + QStringLiteral("missing or repeated picture name ") + name);
            if (group.isEmpty())
                fail(where() + QStringLiteral("picture outside a group"));
            library.byName.insert(name, library.pictures.size());
            library.pictures.append({name, group, {}, {}});
        } else if (verb == QLatin1String("anim")) {
            if (words.size() < 4)
                fail(where() + QStringLiteral("anim NAME INTERVAL FRAME..."));
            library.animations.append({words[1], words[2].toInt(), words.mid(3)});
        } else if (library.pictures.isEmpty()) {
            fail(where() + QStringLiteral("shape outside a picture"));
        } else if (verb == QLatin1String("rows")) {
            const int height = words.value(1).toInt();
            QStringList rows;
            for (int r = 0; r < height && !in.atEnd(); ++r) {
                rows << in.readLine().trimmed();
                ++lineNumber;
            }
            if (rows.size() != height)
                fail(where() + QStringLiteral("too few rows"));
            library.pictures.last().ownRows.insert(height, rows);
        } else {
            library.pictures.last().ops << line;
        }
    }
}

QList<qreal> numbers(const QStringList& words, int from)
{
    QList<qreal> values;
    for (int i = from; i < words.size(); ++i) {
        bool ok = false;
        values << words[i].toDouble(&ok);
        if (!ok)
            fail(QStringLiteral("not a number: ") + words.join(QLatin1Char(' ')));
    }
    return values;
}

QPolygonF points(const QList<qreal>& v, int from)
{
    QPolygonF polygon;
    for (int i = from; i + 1 < v.size(); i += 2)
        polygon << QPointF(v[i], v[i + 1]);
    return polygon;
}

class Painter {
public:
    Painter(QPainter& painter, const Library& library, qreal minPen)
        : painter_(painter), library_(library), minPen_(minPen) {}

    void paint(const Picture& picture, const QTransform& transform, int depth = 0)
    {
        if (depth > 8)
            fail(QStringLiteral("pictures include each other: ") + picture.name);
        QColor ink = Qt::black;
        for (const QString& op : picture.ops) {
            const QStringList w = op.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            const QString& verb = w.first();
            if (verb == QLatin1String("white") || verb == QLatin1String("black")) {
                ink = verb == QLatin1String("white") ? Qt::white : Qt::black;
                continue;
            }
            if (verb == QLatin1String("like")) {
                paintLike(w, transform, depth);
                continue;
            }
            painter_.setTransform(transform * base_);
            shape(verb, numbers(w, 1), ink, op);
        }
    }

    void setBase(const QTransform& base) { base_ = base; }

private:
    void paintLike(const QStringList& w, const QTransform& outer, int depth)
    {
        const auto found = library_.byName.find(w.value(1));
        if (found == library_.byName.end())
            fail(QStringLiteral("unknown picture in like: ") + w.value(1));
        QTransform local;
        for (int i = 2; i < w.size(); ++i) {
            QTransform step;
            step.translate(50, 50);
            if (w[i] == QLatin1String("rot"))
                step.rotate(w.value(++i).toDouble());
            else if (w[i] == QLatin1String("flipx"))
                step.scale(-1, 1);
            else if (w[i] == QLatin1String("flipy"))
                step.scale(1, -1);
            else if (w[i] == QLatin1String("scale")) {
                const qreal s = w.value(++i).toDouble();
                step.scale(s, s);
            } else if (w[i] == QLatin1String("move")) {
                const qreal dx = w.value(++i).toDouble();
                step.translate(dx, w.value(++i).toDouble());
            } else
                fail(QStringLiteral("unknown like option ") + w[i]);
            step.translate(-50, -50);
            local = local * step;
        }
        paint(library_.pictures[*found], local * outer, depth + 1);
    }

    void pen(qreal width, const QColor& ink)
    {
        QPen p(ink, qMax(width, minPen_), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter_.setPen(p);
        painter_.setBrush(Qt::NoBrush);
    }

    void fill(const QColor& ink)
    {
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(ink);
    }

    void shape(const QString& verb, const QList<qreal>& v, const QColor& ink, const QString& op)
    {
        auto need = [&](int n) {
            if (v.size() < n)
                fail(QStringLiteral("too few values: ") + op);
        };
        if (verb == QLatin1String("disc")) {
            need(3);
            fill(ink);
            painter_.drawEllipse(QPointF(v[0], v[1]), v[2], v[2]);
        } else if (verb == QLatin1String("ellipse")) {
            need(4);
            fill(ink);
            painter_.drawEllipse(QPointF(v[0], v[1]), v[2], v[3]);
        } else if (verb == QLatin1String("ring")) {
            need(4);
            pen(v[3], ink);
            painter_.drawEllipse(QPointF(v[0], v[1]), v[2], v[2]);
        } else if (verb == QLatin1String("rect")) {
            need(4);
            fill(ink);
            painter_.drawRect(QRectF(v[0], v[1], v[2], v[3]));
        } else if (verb == QLatin1String("frame")) {
            need(5);
            pen(v[4], ink);
            painter_.drawRect(QRectF(v[0], v[1], v[2], v[3]));
        } else if (verb == QLatin1String("poly")) {
            need(6);
            fill(ink);
            painter_.drawPolygon(points(v, 0));
        } else if (verb == QLatin1String("line")) {
            need(5);
            pen(v[0], ink);
            const QPolygonF line = points(v, 1);
            painter_.drawPolyline(line);
        } else if (verb == QLatin1String("arc")) {
            need(6);
            pen(v[3], ink);
            painter_.drawArc(QRectF(v[0] - v[2], v[1] - v[2], 2 * v[2], 2 * v[2]), qRound(v[4] * 16),
                             qRound(v[5] * 16));
        } else if (verb == QLatin1String("pie")) {
            need(5);
            fill(ink);
            painter_.drawPie(QRectF(v[0] - v[2], v[1] - v[2], 2 * v[2], 2 * v[2]), qRound(v[3] * 16),
                             qRound(v[4] * 16));
        } else if (verb == QLatin1String("star")) {
            need(6);
            fill(ink);
            QPolygonF star;
            const int n = qMax(2, int(v[2]));
            for (int i = 0; i < 2 * n; ++i) {
                const qreal radius = i % 2 ? v[4] : v[3];
                const qreal angle = qDegreesToRadians(v[5] + i * 180.0 / n);
                star << QPointF(v[0] + radius * qSin(angle), v[1] - radius * qCos(angle));
            }
            painter_.drawPolygon(star);
        } else if (verb == QLatin1String("wave")) {
            need(5);
            pen(v[4], ink);
            QPolygonF line;
            for (int x = 0; x <= 100; x += 2)
                line << QPointF(x, v[0] + v[1] * qSin(qDegreesToRadians(v[3]) + x / 100.0 * v[2] * 2 * M_PI));
            painter_.drawPolyline(line);
        } else {
            fail(QStringLiteral("unknown shape: ") + op);
        }
    }

    QPainter& painter_;
    const Library& library_;
    qreal minPen_;
    QTransform base_;
};

// A picture of the edition's size, black on white, one bit per pixel.
QImage render(const Library& library, const Picture& picture, int height)
{
    const int width = pictureWidthFor(height);
    QImage mono(width, height, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.fill(1);
    const auto own = picture.ownRows.find(height);
    if (own != picture.ownRows.end()) {
        for (int y = 0; y < height; ++y) {
            const QString& row = (*own)[y];
            if (row.size() > width)
                fail(picture.name + QStringLiteral(": a row wider than ") + QString::number(width));
            const int left = (width - row.size()) / 2;
            for (int x = 0; x < row.size(); ++x)
                if (row[x] == QLatin1Char('#'))
                    mono.setPixel(left + x, y, 0);
        }
        return mono;
    }
    QImage grey(width, height, QImage::Format_RGB32);
    grey.fill(Qt::white);
    {
        QPainter painter(&grey);
        painter.setRenderHint(QPainter::Antialiasing);
        QTransform base;
        base.translate((width - height) / 2, 0);
        base.scale(height / 100.0, height / 100.0);
        Painter shapes(painter, library, 100.0 / height);
        shapes.setBase(base);
        shapes.paint(picture, QTransform());
    }
    for (int y = 0; y < height; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(grey.constScanLine(y));
        for (int x = 0; x < width; ++x)
            if (qRed(line[x]) <= kLitGreyMax)
                mono.setPixel(x, y, 0);
    }
    return mono;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        fail(QStringLiteral("cannot write ") + path);
}

void writeLibrary(const Library& library, const QString& outFolder)
{
    QByteArray index;
    QByteArray qrc = "<RCC>\n<qresource prefix=\"/clipart\">\n<file>index.tsv</file>\n";
    for (int height : kHeights) {
        const QString folder = outFolder + QLatin1Char('/') + QString::number(height);
        QDir().mkpath(folder);
        for (const Picture& picture : library.pictures) {
            const QString relative = QString::number(height) + QLatin1Char('/') + picture.name + QStringLiteral(".bmp");
            if (!render(library, picture, height).save(outFolder + QLatin1Char('/') + relative, "BMP"))
                fail(QStringLiteral("cannot write ") + relative);
            qrc += "<file>" + relative.toUtf8() + "</file>\n";
        }
    }
    for (const Picture& picture : library.pictures)
        index += "pic\t" + picture.group.toUtf8() + '\t' + picture.name.toUtf8() + '\n';
    for (const Animation& animation : library.animations) {
        for (const QString& frame : animation.frames)
            if (!library.byName.contains(frame))
                fail(animation.name + QStringLiteral(": unknown frame ") + frame);
        index += "anim\t" + QByteArray::number(animation.interval) + '\t' + animation.name.toUtf8() + '\t' +
                 animation.frames.join(QLatin1Char(' ')).toUtf8() + '\n';
    }
    qrc += "</qresource>\n</RCC>\n";
    writeFile(outFolder + QStringLiteral("/index.tsv"), index);
    writeFile(outFolder + QStringLiteral("/clipart.qrc"), qrc);
}

// Every picture of one height, enlarged, in rows by group: for looking at the drawings.
void writeSheet(const Library& library, int height, const QString& path)
{
    const int width = pictureWidthFor(height);
    const int zoom = height <= 16 ? 4 : height <= 32 ? 2 : 1;
    const int cellW = width * zoom + 6, cellH = height * zoom + 6, columns = 16;
    int rows = 0;
    for (const QString& group : library.groups) {
        int count = 0;
        for (const Picture& picture : library.pictures)
            count += picture.group == group;
        rows += (count + columns - 1) / columns;
    }
    QImage sheet(columns * cellW + 4, rows * cellH + 4, QImage::Format_RGB32);
    sheet.fill(QColor(20, 20, 28));
    QPainter painter(&sheet);
    int row = 0;
    for (const QString& group : library.groups) {
        int column = 0;
        for (const Picture& picture : library.pictures) {
            if (picture.group != group)
                continue;
            if (column == columns) {
                column = 0;
                ++row;
            }
            const QImage image = render(library, picture, height);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    painter.fillRect(4 + column * cellW + x * zoom, 4 + row * cellH + y * zoom, zoom - (zoom > 2),
                                     zoom - (zoom > 2),
                                     image.pixelIndex(x, y) == 0 ? QColor(255, 60, 40) : QColor(45, 45, 58));
            ++column;
        }
        ++row;
    }
    painter.end();
    if (!sheet.save(path, "PNG"))
        fail(QStringLiteral("cannot write ") + path);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: clipartgen SOURCE_FOLDER OUT_FOLDER\n"
                             "       clipartgen SOURCE_FOLDER --sheet HEIGHT OUT.png\n");
        return 2;
    }
    Library library;
    const QDir sources(QString::fromLocal8Bit(argv[1]));
    for (const QString& name : sources.entryList({QStringLiteral("*.clip")}, QDir::Files, QDir::Name))
        readSource(sources.filePath(name), library);
    if (library.pictures.isEmpty())
        fail(QStringLiteral("no pictures in ") + sources.path());
    if (QByteArray(argv[2]) == "--sheet" && argc == 5)
        writeSheet(library, QByteArray(argv[3]).toInt(), QString::fromLocal8Bit(argv[4]));
    else
        writeLibrary(library, QString::fromLocal8Bit(argv[2]));
    return 0;
}
