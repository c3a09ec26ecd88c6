#include "common/Cp1252.h"
#include "portal/FonctionsVendrolles.h"

#include <QTest>

class TestFormEncoding : public QObject {
    Q_OBJECT

private slots:
    void encodesByteByByte_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("encoded");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("blank and comma") << QStringLiteral("a b,c") << QStringLiteral("a+b%2Cc");
        QTest::newRow("percent") << QStringLiteral("100%") << QStringLiteral("100%25");
        QTest::newRow("accents as Windows-1252 bytes") << QStringLiteral("l'été") << QStringLiteral("l'%E9t%E9");
        QTest::newRow("ten kept punctuation") << QStringLiteral("!$'()*-.@_") << QStringLiteral("!$'()*-.@_");
        QTest::newRow("form separators") << QStringLiteral("a+b=c&d") << QStringLiteral("a%2Bb%3Dc%26d");
        QTest::newRow("CR LF") << QStringLiteral("\r\n") << QStringLiteral("%0D%0A");
        QTest::newRow("statement") << QStringLiteral("DELETE FROM role where numrole=12;")
                                   << QStringLiteral("DELETE+FROM+role+where+numrole%3D12%3B");
        QTest::newRow("always encoded") << QStringLiteral("+%&=;,/:~\"")
                                        << QStringLiteral("%2B%25%26%3D%3B%2C%2F%3A%7E%22");
        QTest::newRow("letters and digits") << QStringLiteral("AZaz09") << QStringLiteral("AZaz09");
        QTest::newRow("ASCII neighbours of kept ranges")
            << QStringLiteral("@[`{/:") << QStringLiteral("@%5B%60%7B%2F%3A");
        QTest::newRow("control and DEL") << QString(QChar(1)) + QChar(0x7F) << QStringLiteral("%01%7F");
        QTest::newRow("euro is byte 80") << QStringLiteral("€") << QStringLiteral("%80");
        QTest::newRow("oe ligature is byte 9C") << QStringLiteral("œ") << QStringLiteral("%9C");
        QTest::newRow("y diaeresis is byte FF") << QStringLiteral("ÿ") << QStringLiteral("%FF");
        QTest::newRow("outside the code page") << QStringLiteral("Ω") << QStringLiteral("%3F");
        QTest::newRow("NUL ends the text") << QString::fromLatin1("ab\0cd", 5) << QStringLiteral("ab");
    }

    void encodesByteByByte()
    {
        QFETCH(QString, text);
        QFETCH(QString, encoded);
        QCOMPARE(FormEncodeValue(text), encoded);
    }

    void everyByteEncodesToOneOrThreeCharacters()
    {
        for (int b = 1; b < 256; ++b) {
            const QString text = Cp1252::decode(QByteArray(1, static_cast<char>(b)));
            const QString encoded = FormEncodeValue(text);
            if (encoded.size() == 3)
                QCOMPARE(encoded, QStringLiteral("%%1").arg(b, 2, 16, QLatin1Char('0')).toUpper());
            else
                QCOMPARE(encoded.size(), 1);
        }
    }

    void aLongTextThatIsAllEscapedGrowsItsRoom()
    {
        const QString commas(100000, QLatin1Char(','));
        QCOMPARE(FormEncodeValue(commas), QStringLiteral("%2C").repeated(100000));
        QCOMPARE(FormEncodeValue(QStringLiteral("é").repeated(5000) + QStringLiteral("a b")),
            QStringLiteral("%E9").repeated(5000) + QStringLiteral("a+b"));
    }

    void formLineCarriesTokenThenQuery()
    {
        QCOMPARE(PortalFormLine(QStringLiteral("a b,c")), QStringLiteral("securiter=31K5D907R640B28M3&query=a+b%2Cc"));
    }

    void formLineOfAnEmptyQueryEndsWithQueryField()
    {
        QCOMPARE(PortalFormLine(QString()), QStringLiteral("securiter=31K5D907R640B28M3&query="));
    }
};

QTEST_GUILESS_MAIN(TestFormEncoding)
#include "tst_FormEncoding.moc"
