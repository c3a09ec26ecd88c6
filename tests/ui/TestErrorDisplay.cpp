#include "common/Errors.h"
#include "support/ErrorRecorder.h"
#include "ui/ErrorDisplay.h"
#include "ui/Gauge.h"
#include "ui/Guard.h"

#include <QtTest>

#include <stdexcept>

class TestErrorDisplay : public QObject {
    Q_OBJECT
private slots:
    void aFullStopIsAddedAfterCharactersThatSortAboveIt()
    {
        QCOMPARE(ErrorDisplay::DisplayText(QStringLiteral("Connexion refusée")), QStringLiteral("Connexion refusée."));
        QCOMPARE(ErrorDisplay::DisplayText(QStringLiteral("Connexion refusée.")), QStringLiteral("Connexion refusée."));
        QCOMPARE(ErrorDisplay::DisplayText(QStringLiteral("404 Not Found")), QStringLiteral("404 Not Found."));
        QCOMPARE(ErrorDisplay::DisplayText(QStringLiteral("Erreur de socket # 11001\r\n")),
                 QStringLiteral("Erreur de socket # 11001\r\n"));
        QCOMPARE(ErrorDisplay::DisplayText(QStringLiteral("(7)")), QStringLiteral("(7)")); // ")" sorts below "."
        QCOMPARE(ErrorDisplay::DisplayText(QStringLiteral("fin -")), QStringLiteral("fin -"));
        QCOMPARE(ErrorDisplay::DisplayText(QString()), QString());
    }

    void theGuardShowsEveryKindOfErrorAndGoesOn()
    {
        ErrorRecorder recorder;
        bool after = false;
        Guarded([] { throw HttpReplyError(404, QStringLiteral("404 Not Found")); });
        Guarded([] { throw std::runtime_error("plain failure"); });
        Guarded([] { throw ListIndexError(17); });
        Guarded([&] { after = true; });
        QVERIFY(after);
        QCOMPARE(recorder.messages(), QStringList({QStringLiteral("404 Not Found."), QStringLiteral("plain failure."),
                                                   QStringLiteral("Indice de liste hors limites (17)")}));
    }

    void theGaugeStaysWithinItsRange()
    {
        Gauge gauge(nullptr, QStringLiteral("Gauge"), QRect(0, 0, 225, 41));
        gauge.SetMaxValue(0);
        gauge.SetProgress(5);
        QCOMPARE(gauge.Progress(), 0);
        QCOMPARE(gauge.PercentDone(), 0);
        gauge.SetMaxValue(16);
        gauge.AddProgress(8);
        QCOMPARE(gauge.PercentDone(), 50);
        gauge.AddProgress(80);
        QCOMPARE(gauge.Progress(), 16);
        QCOMPARE(gauge.PercentDone(), 100);
        gauge.SetProgress(-3);
        QCOMPARE(gauge.Progress(), 0);
    }
};

QTEST_MAIN(TestErrorDisplay)
#include "TestErrorDisplay.moc"
