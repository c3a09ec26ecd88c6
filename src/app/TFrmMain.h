#pragma once

#include <QWidget>

class QLabel;
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
    // Below the panels while a scheduled run has failed or a job is overdue.
    QLabel* LabelEtat;

    // Reads the record of the runs and shows what the operator must know, or nothing.
    void ShowRunNotices();

protected:
    void showEvent(QShowEvent* event) override;
};

// The program's main window, set while it exists.
extern TFrmMain* FrmMain;
