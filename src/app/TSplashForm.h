#pragma once

#include <QWidget>

// The splash window: no border, on top, centred; about two seconds.
class TSplashForm : public QWidget {
    Q_OBJECT
public:
    explicit TSplashForm(QWidget* parent = nullptr);

    // The close handler: waits 1000 ms, repaints at once, waits 1000 ms; the
    // close then hides the splash.
    void FormClose();

    // How long each of the two waits lasts (tests shorten it).
    static int s_waitMs;

protected:
    void closeEvent(QCloseEvent* event) override;
};
