#include "app/TFrmMain.h"

#include "common/RunOutcomes.h"
#include "data/AdoConnection.h"
#include "data/TDmdMain.h"
#include "einvoice/TFrmImporterFactureNumerique.h"
#include "payments/TFrmSynchroniserPaiement.h"
#include "rolls/TFrmExportRole.h"
#include "ui/BevelPanel.h"
#include "ui/Guard.h"
#include "ui/Look.h"
#include "ui/ModalWindow.h"
#include "ui/Pictures.h"
#include "ui/ScreenPlacement.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

TFrmMain* FrmMain = nullptr;

namespace {

const QPoint LayoutPosition(530, 93);
constexpr int kHeight = 590;
constexpr int kNoticeTop = 556;
constexpr int kNoticeWidth = 704;

BevelPanel* actionPanel(QWidget* parent, const QString& name, int top)
{
    auto* panel = new BevelPanel(parent, name, QRect(64, top, 704, 97), BevelPanel::Bevel::Lowered,
                                 BevelPanel::Bevel::Lowered);
    panel->setFocusPolicy(Qt::NoFocus);
    return panel;
}

} // namespace

TFrmMain::TFrmMain(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FrmMain"));
    FrmMain = this;
    Look::SetupWindow(this, QStringLiteral("Interface KORVA 8 -Portail Famille"), 835, kHeight);
    move(LayoutPosition);

    Pictures::MakePictureBox(this, QStringLiteral("Image1"), QRect(2, 10, 143, 150), Pictures::Logo());
    const QFont title = Look::Font(QStringLiteral("Arial"), 41, true);
    Look::MakeLabel(this, QStringLiteral("OPTIONS"), 365, 18, QStringLiteral("Interface"), title);
    Look::MakeLabel(this, QStringLiteral("Label1"), 245, 96, QStringLiteral("KORVA 8  -  Portail Famille"), title);

    QFont caption = Look::SansSerif8();
    caption.setBold(true);

    BevelPanel* panel = actionPanel(this, QStringLiteral("Panel"), 184);
    Look::MakeLabel(panel, QStringLiteral("Label3"), 39, 12,
                    QStringLiteral("Selectionner les rôles que vous souhaitez envoyer sur le portail famille"), caption);
    Pictures::MakePictureBox(panel, QStringLiteral("Image2"), QRect(488, 8, 209, 81), Pictures::IllustrationRoles());
    BtRole = Look::MakeButton(panel, QStringLiteral("BtRole"), 272, 40, 75, 25, QStringLiteral("Selectionner"));

    BevelPanel* panel2 = actionPanel(this, QStringLiteral("Panel2"), 312);
    Look::MakeLabel(panel2, QStringLiteral("Label4"), 40, 8,
                    QStringLiteral("Synchroniser les paiements entre le portail famille et KORVA 8"), caption);
    Pictures::MakePictureBox(panel2, QStringLiteral("Image4"), QRect(488, 8, 209, 81),
                             Pictures::IllustrationPaiements());
    BtImporter = Look::MakeButton(panel2, QStringLiteral("BtImporter"), 280, 48, 75, 25, QStringLiteral("Synchroniser"));

    BevelPanel* panel1 = actionPanel(this, QStringLiteral("Panel1"), 448);
    Look::MakeLabel(panel1, QStringLiteral("Label2"), 39, 12,
                    QStringLiteral("Afficher la liste des clients qui ont choisi la facture numérique"), caption);
    Pictures::MakePictureBox(panel1, QStringLiteral("Image3"), QRect(488, 8, 209, 81), QPixmap());
    BtFactureNum = Look::MakeButton(panel1, QStringLiteral("BtFactureNum"), 272, 40, 75, 25, QStringLiteral("Afficher"));

    // The panels stand roll, synchronisation, client list; the focus goes roll, client list, synchronisation.
    QWidget::setTabOrder(BtRole, BtFactureNum);
    QWidget::setTabOrder(BtFactureNum, BtImporter);

    LabelEtat = new QLabel(this);
    LabelEtat->setObjectName(QStringLiteral("LabelEtat"));
    LabelEtat->setWordWrap(true);
    LabelEtat->setTextFormat(Qt::PlainText);
    LabelEtat->setFrameShape(QFrame::Box);
    LabelEtat->setMargin(4);
    LabelEtat->setAutoFillBackground(true);
    QPalette notice = LabelEtat->palette();
    notice.setColor(QPalette::Window, QColor(255, 255, 225));
    notice.setColor(QPalette::WindowText, QColor(160, 0, 0));
    LabelEtat->setPalette(notice);
    LabelEtat->hide();

    connect(BtRole, &QPushButton::clicked, this, [this] { Guarded([this] { BtRoleClick(); }); });
    connect(BtImporter, &QPushButton::clicked, this, [this] { Guarded([this] { BtImporterClick(); }); });
    connect(BtFactureNum, &QPushButton::clicked, this, [this] { Guarded([this] { BtFactureNumClick(); }); });

    Guarded([this] { FormCreate(); });
    ShowRunNotices();
}

void TFrmMain::ShowRunNotices()
{
    // Never a box: the window opens whatever the record says, or whether it can be read.
    const QStringList notices = RunOutcomes::Notices(RunOutcomes::Read());
    if (notices.isEmpty()) {
        LabelEtat->hide();
        setFixedHeight(kHeight);
        return;
    }
    LabelEtat->setText(notices.join(QStringLiteral("\n\n")));
    const int height = LabelEtat->heightForWidth(kNoticeWidth);
    LabelEtat->setGeometry(64, kNoticeTop, kNoticeWidth, height);
    LabelEtat->show();
    setFixedHeight(kNoticeTop + height + 12);
}

void TFrmMain::FormCreate()
{
    DmdMain->ADOConnection->SetConnected(false);
    DmdMain->ADOConnection->SetConnected(true);
}

void TFrmMain::BtRoleClick()
{
    ShowNewModal<TFrmExportRole>(this);
    ShowRunNotices();
}

void TFrmMain::BtImporterClick()
{
    ShowNewModal<TFrmSynchroniserPaiement>(this);
    ShowRunNotices();
}

void TFrmMain::BtFactureNumClick()
{
    ShowNewModal<TFrmImporterFactureNumerique>(this);
}

void TFrmMain::showEvent(QShowEvent* event)
{
    // The screen it opens on is known now, and where the platform tells it, its frame.
    if (!event->spontaneous())
        PlaceOnItsScreen(this, LayoutPosition);
    QWidget::showEvent(event);
}
