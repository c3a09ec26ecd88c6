#include "payments/TFrmSynchroniserPaiement.h"

#include "common/RunLock.h"
#include "common/RunOutcomes.h"

#include "data/AdoQuery.h"
#include "data/TDmdMain.h"
#include "payments/LastRunDates.h"
#include "payments/PaymentExport.h"
#include "payments/PaymentImport.h"
#include "ui/BevelPanel.h"
#include "ui/Gauge.h"
#include "ui/Guard.h"
#include "ui/Look.h"
#include "ui/Pictures.h"

#include <QDateEdit>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTextCursor>

TFrmSynchroniserPaiement* FrmSynchroniserPaiement = nullptr;

namespace {

const QString kDatePickerFormat = QStringLiteral("dd-MM-yyyy");

QDateEdit* makeDatePicker(QWidget* parent, const QString& name, const QRect& geometry)
{
    auto* picker = new QDateEdit(parent);
    picker->setObjectName(name);
    picker->setGeometry(geometry);
    picker->setCalendarPopup(true);
    return picker;
}

void setLabelText(QLabel* label, const QString& text)
{
    label->setText(text);
    label->adjustSize();
}

} // namespace

TFrmSynchroniserPaiement::TFrmSynchroniserPaiement(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmSynchroniserPaiement"));
    FrmSynchroniserPaiement = this;
    // An outer size of 782 × 527 with a 4-pixel frame and a 26-pixel caption bar.
    Look::SetupWindow(
        this, QStringLiteral("Synchronisation des paiements entre le portail famille et KORVA8"), 774, 493);
    move(589, 265);
    createControls();

    QueryDeleteEncaissement = new AdoQuery(QStringLiteral("QueryDeleteEncaissement"), DmdMain->ADOConnection, this);
    QueryInsertEncaissement = new AdoQuery(QStringLiteral("QueryInsertEncaissement"), DmdMain->ADOConnection, this);
    QueryIDEncaissement = new AdoQuery(QStringLiteral("QueryIDEncaissement"), DmdMain->ADOConnection, this);
    QueryEncaissement = new AdoQuery(QStringLiteral("QueryEncaissement"), DmdMain->ADOConnection, this);

    connect(BtSynchroniser, &QPushButton::clicked, this, [this] { Guarded([this] { BtSynchroniserClick(); }); });
    Guarded([this] { FormCreate(); });
}

TFrmSynchroniserPaiement::~TFrmSynchroniserPaiement()
{
    if (FrmSynchroniserPaiement == this)
        FrmSynchroniserPaiement = nullptr;
}

void TFrmSynchroniserPaiement::createControls()
{
    const QFont font = Look::SansSerif8();
    QFont bold = font;
    bold.setBold(true);

    LabelDetail
        = Look::MakeLabel(this, QStringLiteral("LabelDetail"), 32, 130, QStringLiteral("Détail des opérations"), font);
    LabelDetail->hide();
    Gauge = new ::Gauge(this, QStringLiteral("Gauge"), QRect(288, 243, 225, 41));
    Gauge->SetProgress(0);
    Gauge->hide();
    LabelGauge = Look::MakeLabel(this, QStringLiteral("LabelGauge"), 336, 136, QStringLiteral("LabelGauge"), font);
    LabelGauge->hide();

    Panel1 = new BevelPanel(
        this, QStringLiteral("Panel1"), QRect(24, 8, 704, 97), BevelPanel::Bevel::Lowered, BevelPanel::Bevel::Lowered);
    Label2 = Look::MakeLabel(
        Panel1, QStringLiteral("Label2"), 40, 8, QStringLiteral("Synchroniser les paiements à partir du "), bold);
    DatePaiementImport = makeDatePicker(Panel1, QStringLiteral("DatePaiementImport"), QRect(264, 4, 186, 21));
    LabelImport = Look::MakeLabel(Panel1, QStringLiteral("LabelImport"), 40, 40, QString(), font);
    BtSynchroniser
        = Look::MakeButton(Panel1, QStringLiteral("BtSynchroniser"), 328, 56, 75, 25, QStringLiteral("Synchroniser"));
    Image1 = Pictures::MakePictureBox(
        Panel1, QStringLiteral("Image1"), QRect(488, 8, 209, 81), Pictures::IllustrationPaiements());
    DatePaiementExport = makeDatePicker(Panel1, QStringLiteral("DatePaiementExport"), QRect(32, 68, 186, 21));
    DatePaiementExport->hide();
    LabelExport = Look::MakeLabel(Panel1, QStringLiteral("LabelExport"), 232, 76, QString(), font);
    LabelExport->hide();

    // A plain text box still carries bold and plain runs, and lays out only
    // the lines it shows: a rich text box laid out the whole account, ten
    // thousand lines for a large synchronisation, whatever was on screen.
    RichDetail = new QPlainTextEdit(this);
    RichDetail->setObjectName(QStringLiteral("RichDetail"));
    RichDetail->setGeometry(32, 152, 665, 281);
    RichDetail->setReadOnly(true);
    RichDetail->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichDetail->setUndoRedoEnabled(false);
    // The account is plain Latin text: laying it out needs no shaping engine,
    // which would otherwise take most of a long run's time.
    QFont detailFont = RichDetail->font();
    detailFont.setStyleStrategy(QFont::PreferNoShaping);
    RichDetail->setFont(detailFont);
    RichDetail->hide();
    m_detail.emplace(RichDetail);
    connect(Gauge, &::Gauge::aboutToRepaint, this, [this] { bringDetailUpToDate(); });
}

void TFrmSynchroniserPaiement::FormCreate()
{
    for (QDateEdit* picker : { DatePaiementImport, DatePaiementExport }) {
        picker->setDate(QDate::currentDate());
        picker->setDisplayFormat(kDatePickerFormat);
    }
    setLabelText(LabelImport, LastRunLabel(ReadLastRun(kLastImport)));
    setLabelText(LabelExport, LastRunLabel(ReadLastRun(kLastExport)));
}

void TFrmSynchroniserPaiement::BtSynchroniserClick()
{
    const RunLock lock(kSynchronisationJob);
    const QDateTime started = QDateTime::currentDateTime();
    BtImporterClick();
    BtExporterClick();
    // A success from the window clears the main window's notice of a failed scheduled run.
    RunOutcomes::Store(RunOutcomes::Job::Synchronisation, RunOutcomes::Origin::Window, started, true, QString());
}

template <class Run> void TFrmSynchroniserPaiement::runWithDetail(Run&& run)
{
    const auto flush = qScopeGuard([this] { m_detail->Flush(); });
    run();
}

void TFrmSynchroniserPaiement::BtImporterClick()
{
    DatePaiementExport->setDate(DatePaiementImport->date());
    runWithDetail([this] {
        PaymentImport(
            *DmdMain->ADOConnection, *QueryDeleteEncaissement, *QueryInsertEncaissement, *QueryIDEncaissement, *this)
            .Run(DatePaiementExport->date());
    });
}

void TFrmSynchroniserPaiement::BtExporterClick()
{
    runWithDetail([this] { PaymentExport(*QueryEncaissement, *this).Run(DatePaiementExport->date()); });
}

void TFrmSynchroniserPaiement::bringDetailUpToDate()
{
    if (RichDetail->isVisible())
        m_detail->Flush();
}

void TFrmSynchroniserPaiement::ShowStep(const QString& text)
{
    setLabelText(LabelGauge, text);
    LabelGauge->show();
    bringDetailUpToDate();
    repaint();
}

void TFrmSynchroniserPaiement::StartGauge(qint64 maximum)
{
    Gauge->SetProgress(0);
    Gauge->SetMaxValue(maximum);
    if (!Gauge->isVisible()) {
        Gauge->show();
        bringDetailUpToDate();
        Gauge->repaint();
    }
}

void TFrmSynchroniserPaiement::AdvanceGauge(qint64 step)
{
    Gauge->AddProgress(step);
}

void TFrmSynchroniserPaiement::HideProgress()
{
    Gauge->hide();
    LabelGauge->hide();
}

void TFrmSynchroniserPaiement::MoveDetailCaretToEnd()
{
    m_detail->MoveCaretToEnd();
}

void TFrmSynchroniserPaiement::InsertDetail(const QString& text, bool bold)
{
    m_detail->Insert(text, bold);
}

void TFrmSynchroniserPaiement::ShowDetail()
{
    RichDetail->show();
    LabelDetail->show();
}

void TFrmSynchroniserPaiement::SetImportLabel(const QString& text)
{
    setLabelText(LabelImport, text);
}

void TFrmSynchroniserPaiement::SetExportLabel(const QString& text)
{
    setLabelText(LabelExport, text);
}
