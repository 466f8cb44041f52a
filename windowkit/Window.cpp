#include "windowkit/Window.h"

#include <QGuiApplication>
#include <QScreen>

namespace windowkit {

void centerOnScreen(QWidget& window)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}

Window::Window(QWidget* parent, Qt::WindowFlags flags) : FormBase<QWidget>(parent, flags) {}

Dialog::Dialog(QWidget* parent, Qt::WindowFlags flags) : FormBase<QDialog>(parent, flags) {}

} // namespace windowkit
