#include "common/Errors.h"
#include "common/FieldList.h"
#include "portal/FonctionsVendrolles.h"

#include <QTest>

class TestSplitFields : public QObject {
    Q_OBJECT

private slots:
    void fieldsOfAReply_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("empty text") << QString() << QStringList();
        QTest::newRow("only line breaks") << QStringLiteral("\r\n\r\n\n") << QStringList();
        QTest::newRow("empty field dropped") << QStringLiteral("a;;b") << QStringList { "a", "b" };
        QTest::newRow("records on lines") << QStringLiteral("1;2\r\n3;4\r\n") << QStringList { "1", "2", "3", "4" };
        QTest::newRow("records on one line") << QStringLiteral("1;2;3;4") << QStringList { "1", "2", "3", "4" };
        QTest::newRow("blanks kept") << QStringLiteral(" a ; b") << QStringList { " a ", " b" };
        QTest::newRow("tabs kept") << QStringLiteral("\ta\t;b") << QStringList { "\ta\t", "b" };
        QTest::newRow("final separator") << QStringLiteral("a;b;") << QStringList { "a", "b" };
        QTest::newRow("quoted separator") << QStringLiteral("a;'b;c';d") << QStringList { "a", "'b;c'", "d" };
        QTest::newRow("quoted line break")
            << QStringLiteral("a;\"b\r\nc\";d") << QStringList { "a", "\"b\r\nc\"", "d" };
        QTest::newRow("lone apostrophe runs to the end")
            << QStringLiteral("x;l'eau;y") << QStringList { "x", "l'eau;y" };
        QTest::newRow("apostrophe replaces the open double quote")
            << QStringLiteral("\"it's\";z") << QStringList { "\"it's\";z" };
        QTest::newRow("quote closed mid-field") << QStringLiteral("a'b'c;d") << QStringList { "a'b'c", "d" };
        QTest::newRow("quote stays open across fields")
            << QStringLiteral("'a';'b\"c';d") << QStringList { "'a'", "'b\"c';d" };
    }

    // A NUL anywhere, between records or inside a quote, refuses the whole
    // reply: cutting there would take the first records for all of them.
    void aReplyHoldingANulIsRefusedWhole_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("where");
        QTest::newRow("between records") << QString::fromLatin1("1;2\n\0" "3;4\n", 8) << QStringLiteral("5 sur 8");
        QTest::newRow("inside a quote") << QString::fromLatin1("'a\0b;c", 6) << QStringLiteral("3 sur 6");
        QTest::newRow("last byte") << QString::fromLatin1("a;b\0", 4) << QStringLiteral("4 sur 4");
    }

    void aReplyHoldingANulIsRefusedWhole()
    {
        QFETCH(QString, text);
        QFETCH(QString, where);
        FieldList list;
        try {
            SplitFields(text, list);
            QFAIL("the reply was split");
        } catch (const DamagedReplyError& error) {
            QVERIFY2(error.message().contains(QStringLiteral("octet nul à la position ") + where), qPrintable(error.message()));
        }
        QCOMPARE(list.count(), 0);
    }

    void fieldsOfAReply()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, fields);
        FieldList list;
        const int count = SplitFields(text, list);
        QCOMPARE(list.fields(), fields);
        QCOMPARE(count, fields.size());
    }

    void appendsToWhatTheListHolds()
    {
        FieldList list;
        list.append(QStringLiteral("before"));
        QCOMPARE(SplitFields(QStringLiteral("1;2"), list), 2);
        QCOMPARE(list.fields(), (QStringList { "before", "1", "2" }));
    }

    void paymentRecordsReadByPosition()
    {
        FieldList list;
        SplitFields(
            QStringLiteral("123;4;25.50;13-05-2012;678;12;TX998;1\n124;4;10.00;14-05-2012;679;12;TX999;1\n"), list);
        QCOMPARE(list.count(), 16);
        QCOMPARE(list.at(8), QStringLiteral("124"));
        QCOMPARE(list.at(15), QStringLiteral("1"));
        QVERIFY_THROWS_EXCEPTION(ListIndexError, list.at(16));
    }
};

QTEST_GUILESS_MAIN(TestSplitFields)
#include "tst_SplitFields.moc"
