#include "windowkit/FileDrops.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace windowkit {
namespace {

class FileDropFilter : public QObject {
public:
    FileDropFilter(QWidget& target, FileTest accepts, std::function<void(const QString&)> dropped)
        : QObject(&target), accepts_(std::move(accepts)), dropped_(std::move(dropped))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (firstDroppedFile(drag->mimeData(), accepts_).isEmpty())
                return QObject::eventFilter(watched, event);
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString path = firstDroppedFile(drop->mimeData(), accepts_);
            if (path.isEmpty())
                return QObject::eventFilter(watched, event);
            drop->acceptProposedAction();
            dropped_(path);
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    FileTest accepts_;
    std::function<void(const QString&)> dropped_;
};

} // namespace

QString firstDroppedFile(const QMimeData* data, const FileTest& accepts)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && accepts(url.toLocalFile()))
            return url.toLocalFile();
    return {};
}

void acceptFileDrops(QWidget& target, FileTest accepts, std::function<void(const QString& path)> dropped)
{
    target.setAcceptDrops(true);
    target.installEventFilter(new FileDropFilter(target, std::move(accepts), std::move(dropped)));
}

} // namespace windowkit
