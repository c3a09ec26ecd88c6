#pragma once

#include <QWidget>

class QPushButton;

// The main window: the system's three actions, each a framed panel with a
// caption, a picture and one button that opens its window modally.
class TFrmMain : public QWidget {
    Q_OBJECT
public:
    explicit TFrmMain(QWidget* parent = nullptr);

    void FormCreate();
    void BtRoleClick();
    void BtImporterClick();
    void BtFactureNumClick();

    QPushButton* BtRole;
    QPushButton* BtImporter;
    QPushButton* BtFactureNum;

protected:
    void showEvent(QShowEvent* event) override;
};

// The program's main window, set while it exists.
extern TFrmMain* FrmMain;
