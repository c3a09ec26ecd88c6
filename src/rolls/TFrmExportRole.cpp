#include "rolls/TFrmExportRole.h"

#include "common/RunLock.h"
#include "common/RunOutcomes.h"

#include "data/QueryGridModel.h"
#include "data/TDmdMain.h"
#include "rolls/DBGrille.h"
#include "rolls/RollExportRun.h"
#include "ui/Gauge.h"
#include "ui/Guard.h"
#include "ui/Look.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

TFrmExportRole* FrmExportRole = nullptr;

namespace {

// Pending events are let through at most this often during a row walk: often
// enough that the window repaints and answers at once, rarely enough that
// event processing costs little next to building a row's statement.
constexpr qint64 kEventIntervalMs = 8;

QVector<GridColumn> rollColumns()
{
    return {
        { QStringLiteral("NumRole"), QStringLiteral("Num Role"), Qt::AlignHCenter, 70 },
        { QStringLiteral("DateFacture"), QStringLiteral("Date Facture"), Qt::AlignHCenter, 110 },
        { QStringLiteral("DateDebPériode"), QStringLiteral("Date Deb Période"), Qt::AlignHCenter, 110 },
        { QStringLiteral("DateFinPériode"), QStringLiteral("Date Fin Période"), Qt::AlignHCenter, 110 },
        { QStringLiteral("DatePaiement"), QStringLiteral("Date Paiement"), Qt::AlignHCenter, 110 },
        { QStringLiteral("TitreRole"), QStringLiteral("Titre Role"), Qt::AlignLeft, 220 },
    };
}

QFont boldFont()
{
    QFont font = Look::SansSerif8();
    font.setBold(true);
    return font;
}

// The export button is disabled and the window kept open for as long as a run goes on.
class RunningWindow {
public:
    RunningWindow(bool& running, QPushButton* button)
        : m_running(running)
        , m_button(button)
    {
        m_running = true;
        m_button->setEnabled(false);
    }
    ~RunningWindow()
    {
        m_button->setEnabled(true);
        m_running = false;
    }
    RunningWindow(const RunningWindow&) = delete;
    RunningWindow& operator=(const RunningWindow&) = delete;

private:
    bool& m_running;
    QPushButton* m_button;
};

} // namespace

TFrmExportRole::TFrmExportRole(QWidget* parent)
    : QDialog(parent)
    , Queries(DmdMain->ADOConnection)
{
    setObjectName(QStringLiteral("FrmExportRole"));
    FrmExportRole = this;
    Look::SetupWindow(this, QStringLiteral("Selectionner les rôles"), 755, 448);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    DataSource1 = new QueryGridModel(&Queries.QueryRole, rollColumns(), this);
    DataSource1->setObjectName(QStringLiteral("DataSource1"));
    DBGrille = new ::DBGrille(this, DataSource1);
    DBGrille->setGeometry(0, 0, 755, 241);
    DBGrille->setToolTip(QStringLiteral("Pour séléctionner plusieurs rôles , appuyez sur la touche  Ctrl"));
    QPalette titles = DBGrille->horizontalHeader()->palette();
    titles.setColor(QPalette::ButtonText, Look::Desktop());
    DBGrille->horizontalHeader()->setPalette(titles);
    DBGrille->SetDrawColumnCell([this](QPainter* painter, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) { DBGrilleDrawColumnCell(painter, option, index); });

    BtExporter = Look::MakeButton(
        this, QStringLiteral("BtExporter"), 232, 264, 145, 33, QStringLiteral("Envoyer vers le portail famille"));
    Look::WidenAroundCaption(BtExporter);
    LabelGauge = Look::MakeLabel(this, QStringLiteral("LabelGauge"), 416, 240, QString(), boldFont());
    LabelGauge->hide();
    Gauge = new ::Gauge(this, QStringLiteral("Gauge"), QRect(416, 264, 225, 41));
    Gauge->SetProgress(0);
    Gauge->hide();
    LabelErreur = Look::MakeLabel(
        this, QStringLiteral("LabelErreur"), 8, 280, QStringLiteral("Erreurs lors de l'importation :"), boldFont());
    LabelErreur->hide();
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 312, 673, 121);
    Memo1->setReadOnly(true);
    Memo1->hide();

    // The export button comes first in the tab order.
    QWidget::setTabOrder(BtExporter, DBGrille);
    BtExporter->setFocus();

    connect(&Queries.QueryRole, &AdoQuery::CurrentRowChanged, DBGrille, &::DBGrille::FollowRow);
    connect(BtExporter, &QPushButton::clicked, this, [this] { Guarded([this] { BtExporterClick(); }); });

    Guarded([this] { FormCreate(); });
}

TFrmExportRole::~TFrmExportRole()
{
    if (FrmExportRole == this)
        FrmExportRole = nullptr;
}

void TFrmExportRole::FormCreate()
{
    Queries.OpenAllRolls();
    DBGrille->FollowRow(Queries.QueryRole.Bookmark());
}

void TFrmExportRole::BtExporterClick()
{
    if (m_running)
        return;
    RunningWindow running(m_running, BtExporter);
    const RunLock lock(kRollExportJob);
    const QDateTime started = QDateTime::currentDateTime();
    ExportSelectedRolls(Queries, DBGrille->SelectedRows(), *this);
    // A success from the window clears the main window's notice of a failed scheduled run.
    RunOutcomes::Store(RunOutcomes::Job::RollExport, RunOutcomes::Origin::Window, started, true, QString());
}

void TFrmExportRole::DBGrilleDrawColumnCell(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (!DBGrille->RowSelected(index.row()))
        return;
    QStyleOptionViewItem selected(option);
    selected.state |= QStyle::State_Selected;
    selected.palette.setColor(QPalette::Highlight, Look::ActiveCaption());
    selected.palette.setColor(QPalette::HighlightedText, Qt::black);
    DBGrille->DefaultDrawColumnCell(painter, selected, index);
}

void TFrmExportRole::reject()
{
    if (!m_running)
        QDialog::reject();
}

void TFrmExportRole::closeEvent(QCloseEvent* event)
{
    if (m_running)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void TFrmExportRole::ProgressStart(int maximum, const QString& text)
{
    Gauge->show();
    Gauge->SetProgress(0);
    Gauge->SetMaxValue(maximum);
    LabelGauge->setText(text);
    LabelGauge->adjustSize();
    LabelGauge->show();
    m_sinceEvents.invalidate(); // the first row lets the new texts show
}

void TFrmExportRole::ProgressStep(int rowNumber)
{
    if (!m_sinceEvents.isValid() || m_sinceEvents.hasExpired(kEventIntervalMs)) {
        QCoreApplication::processEvents();
        m_sinceEvents.start();
    }
    Gauge->SetProgress(rowNumber);
}

void TFrmExportRole::ProgressEnd()
{
    Gauge->hide();
    LabelGauge->hide();
}

void TFrmExportRole::AppendReply(const QString& reply)
{
    m_errorList.Append(reply);
    Memo1->setPlainText(m_errorList.Text());
    Memo1->moveCursor(QTextCursor::End);
}

void TFrmExportRole::ShowErrorList()
{
    Memo1->show();
    LabelErreur->show();
}
