// The shared text helpers: the codec every edge byte goes through, the SQL
// quoting, the date texts and the value forms read from the database.
#include "common/Cp1252.h"
#include "common/DateTexts.h"
#include "common/Errors.h"
#include "common/FieldList.h"
#include "common/SqlText.h"
#include "data/ValueForms.h"

#include <QtTest>

#include <limits>

class TestText : public QObject {
    Q_OBJECT
private slots:
    void everyByteRoundTrips()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(static_cast<char>(b));
        const QString text = Cp1252::decode(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(Cp1252::encode(text), all);
        QCOMPARE(text.at(0x80), QChar(0x20AC)); // €
        QCOMPARE(text.at(0x81), QChar(0x81));   // undefined: same-numbered control
        QCOMPARE(text.at(0xE9), QChar(0xE9));   // é
        QCOMPARE(text.at(0x9C), QChar(0x0153)); // œ
    }

    void aCharacterTheCodePageCannotHoldIsAQuestionMark()
    {
        QCOMPARE(Cp1252::encode(QStringLiteral("a\u4E2Db")), QByteArray("a?b"));
        QCOMPARE(Cp1252::encode(QString::fromUtf8("x\xF0\x9F\x98\x80y")), QByteArray("x?y")); // one character, one "?"
        QCOMPARE(Cp1252::encode(QStringLiteral("\u0080")), QByteArray("?"));
        QCOMPARE(Cp1252::encode(QStringLiteral("l'été 12€")), QByteArray("l'\xE9t\xE9 12\x80"));
    }

    void quotesAndDecimalPoints()
    {
        QCOMPARE(SqlQuote(QStringLiteral("D'Arc")), QStringLiteral("'D''Arc'"));
        QCOMPARE(SqlQuote(QString()), QStringLiteral("''"));
        QCOMPARE(SqlQuote(QStringLiteral("''")), QStringLiteral("''''''"));
        QCOMPARE(SqlQuote(QStringLiteral("a\\b")), QStringLiteral("'a\\b'"));
        QCOMPARE(DotDecimal(QStringLiteral("1234,56")), QStringLiteral("1234.56"));
        QCOMPARE(DotDecimal(QStringLiteral("45,5")), QStringLiteral("45.5"));
        QCOMPARE(DotDecimal(QStringLiteral("10")), QStringLiteral("10"));
    }

    void dateTexts()
    {
        const QDate d(2012, 5, 3);
        QCOMPARE(DateTexts::portalDate(d), QStringLiteral("2012-05-03"));
        QCOMPARE(DateTexts::jetLiteral(d), QStringLiteral("#2012-05-03#"));
        QCOMPARE(DateTexts::localPaymentDate(d), QStringLiteral("03/05/2012"));
        QCOMPARE(DateTexts::settingsDate(d), QStringLiteral("03-05-12"));
        // Two-digit years read back: 00 to 69 in this century, 70 to 99 in the last.
        QCOMPARE(DateTexts::fromSettingsDate(QStringLiteral("03-05-12")), d);
        QCOMPARE(DateTexts::fromSettingsDate(QStringLiteral("31-12-69")), QDate(2069, 12, 31));
        QCOMPARE(DateTexts::fromSettingsDate(QStringLiteral("31-12-99")), QDate(1999, 12, 31));
        QCOMPARE(DateTexts::logNameDate(QDate(2024, 3, 8)), QStringLiteral("08-03-2024"));
        QCOMPARE(DateTexts::logNameTime(QTime(14, 5)), QStringLiteral("14.05"));
        QCOMPARE(DateTexts::nullDateTime().toString(QStringLiteral("yyyy-MM-dd")), QStringLiteral("1899-12-30"));
    }

    void theShortDateFormatStartsRegionalAndCanBeSet()
    {
        QCOMPARE(ShortDateFormat(), QStringLiteral("dd/MM/yyyy")); // French regional settings
        const QString before = ShortDateFormat();
        SetShortDateFormat(QStringLiteral("yyyy.MM.dd"));
        QCOMPARE(FormatShortDate(QDate(2012, 5, 13)), QStringLiteral("2012.05.13"));
        QCOMPARE(FormatShortDateTime(QDateTime(QDate(2012, 5, 13), QTime(10, 15))), QStringLiteral("2012.05.13 10:15:00"));
        SetShortDateFormat(before);
    }

    void floatingPointTexts_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("text");
        QTest::newRow("12.5") << 12.5 << -1 << "12,5";
        QTest::newRow("integral") << 10.0 << -1 << "10";
        QTest::newRow("negative") << -0.75 << -1 << "-0,75";
        QTest::newRow("1E-5") << 0.00001 << -1 << "1E-5";
        QTest::newRow("0.0001") << 0.0001 << -1 << "0,0001";
        QTest::newRow("15 digits") << 0.1 + 0.2 << -1 << "0,3";
        QTest::newRow("large") << 1e20 << -1 << "1E20";
        QTest::newRow("1.5E-7") << 1.5e-7 << -1 << "1,5E-7";
        QTest::newRow("just below 1E15") << 123456789012345.0 << -1 << "123456789012345";
        QTest::newRow("currency rounds to 4") << 2.123456 << 4 << "2,1235";
        QTest::newRow("zero") << 0.0 << -1 << "0";
        // Scaled by 10^4 to be rounded, these would overflow.
        QTest::newRow("currency too large to round") << 1e305 << 4 << "1E305";
        QTest::newRow("largest negative currency") << -std::numeric_limits<double>::max() << 4
                                                   << "-1,79769313486232E308";
        QTest::newRow("whole currency above 2^52") << 4503599627370497.0 << 4 << "4,5035996273705E15";
        QTest::newRow("infinite currency") << std::numeric_limits<double>::infinity() << 4 << "INF";
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 4 << "NAN";
    }

    void floatingPointTexts()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(QString, text);
        QCOMPARE(FloatText(value, decimals), text);
        QByteArray wire("x");
        AppendFloatText(wire, value, decimals);
        QCOMPARE(wire, "x" + text.toLatin1());
    }

    void fieldListIndexError()
    {
        FieldList fields;
        fields.append(QStringLiteral("a"));
        QCOMPARE(fields.at(0), QStringLiteral("a"));
        try {
            fields.at(7);
            QFAIL("no error");
        } catch (const ListIndexError& error) {
            QCOMPARE(error.message(), QStringLiteral("Indice de liste hors limites (7)"));
        }
    }
};

QTEST_GUILESS_MAIN(TestText)
#include "TestText.moc"
