// The main window's "Afficher" opens a new client list window, modally, each
// time it is pressed.
#include "PortalReply.h"
#include "app/TFrmMain.h"
#include "data/TDmdMain.h"
#include "einvoice/TFrmImporterFactureNumerique.h"
#include "support/ErrorRecorder.h"
#include "ui/Look.h"
#include "ui/StringGrid.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestOpenFromMainWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_noOdbc;

    struct Opening {
        QPointer<TFrmImporterFactureNumerique> window;
        bool modal = false;
        QString firstName;
    };

    // Presses "Afficher"; once the window runs its modal loop, notes it and closes it.
    static Opening pressAfficher(TFrmMain& main)
    {
        Opening seen;
        QTimer::singleShot(0, &main, [&seen] {
            seen.window = qobject_cast<TFrmImporterFactureNumerique*>(QApplication::activeModalWidget());
            if (!seen.window)
                return;
            seen.modal = seen.window->isModal() && seen.window->isVisible();
            seen.firstName = seen.window->StringGrid1->Cell(1, 1);
            seen.window->close();
        });
        main.BtFactureNum->click();
        return seen;
    }

private slots:
    void initTestCase() { Look::InstallFontSubstitutes(); }

    void opensANewModalWindowThatFetchesTheListEachTime()
    {
        ErrorRecorder errors;
        TDmdMain dmd;
        TFrmMain main;
        QCOMPARE(errors.messages().size(), 1); // the connection cannot open
        errors.clear();
        main.show();

        std::optional<PortalReply> portal(std::in_place, QStringLiteral("1;Premier;Rue;11111;V"));
        const Opening first = pressAfficher(main);
        portal.emplace(QStringLiteral("2;Second;Rue;22222;V"));
        const Opening second = pressAfficher(main);
        portal.reset();

        QVERIFY(errors.messages().isEmpty());
        QVERIFY(first.modal);
        QVERIFY(second.modal);
        QCOMPARE(first.firstName, QStringLiteral("Premier"));
        QCOMPARE(second.firstName, QStringLiteral("Second"));
        QVERIFY(first.window.isNull()); // each window is gone once closed
        QVERIFY(second.window.isNull());
    }
};

QTEST_MAIN(TestOpenFromMainWindow)
#include "TestOpenFromMainWindow.moc"
