#include "store/Edition.h"
#include "store/Workspace.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QString path = store::invokedPath(QString::fromLocal8Bit(argv[0]));

    store::EditionParameters edition = store::deriveEdition(path);
    edition.versionLabel = store::programVersionLabel();
    const store::Workspace workspace =
        store::prepareWorkspace(store::documentsFolder(), edition.ledCount, edition.pictureWidth);

    QMainWindow window;
    window.setWindowTitle(store::mainWindowCaption(edition));
    window.setCentralWidget(new QLabel(workspace.rootFolder, &window));
    window.resize(792, 567);
    window.show();
    return QApplication::exec();
}
