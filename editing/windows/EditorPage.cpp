#include "editing/windows/EditorPage.h"

#include "editing/PictureClipboard.h"
#include "messages/MessageIds.h"
#include "messages/Prompter.h"
#include "windowkit/FileDrops.h"
#include "windowkit/WindowTexts.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QShortcut>
#include <QToolButton>

namespace editing {

namespace {

enum Glyph { Select, UndoArrow, RedoArrow, Pen, Eraser, Left, Up, Right, Down, CopyGlyph, CutGlyph, TextGlyph,
             ImportGlyph, OpenGlyph, NewGlyph, SpeedGlyph };

// The tool buttons' pictures, drawn rather than shipped: simple shapes in `ink` on a 24-unit square, with
// `paper` where a shape is filled light.
void drawGlyph(QPainter& p, int glyph, const QColor& ink, const QColor& paper)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ink, 2));
    const auto arrow = [&p, &ink](qreal angle) {
        p.translate(12, 12);
        p.rotate(angle);
        p.setBrush(ink);
        p.drawPolygon(QPolygonF{QPointF(-8, 0), QPointF(0, -7), QPointF(0, 7)});
        p.drawRect(QRectF(0, -2.5, 8, 5));
    };
    switch (glyph) {
    case Select:
        p.setPen(QPen(ink, 2, Qt::DashLine));
        p.drawRect(4, 4, 16, 16);
        break;
    case RedoArrow:
        p.translate(24, 0);
        p.scale(-1, 1); // the undo arrow, mirrored
        [[fallthrough]];
    case UndoArrow: {
        QPainterPath path;
        path.moveTo(6, 10);
        path.cubicTo(10, 3, 21, 5, 19, 14);
        path.lineTo(15, 19);
        p.drawPath(path);
        p.setBrush(ink);
        p.drawPolygon(QPolygonF{QPointF(3, 5), QPointF(9, 12), QPointF(2, 13)});
        break;
    }
    case Pen:
        p.drawLine(5, 19, 17, 7);
        p.drawLine(17, 7, 20, 10);
        p.drawLine(20, 10, 8, 22);
        p.drawLine(5, 19, 4, 21);
        break;
    case Eraser:
        p.setBrush(paper);
        p.translate(12, 12);
        p.rotate(-35);
        p.drawRect(-9, -5, 18, 10);
        p.setBrush(ink);
        p.drawRect(-9, -5, 7, 10);
        break;
    case Left: arrow(0); break;
    case Up: arrow(90); break;
    case Right: arrow(180); break;
    case Down: arrow(270); break;
    case CopyGlyph:
        p.drawRect(3, 3, 12, 12);
        p.setBrush(paper);
        p.drawRect(9, 9, 12, 12);
        break;
    case CutGlyph:
        p.drawEllipse(QPointF(7, 18), 3.5, 3.5);
        p.drawEllipse(QPointF(17, 18), 3.5, 3.5);
        p.drawLine(9, 15, 18, 3);
        p.drawLine(15, 15, 6, 3);
        break;
    case TextGlyph: {
        QFont font = p.font();
        font.setPixelSize(20);
        font.setBold(true);
        p.setFont(font);
        p.drawText(QRect(0, 0, 24, 24), Qt::AlignCenter, QStringLiteral("T"));
        break;
    }
    case ImportGlyph:
        p.drawRect(3, 12, 18, 9);
        p.drawLine(12, 2, 12, 14);
        p.drawLine(8, 10, 12, 14);
        p.drawLine(16, 10, 12, 14);
        break;
    case OpenGlyph:
        p.drawPolyline(QPolygonF{QPointF(2, 20), QPointF(2, 5), QPointF(9, 5), QPointF(11, 8), QPointF(20, 8),
                                 QPointF(20, 20), QPointF(2, 20)});
        break;
    case NewGlyph:
        p.drawPolyline(QPolygonF{QPointF(5, 2), QPointF(14, 2), QPointF(19, 7), QPointF(19, 22), QPointF(5, 22),
                                 QPointF(5, 2)});
        p.drawLine(14, 2, 14, 7);
        p.drawLine(14, 7, 19, 7);
        break;
    case SpeedGlyph: // a speed gauge, as on the Projects page
        p.drawArc(QRectF(3, 7, 18, 18), 0, 180 * 16);
        p.drawLine(QPointF(3, 16), QPointF(21, 16));
        p.drawLine(QPointF(12, 16), QPointF(17, 10));
        break;
    }
}

// Draws a glyph at any size in the colours of the palette the buttons use, so the tools stay sharp at any
// screen scale and readable on light and dark desktops alike.
class GlyphIconEngine : public QIconEngine {
public:
    explicit GlyphIconEngine(int glyph) : glyph_(glyph) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        const QPalette palette = QGuiApplication::palette();
        const QPalette::ColorGroup group = mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active;
        painter->save();
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 24.0, rect.height() / 24.0);
        drawGlyph(*painter, glyph_, palette.color(group, QPalette::ButtonText), palette.color(group, QPalette::Button));
        painter->restore();
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }
    QIconEngine* clone() const override { return new GlyphIconEngine(glyph_); }

private:
    int glyph_;
};

QIcon glyphIcon(int glyph)
{
    return QIcon(new GlyphIconEngine(glyph));
}

Qt::CursorShape cursorOf(PointerShape shape)
{
    switch (shape) {
    case PointerShape::Hand:
        return Qt::PointingHandCursor;
    case PointerShape::Drag:
        return Qt::DragMoveCursor;
    case PointerShape::Arrow:
        break;
    }
    return Qt::ArrowCursor;
}

} // namespace

EditorPage::EditorPage(Canvas& canvas, messages::Prompter& prompter, EditorDialogs& dialogs,
                       TextBlockSource& textEditor, const store::EditionParameters& edition,
                       const QString& rootFolder, const QString& clipsFolder, QWidget* parent)
    : QWidget(parent),
      model_(canvas, prompter),
      commands_(canvas, prompter, dialogs, edition, rootFolder, clipsFolder),
      prompter_(prompter),
      textEditor_(textEditor),
      edition_(edition)
{
    // The grid first, as the one control the form does not hold: it stays below and before the others.
    Image7 = new CanvasGridView(canvas, this);
    Image7->setObjectName(QStringLiteral("Image7"));
    Image7->move(8, 8);
    setupUi(this);
    windowkit::acceptFileDrops(*this, isImportable, [this](const QString& path) { importDropped(path); });

    const std::pair<QToolButton*, Glyph> glyphs[] = {
        {BitBtn18, Select},    {BitBtn19, UndoArrow}, {BitBtnRedo, RedoArrow}, {BitBtn20, Pen},
        {BitBtn21, Eraser},    {BitBtn22, Left},      {BitBtn23, Up},          {BitBtn24, Right},
        {BitBtn25, Down},      {BitBtn26, CopyGlyph}, {BitBtn27, CutGlyph},    {BitBtn28, TextGlyph},
        {BitBtn29, ImportGlyph}, {BitBtn32, OpenGlyph}, {BitBtn31, NewGlyph},  {BitBtn34, SpeedGlyph}};
    for (const auto& [button, glyph] : glyphs)
        button->setIcon(glyphIcon(glyph));
    // The main window applies them again whenever it shows or the language changes.
    windowkit::applyWindowTexts(*this);

    connectTools();
    addShortcuts();
}

void EditorPage::connectTools()
{
    using Direction = Canvas::Direction;
    connect(Image7, &CanvasGridView::pressed, this,
            [this](QPoint point, Qt::MouseButton button) { model_.press(point, button == Qt::LeftButton); });
    connect(Image7, &CanvasGridView::moved, &model_, &EditorModel::moveTo);
    connect(Image7, &CanvasGridView::released, this,
            [this](QPoint point, Qt::MouseButton button) { model_.release(point, button == Qt::LeftButton); });
    connect(Image7, &CanvasGridView::previewChanged, this, [this] { emit previewChanged(Image7->previewImage()); });
    connect(ScrollBar1, &QScrollBar::valueChanged, this, [this](int value) {
        model_.setScroll(value);
        setFocus();
    });
    connect(&model_, &EditorModel::changed, this, &EditorPage::showModel);

    connect(BitBtn18, &QToolButton::clicked, &model_, &EditorModel::chooseSelection);
    connect(BitBtn19, &QToolButton::clicked, &model_, &EditorModel::undo);
    connect(BitBtnRedo, &QToolButton::clicked, &model_, &EditorModel::redo);
    connect(BitBtn20, &QToolButton::clicked, &model_, &EditorModel::choosePencil);
    connect(BitBtn21, &QToolButton::clicked, &model_, &EditorModel::clear);
    connect(BitBtn22, &QToolButton::clicked, this, [this] { model_.move(Direction::Left); });
    connect(BitBtn23, &QToolButton::clicked, this, [this] { model_.move(Direction::Up); });
    connect(BitBtn24, &QToolButton::clicked, this, [this] { model_.move(Direction::Right); });
    connect(BitBtn25, &QToolButton::clicked, this, [this] { model_.move(Direction::Down); });
    connect(BitBtn26, &QToolButton::clicked, this, [this] { copyToClipboard(false); });
    connect(BitBtn27, &QToolButton::clicked, this, [this] { copyToClipboard(true); });
    connect(BitBtn28, &QToolButton::clicked, this, [this] { model_.text(textEditor_); });
    connect(BitBtn29, &QToolButton::clicked, this, [this] {
        commands_.importPicture();
        model_.start();
        setFileName(commands_.currentFile());
    });
    connect(BitBtn32, &QToolButton::clicked, this, [this] {
        commands_.openPicture();
        model_.start();
        setFileName(commands_.currentFile());
    });
    connect(BitBtn31, &QToolButton::clicked, this, [this] {
        commands_.newPicture();
        model_.start();
        setFileName(commands_.currentFile());
    });
    connect(BitBtn34, &QToolButton::clicked, this, [this] { commands_.setFlashingSpeed(); });
}

void EditorPage::addShortcuts()
{
    using Direction = Canvas::Direction;
    const auto add = [this](QKeySequence keys, auto action) {
        auto* shortcut = new QShortcut(keys, this, action);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    };
    add(QKeySequence::Undo, [this] { model_.undo(); });
    add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), [this] { model_.redo(); });
    add(QKeySequence(Qt::CTRL | Qt::Key_Y), [this] { model_.redo(); });
    add(QKeySequence::Copy, [this] { copyToClipboard(false); });
    add(QKeySequence::Cut, [this] { copyToClipboard(true); });
    add(QKeySequence::Paste, [this] { pasteFromClipboard(); });
    add(QKeySequence::Delete, [this] { model_.clear(); });
    add(QKeySequence::Save, [this] { emit saveRequested(); });
    add(QKeySequence(Qt::Key_Escape), [this] { model_.cancel(); });
    add(QKeySequence(Qt::Key_Left), [this] { model_.move(Direction::Left); });
    add(QKeySequence(Qt::Key_Up), [this] { model_.move(Direction::Up); });
    add(QKeySequence(Qt::Key_Right), [this] { model_.move(Direction::Right); });
    add(QKeySequence(Qt::Key_Down), [this] { model_.move(Direction::Down); });
}

void EditorPage::copyToClipboard(bool cut)
{
    if (model_.copy(cut))
        QGuiApplication::clipboard()->setMimeData(pictureMimeData(model_.copiedBlock()));
}

void EditorPage::pasteFromClipboard()
{
    const QImage picture = clipboardPicture(QGuiApplication::clipboard()->mimeData());
    if (const PasteStatus status = checkPastedPicture(picture); status != PasteStatus::Ok) {
        prompter_.tell(msg::ImportBannerTitle, messageId(status), messages::Icon::Stop);
        return;
    }
    const Canvas& canvas = model_.canvas();
    const PastedBlock block = pastedBlock(picture, QSize(canvas.width(), canvas.rows()));
    model_.paste(block.grid, {block.columns, block.rows});
}

void EditorPage::startEditor()
{
    Canvas& canvas = model_.canvas();
    canvas.SetGeometry(edition_.pictureWidth, edition_.ledCount);
    Image7->bind();
    canvas.Reset(edition_.maxBannerWidth, edition_.ledCount);
    ScrollBar1->setRange(0, canvas.maxScroll());
    ScrollBar1->setPageStep(canvas.visibleColumns());
    ScrollBar1->setValue(0);
    setFileName(QString());
    model_.start();
}

void EditorPage::activate()
{
    Image7->bind();
    model_.canvas().Render(Canvas::Target::Canvas, model_.scroll());
    setFocus();
}

void EditorPage::setFileName(const QString& path)
{
    commands_.setCurrentFile(path);
    Label43->setText(path);
}

void EditorPage::showModel()
{
    Image7->setFrame(model_.frame());
    const Overlay overlay = model_.overlay();
    Image7->setOverlay(overlay.visible, overlay.topLeft, overlay.size);
    const Selection selection = model_.selection();
    Label35->setText(QString::number(selection.x1));
    Label37->setText(QString::number(selection.y1));
    Label39->setText(QString::number(selection.x2));
    Label41->setText(QString::number(selection.y2));
    if (const auto cell = model_.pointerCell()) {
        Label46->setText(QString::number(cell->x()));
        Label48->setText(QString::number(cell->y()));
    }
    Image7->setCursor(cursorOf(model_.pointerShape()));
    BitBtn20->setEnabled(model_.pencilEnabled());
}

void EditorPage::importDropped(const QString& path)
{
    commands_.importDropped(path);
    model_.start();
    setFileName(commands_.currentFile());
}

} // namespace editing
