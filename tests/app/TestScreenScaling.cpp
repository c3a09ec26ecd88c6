// The windows and the printed grid on a desktop at 150 %: a screen of 144
// pixels per inch, with a global and a per-screen scale factor set in the
// environment on top, beside smaller screens. The program starts as its own
// entry does.
#include "../einvoice/PortalReply.h"
#include "../einvoice/RecordingCanvas.h"
#include "app/TFrmMain.h"
#include "data/TDmdMain.h"
#include "einvoice/GridPrinting.h"
#include "einvoice/TFrmImporterFactureNumerique.h"
#include "support/ErrorRecorder.h"
#include "ui/Look.h"
#include "ui/ScreenScaling.h"
#include "ui/StringGrid.h"

#include <QApplication>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QWindow>
#include <QtTest>

class TestScreenScaling : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Look::InstallFontSubstitutes(); }

    void theMainWindowKeepsOneDevicePixelPerLayoutPixel()
    {
        ErrorRecorder errors; // no database needed: the connection may fail
        TDmdMain dmd;
        TFrmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        QCOMPARE(w.windowHandle()->devicePixelRatio(), 1.0);
        QCOMPARE(w.screen()->logicalDotsPerInchX(), 144.0); // the screen's own resolution, not a scaled one
        QCOMPARE(w.grab().size(), QSize(835, 590));
        QCOMPARE(w.BtRole->grab().size(), QSize(75, 25));
        QCOMPARE(w.BtRole->mapTo(&w, QPoint(0, 0)), QPoint(64 + 272, 184 + 40));
    }

    // 530, 93 from the corner of the screen it opens on, where the whole
    // window, frame and all, fits; elsewhere moved the least that makes it
    // fit: against the right or the bottom edge (-1), never off the corner.
    void theMainWindowFitsTheScreenItOpensOn_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QPoint>("position");
        QTest::newRow("1920 x 1080") << "150%" << QPoint(530, 93);
        QTest::newRow("1366 x 768, as wide as the client area") << "1366x768" << QPoint(-1, 93);
        QTest::newRow("1280 x 900, too narrow") << "1280x900" << QPoint(-1, 93);
        QTest::newRow("1024 x 600, too narrow and too low") << "1024x600" << QPoint(-1, -1);
        QTest::newRow("800 x 500, smaller than the window") << "800x500" << QPoint(0, 0);
    }

    void theMainWindowFitsTheScreenItOpensOn()
    {
        QFETCH(QString, screen);
        QFETCH(QPoint, position);
        QScreen* target = nullptr;
        for (QScreen* s : QGuiApplication::screens())
            target = s->name() == screen ? s : target;
        QVERIFY(target);
        ErrorRecorder errors;
        TDmdMain dmd;
        TFrmMain w;
        w.move(target->geometry().topLeft()); // opens on the screen that holds it
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.screen(), target);
        QCOMPARE(w.size(), QSize(835, 590));
        const QRect area = target->availableGeometry();
        const QRect whole = w.frameGeometry();
        QVERIFY(whole.width() > 835); // the platform draws a frame
        if (position.x() < 0)
            QCOMPARE(whole.right(), area.right());
        else
            QCOMPARE(whole.left(), area.left() + position.x());
        if (position.y() < 0)
            QCOMPARE(whole.bottom(), area.bottom());
        else
            QCOMPARE(whole.top(), area.top() + position.y());
    }

    // Screen pixels become printer dots at 600 / 144: 24-pixel rows are 100
    // dots, the 11-pixel grid font 6 points.
    void theGridPrintsFromTheScreensRealResolution()
    {
        ErrorRecorder errors;
        PortalReply portal { GeneratedClients(1) };
        TFrmImporterFactureNumerique window;
        QVERIFY(errors.messages().isEmpty());
        QCOMPARE(window.StringGrid1->logicalDpiX(), 144);

        RecordingCanvas canvas(4800, 6600, 600);
        PrintGrid(canvas, *window.StringGrid1, QStringLiteral("Client avec la facture numérique"));
        const int lefts[] = { 0, 267, 984, 2392, 2755 };
        const int widths[] = { 267, 717, 1408, 363, 704 };
        QList<RecordingCanvas::Text> cells;
        for (const RecordingCanvas::Text& text : canvas.texts)
            if (!text.clip.isNull())
                cells.append(text);
        QCOMPARE(cells.size(), 2 * 5);
        for (int r = 0; r < 2; ++r) {
            for (int c = 0; c < 5; ++c) {
                QCOMPARE(cells[r * 5 + c].clip, QRect(lefts[c], 300 + 100 * r, widths[c], 100));
                QCOMPARE(cells[r * 5 + c].font, QStringLiteral("MS Sans Serif 6"));
            }
        }
    }
};

// Qt settles its scale factors as the application object starts: the screen
// and the factors are set first, then the program's own step, as in its entry.
int main(int argc, char** argv)
{
    // In the working folder, named without its drive: the platform's options are cut at every colon.
    QFile screens(QStringLiteral("screens.json"));
    if (!screens.open(QIODevice::WriteOnly)
        || screens.write(R"({"screens": [{"name": "150%", "width": 1920, "height": 1080,
                             "logicalDpi": 144, "logicalBaseDpi": 96, "dpr": 1.0},
                             {"name": "1366x768", "x": 1920, "width": 1366, "height": 768},
                             {"name": "1280x900", "x": 3286, "width": 1280, "height": 900},
                             {"name": "1024x600", "x": 4566, "width": 1024, "height": 600},
                             {"name": "800x500", "x": 5590, "width": 800, "height": 500}]})")
            < 0)
        qFatal("cannot write %s", qPrintable(screens.fileName()));
    screens.close();
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen:configfile=screens.json"));
    qputenv("QT_SCALE_FACTOR", QByteArrayLiteral("1.5"));
    qputenv("QT_SCREEN_SCALE_FACTORS", QByteArrayLiteral("1.25"));

    KeepDevicePixels();
    QApplication application(argc, argv);
    TestScreenScaling test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestScreenScaling.moc"
