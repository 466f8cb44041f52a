#pragma once

#include "windowkit/CaptionFit.h"
#include "windowkit/WindowTexts.h"

#include <QCloseEvent>
#include <QDialog>
#include <QEvent>
#include <QShowEvent>
#include <QWidget>

// The skeleton every window of the program shares: a show handler that runs each time the program shows the
// window (not when the window system shows it again after it was minimised), a close handler that may refuse,
// and a `closed` signal through which the windows that care learn of it. The catalogue texts its controls name
// (windowkit/WindowTexts.h) are applied before each show handler and again on every language change. Windows
// never reach each other directly; whoever makes them connects their signals.
namespace windowkit {

// Puts the window in the middle of the primary screen's free area.
void centerOnScreen(QWidget& window);

template <class Base>
class FormBase : public Base {
public:
    using Base::Base;

protected:
    // Runs when the program shows the window, after it became visible.
    virtual void FormShow() {}
    // Asked before the window closes; false keeps it open (a transfer is running, say).
    virtual bool FormCloseQuery() { return true; }
    // Runs when the window closes, before `closed` is emitted.
    virtual void FormClose() {}
    // Emits the subclass's `closed` signal.
    virtual void notifyClosed() = 0;
    // Runs after the catalogue texts were applied: texts made from the window's state, or fitted together.
    virtual void textsApplied() {}

    void applyCatalogueTexts()
    {
        applyWindowTexts(*this);
        textsApplied();
    }

    void showEvent(QShowEvent* event) override
    {
        Base::showEvent(event);
        if (event->spontaneous())
            return;
        applyCatalogueTexts();
        FormShow();
        fitTexts(*this);
    }

    void changeEvent(QEvent* event) override
    {
        Base::changeEvent(event);
        if (event->type() == QEvent::LanguageChange) {
            applyCatalogueTexts();
            fitTexts(*this);
        }
    }

    void closeEvent(QCloseEvent* event) override
    {
        if (!FormCloseQuery()) {
            event->ignore();
            return;
        }
        FormClose();
        Base::closeEvent(event);
        notifyClosed();
    }
};

// A top-level window.
class Window : public FormBase<QWidget> {
    Q_OBJECT

public:
    explicit Window(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::Window);

signals:
    // The window closed (its close handler ran).
    void closed();

protected:
    void notifyClosed() override { emit closed(); }
};

// A dialog. `closed` is emitted when its close box closes it; accept() and reject() end it as QDialog does.
class Dialog : public FormBase<QDialog> {
    Q_OBJECT

public:
    explicit Dialog(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

signals:
    void closed();

protected:
    void notifyClosed() override { emit closed(); }
};

// The title bar the program's fixed-size windows and dialogs use: title, system menu and close box.
constexpr Qt::WindowFlags kFixedWindowFlags =
    Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

} // namespace windowkit
