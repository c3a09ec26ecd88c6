#pragma once

#include <QDialog>

class BevelPanel;
class QPushButton;
class StringGrid;

// The clients who chose the digital invoice, as the portal lists them: one
// client per grid row, fetched when the window is created. "Imprimer" opens
// the client list report; the hidden "Imprimer Grille" prints the grid itself.
class TFrmImporterFactureNumerique : public QDialog {
    Q_OBJECT
public:
    explicit TFrmImporterFactureNumerique(QWidget* parent = nullptr);

    void FormCreate();
    void BtImprimerReportClick();
    void BtImprimerGrilleClick();

    QPushButton* BtImprimerReport;
    QPushButton* BtImprimerGrille;
    BevelPanel* Panel1;
    StringGrid* StringGrid1;
};
