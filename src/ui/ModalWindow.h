#pragma once

#include <QDialog>

#include <memory>

// Creates a new window (its creation step runs inside the construction) and
// shows it modally; the window is destroyed when it closes. No instance is
// reused: every opening reads its data again.
template <class Window>
void ShowNewModal(QWidget* owner = nullptr)
{
    auto window = std::make_unique<Window>(owner);
    window->exec();
}
