// The main window and the splash as an operator meets them, offscreen, on a
// real ODBC data source.
#include "app/TFrmMain.h"
#include "app/TSplashForm.h"
#include "data/AdoConnection.h"
#include "data/TDmdMain.h"
#include "support/ErrorRecorder.h"
#include "support/TestOdbcSource.h"
#include "ui/Look.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

class TestMainWindow : public QObject {
    Q_OBJECT

    TestOdbcSource m_source;

    template <class T>
    T* child(QWidget* parent, const char* name)
    {
        T* found = parent->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("missing control %s", name);
        return found;
    }

private slots:
    void initTestCase()
    {
        Look::InstallFontSubstitutes();
    }

    void createsTheWindowAndOpensTheConnection()
    {
        ErrorRecorder errors;
        TDmdMain dmd;
        QVERIFY(!dmd.ADOConnection->Connected());
        TFrmMain window;
        QVERIFY(dmd.ADOConnection->Connected());
        QVERIFY(errors.messages().isEmpty());
        QCOMPARE(FrmMain, &window);
    }

    void laysOutItsPanelsCaptionsAndPictures()
    {
        ErrorRecorder errors;
        TDmdMain dmd;
        TFrmMain w;
        QCOMPARE(w.windowTitle(), QStringLiteral("Interface KORVA 8 -Portail Famille"));
        QCOMPARE(w.size(), QSize(835, 590));
        QCOMPARE(w.pos(), QPoint(530, 93));
        QCOMPARE(w.palette().color(QPalette::Window), QColor(192, 220, 192));

        QCOMPARE(child<QWidget>(&w, "Panel")->geometry(), QRect(64, 184, 704, 97));
        QCOMPARE(child<QWidget>(&w, "Panel2")->geometry(), QRect(64, 312, 704, 97));
        QCOMPARE(child<QWidget>(&w, "Panel1")->geometry(), QRect(64, 448, 704, 97));
        QCOMPARE(w.BtRole->geometry(), QRect(272, 40, 75, 25));
        QCOMPARE(w.BtImporter->geometry(), QRect(280, 48, 75, 25));
        QCOMPARE(w.BtFactureNum->geometry(), QRect(272, 40, 75, 25));
        QCOMPARE(w.BtRole->text(), QStringLiteral("Selectionner"));
        QCOMPARE(w.BtImporter->text(), QStringLiteral("Synchroniser"));
        QCOMPARE(w.BtFactureNum->text(), QStringLiteral("Afficher"));
        QCOMPARE(w.BtRole->parentWidget()->objectName(), QStringLiteral("Panel"));
        QCOMPARE(w.BtImporter->parentWidget()->objectName(), QStringLiteral("Panel2"));

        auto* title = child<QLabel>(&w, "OPTIONS");
        QCOMPARE(title->text(), QStringLiteral("Interface"));
        QCOMPARE(title->pos(), QPoint(365, 18));
        QCOMPARE(title->font().pixelSize(), 41);
        QVERIFY(title->font().bold());
        QCOMPARE(child<QLabel>(&w, "Label1")->text(), QStringLiteral("KORVA 8  -  Portail Famille"));
        QCOMPARE(child<QLabel>(&w, "Label3")->text(),
                 QStringLiteral("Selectionner les rôles que vous souhaitez envoyer sur le portail famille"));
        QCOMPARE(child<QLabel>(&w, "Label4")->text(),
                 QStringLiteral("Synchroniser les paiements entre le portail famille et KORVA 8"));
        QCOMPARE(child<QLabel>(&w, "Label2")->text(),
                 QStringLiteral("Afficher la liste des clients qui ont choisi la facture numérique"));

        QCOMPARE(child<QLabel>(&w, "Image1")->pixmap().size(), QSize(143, 150));
        QCOMPARE(child<QLabel>(&w, "Image2")->pixmap().size(), QSize(197, 81)); // 756 × 310 kept in proportion
        QCOMPARE(child<QLabel>(&w, "Image4")->pixmap().size(), QSize(197, 81));
        QVERIFY(child<QLabel>(&w, "Image3")->pixmap().isNull());
    }

    void tabGoesRollThenClientListThenSynchronisation()
    {
        ErrorRecorder errors;
        TDmdMain dmd;
        TFrmMain w;
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.BtRole->setFocus();
        QCOMPARE(QApplication::focusWidget(), w.BtRole);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.BtFactureNum);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.BtImporter);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.BtRole);
    }

    void anUnreachableDatabaseGivesOneErrorAndAUsableWindow()
    {
        ErrorRecorder errors;
        TDmdMain dmd;
        dmd.ADOConnection->ConnectionString = QStringLiteral("Provider=MSDASQL.1;Data Source=DB_INTROUVABLE;");
        TFrmMain w;
        QCOMPARE(errors.messages().size(), 1);
        QVERIFY2(errors.messages().first().contains(QStringLiteral("Data source name not found")),
                 qPrintable(errors.messages().first()));
        QVERIFY(!dmd.ADOConnection->Connected());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.isEnabled() && w.BtRole->isEnabled() && w.BtImporter->isEnabled() && w.BtFactureNum->isEnabled());

        // Each button still opens its window. The roll window, which lists the
        // rolls as it opens, says first that it cannot; the synchronisation
        // window reads the database only when asked to synchronise.
        for (QPushButton* button : {w.BtRole, w.BtImporter, w.BtFactureNum}) {
            errors.clear();
            QString opened;
            QStringList errorsBeforeOpening;
            QTimer::singleShot(0, &w, [&] {
                QWidget* modal = QApplication::activeModalWidget();
                if (!modal)
                    return;
                opened = QString::fromLatin1(modal->metaObject()->className());
                errorsBeforeOpening = errors.messages();
                modal->close();
            });
            button->click();
            QVERIFY2(!opened.isEmpty(), qPrintable(button->objectName()));
            if (button == w.BtRole) {
                QCOMPARE(errorsBeforeOpening.size(), 1);
                QVERIFY2(errorsBeforeOpening.first().contains(QStringLiteral("Data source name not found")),
                         qPrintable(errorsBeforeOpening.first()));
            } else if (button == w.BtImporter) {
                QCOMPARE(errorsBeforeOpening, QStringList());
            }
        }

        // The next use of the connection tries again.
        dmd.ADOConnection->ConnectionString = QStringLiteral("Provider=MSDASQL.1;Data Source=DB_KORVA8;");
        dmd.ADOConnection->SetConnected(true);
        QVERIFY(dmd.ADOConnection->Connected());
    }

    void theSplashHasNoBorderAndHidesWhenClosed()
    {
        TSplashForm::s_waitMs = 1;
        TSplashForm splash;
        QCOMPARE(splash.size(), QSize(654, 387));
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(splash.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(child<QWidget>(&splash, "Panel1")->geometry(), QRect(31, 32, 597, 327));
        QCOMPARE(child<QLabel>(&splash, "Label3")->text(), QStringLiteral("Version 1.1"));
        QCOMPARE(child<QLabel>(&splash, "Label3")->pos(), QPoint(458, 306));
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        QElapsedTimer timer;
        timer.start();
        splash.close();
        QVERIFY(!splash.isVisible());
        QVERIFY(timer.elapsed() >= 2); // both waits ran
    }
};

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
