#include "einvoice/TFrmImporterFactureNumerique.h"

#include "einvoice/ClientRecords.h"
#include "einvoice/GridPrinting.h"
#include "einvoice/TFrmReportFactureNum.h"
#include "ui/BevelPanel.h"
#include "ui/Guard.h"
#include "ui/Look.h"
#include "ui/StringGrid.h"

#include <QPushButton>

namespace {

const int kColumnWidths[kClientFieldCount] = { 64, 172, 338, 87, 169 };
const char* const kColumnTitles[kClientFieldCount] = { "Num Client", "Nom", "Adresse", "Code postal", "Ville" };

} // namespace

TFrmImporterFactureNumerique::TFrmImporterFactureNumerique(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmImporterFactureNumerique"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    Look::SetupWindow(this, QStringLiteral("Client ayant opté pour la facture numérique"), 918, 703);
    move(524, 191);

    BtImprimerReport
        = Look::MakeButton(this, QStringLiteral("BtImprimerReport"), 421, 16, 75, 25, QStringLiteral("Imprimer"));
    BtImprimerGrille
        = Look::MakeButton(this, QStringLiteral("BtImprimerGrille"), 64, 24, 75, 25, QStringLiteral("Imprimer Grille"));
    BtImprimerGrille->hide(); // the grid print is there, not offered

    Panel1 = new BevelPanel(
        this, QStringLiteral("Panel1"), QRect(0, 61, 918, 642), BevelPanel::Bevel::Lowered, BevelPanel::Bevel::None);
    StringGrid1
        = new StringGrid(Panel1, QStringLiteral("StringGrid1"), QRect(24, 16, 857, 601), kClientFieldCount, 6, 24);
    StringGrid1->SetFixedRows(1);
    for (int col = 0; col < kClientFieldCount; ++col)
        StringGrid1->SetColWidth(col, kColumnWidths[col]);

    QWidget::setTabOrder(BtImprimerGrille, BtImprimerReport);
    QWidget::setTabOrder(BtImprimerReport, StringGrid1);

    connect(BtImprimerReport, &QPushButton::clicked, this, [this] { Guarded([this] { BtImprimerReportClick(); }); });
    connect(BtImprimerGrille, &QPushButton::clicked, this, [this] { Guarded([this] { BtImprimerGrilleClick(); }); });

    Guarded([this] { FormCreate(); });
}

void TFrmImporterFactureNumerique::FormCreate()
{
    const FieldList fields = FetchClientFields(); // a failed request leaves the grid untouched, titles included
    for (int col = 0; col < kClientFieldCount; ++col)
        StringGrid1->SetCell(col, 0, QString::fromLatin1(kColumnTitles[col]));
    StringGrid1->SetRowCount(int(fields.count() / kClientFieldCount) + 1);
    ForEachClientRecord(fields, [this](int row, const ClientRecord& client) {
        StringGrid1->SetCell(0, row, client.number);
        StringGrid1->SetCell(1, row, client.name);
        StringGrid1->SetCell(2, row, client.address);
        StringGrid1->SetCell(3, row, client.postalCode);
        StringGrid1->SetCell(4, row, client.city);
    });
}

void TFrmImporterFactureNumerique::BtImprimerReportClick()
{
    // The holder does its work, preview included, while it is created.
    TFrmReportFactureNum FrmReportFactureNum(this);
}

void TFrmImporterFactureNumerique::BtImprimerGrilleClick()
{
    PrintGrid(*StringGrid1, QStringLiteral("Client avec la facture numérique"));
}
