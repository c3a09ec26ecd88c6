// The synchronisation window as it opens: its controls, its dates and the
// labels read from the settings file; and the main window that opens it.
#include "SynchronisationFixture.h"

#include "app/TFrmMain.h"
#include "ui/BevelPanel.h"
#include "ui/Gauge.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <QtTest>

#include <functional>

// Calls back each time a widget is painted.
class PaintWatcher : public QObject {
public:
    PaintWatcher(QWidget* widget, std::function<void()> painted)
        : m_painted(std::move(painted))
    {
        widget->installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            m_painted();
        return false;
    }

private:
    std::function<void()> m_painted;
};

class TestSynchronisationWindow : public QObject {
    Q_OBJECT

    SynchronisationFixture m_fixture;

    void writeSettings(const QByteArray& bytes)
    {
        QFile file(m_fixture.settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private slots:
    void init() { m_fixture.reset(); }
    void cleanupTestCase() { m_fixture.m_portal.reset(); }

    void opensWithItsControlsInPlace()
    {
        TFrmSynchroniserPaiement window;
        QCOMPARE(
            window.windowTitle(), QStringLiteral("Synchronisation des paiements entre le portail famille et KORVA8"));
        QCOMPARE(window.pos(), QPoint(589, 265));
        QCOMPARE(window.Panel1->geometry(), QRect(24, 8, 704, 97));
        QCOMPARE(window.Gauge->geometry(), QRect(288, 243, 225, 41));
        QCOMPARE(window.RichDetail->geometry(), QRect(32, 152, 665, 281));
        QCOMPARE(window.DatePaiementImport->geometry(), QRect(264, 4, 186, 21));
        QCOMPARE(window.BtSynchroniser->geometry(), QRect(328, 56, 75, 25));
        QCOMPARE(window.BtSynchroniser->text(), QStringLiteral("Synchroniser"));
        QCOMPARE(window.Image1->geometry(), QRect(488, 8, 209, 81));
        QCOMPARE(window.LabelDetail->pos(), QPoint(32, 130));
        QCOMPARE(window.LabelDetail->text(), QStringLiteral("Détail des opérations"));
        QCOMPARE(window.LabelGauge->pos(), QPoint(336, 136));
        QCOMPARE(window.Label2->text(), QStringLiteral("Synchroniser les paiements à partir du "));
        QVERIFY(window.Label2->font().bold());
        QCOMPARE(window.LabelImport->pos(), QPoint(40, 40));
        QCOMPARE(window.LabelExport->pos(), QPoint(232, 76));
        QVERIFY(window.Image1->pixmap().width() > 0);

        // Only the panel and its visible controls show at first.
        for (QWidget* hidden : std::initializer_list<QWidget*> { window.LabelDetail, window.Gauge, window.LabelGauge,
                 window.DatePaiementExport, window.LabelExport, window.RichDetail })
            QVERIFY2(!hidden->isVisibleTo(&window), qPrintable(hidden->objectName()));
        for (QWidget* shown : std::initializer_list<QWidget*> { window.Panel1, window.Label2, window.DatePaiementImport,
                 window.LabelImport, window.BtSynchroniser, window.Image1 })
            QVERIFY2(shown->isVisibleTo(&window), qPrintable(shown->objectName()));
        QVERIFY(window.RichDetail->isReadOnly());
        QCOMPARE(window.RichDetail->toPlainText(), QString());
    }

    void itsDatePickersShowTodayDayFirst()
    {
        TFrmSynchroniserPaiement window;
        for (QDateEdit* picker : { window.DatePaiementImport, window.DatePaiementExport }) {
            QCOMPARE(picker->date(), QDate::currentDate());
            QCOMPARE(picker->displayFormat(), QStringLiteral("dd-MM-yyyy"));
            QVERIFY(picker->calendarPopup());
        }
        window.DatePaiementImport->setDate(QDate(2012, 5, 12));
        QCOMPARE(window.DatePaiementImport->text(), QStringLiteral("12-05-2012"));
    }

    void showsNoRunWithoutASettingsFile()
    {
        TFrmSynchroniserPaiement window;
        QCOMPARE(window.LabelImport->text(),
            QStringLiteral("Dernière synchronisation effectuée à la date du : aucun import realisé"));
        QCOMPARE(window.LabelExport->text(),
            QStringLiteral("Dernière synchronisation effectuée à la date du : aucun export réalisé"));
        QCOMPARE(m_fixture.m_errors.messages(), QStringList());
    }

    void showsTheDatesOfAFileWrittenByHand()
    {
        writeSettings("[Import]\r\nLastDateImport=01-03-12\r\n[Autre]\r\nCle=1\r\n");
        TFrmSynchroniserPaiement window;
        QCOMPARE(
            window.LabelImport->text(), QStringLiteral("Dernière synchronisation effectuée à la date du : 01-03-12"));
        QCOMPARE(window.LabelExport->text(),
            QStringLiteral("Dernière synchronisation effectuée à la date du : aucun export réalisé"));
    }

    void theNextOpeningShowsTheStoredDatesWithTheAccent()
    {
        {
            TFrmSynchroniserPaiement window;
            SynchronisationFixture::synchronise(window, QDate(2012, 3, 1));
            QCOMPARE(m_fixture.m_errors.messages(), QStringList());
            QCOMPARE(window.LabelImport->text(),
                QStringLiteral("Derniere synchronisation effectuée à la date du : 01-03-12"));
        }
        TFrmSynchroniserPaiement window;
        QCOMPARE(
            window.LabelImport->text(), QStringLiteral("Dernière synchronisation effectuée à la date du : 01-03-12"));
        QCOMPARE(
            window.LabelExport->text(), QStringLiteral("Dernière synchronisation effectuée à la date du : 01-03-12"));
        QCOMPARE(window.DatePaiementImport->date(), QDate::currentDate());
        QCOMPARE(window.RichDetail->toPlainText(), QString());
    }

    // A second synchronisation in the same window finds the detail text on
    // display; each time the gauge moves the window is repainted, and the
    // detail then shows every line the import has written so far.
    void eachGaugeRepaintShowsTheDetailWrittenSoFar()
    {
        m_fixture.addPortalPayment(5, QStringLiteral("2024-03-06"), 61.2, 240005, 2, 4700005);
        m_fixture.addPortalPayment(6, QStringLiteral("2024-03-05"), 7, 240006, 2, 4700006);
        m_fixture.addPortalPayment(9, QStringLiteral("2024-03-04"), 9, 240009, 2, 4700009);
        TFrmSynchroniserPaiement window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        SynchronisationFixture::synchronise(window, QDate(2024, 3, 1));

        const QString heading = QStringLiteral("Import des paiements effectués dans le portail famille vers KORVA8");
        QList<qsizetype> linesShown; // of the second import, at each repaint of the detail
        PaintWatcher watcher(window.RichDetail->viewport(), [&] {
            const QString text = window.RichDetail->toPlainText();
            if (text.count(heading) == 2)
                linesShown << text.mid(text.lastIndexOf(heading)).count(QStringLiteral("Le client n°"));
        });
        SynchronisationFixture::synchronise(window, QDate(2024, 3, 1));
        QCOMPARE(m_fixture.m_errors.messages(), QStringList());
        QCOMPARE(linesShown, (QList<qsizetype> { 1, 2, 3 }));
    }

    void theMainWindowOpensANewWindowEachTime()
    {
        TFrmMain main;
        QList<const void*> opened;
        for (int i = 0; i < 2; ++i) {
            QTimer::singleShot(0, &main, [&] {
                auto* window = qobject_cast<TFrmSynchroniserPaiement*>(QApplication::activeModalWidget());
                if (!window)
                    return;
                opened << window;
                QCOMPARE(window->parentWidget(), &main);
                QCOMPARE(window->LabelImport->text(),
                    QStringLiteral("Dernière synchronisation effectuée à la date du : aucun import realisé"));
                window->reject();
            });
            main.BtImporter->click();
        }
        QCOMPARE(opened.size(), 2);
        QCOMPARE(FrmSynchroniserPaiement, nullptr); // each closed window is gone
        QCOMPARE(m_fixture.m_errors.messages(), QStringList());
    }
};

QTEST_MAIN(TestSynchronisationWindow)
#include "TestSynchronisationWindow.moc"
