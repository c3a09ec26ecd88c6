// The error list's lines and the rule by which a reply counts as empty.
#include "rolls/ErrorList.h"

#include <QtTest>

class TestErrorList : public QObject {
    Q_OBJECT

private slots:
    void aReplyStartingWithNulCountsAsEmpty()
    {
        QVERIFY(ReplyIsEmpty(QString()));
        QVERIFY(ReplyIsEmpty(QString(QChar(u'\0')) + QStringLiteral("Erreur")));
        QVERIFY(!ReplyIsEmpty(QStringLiteral(" ")));
        QVERIFY(!ReplyIsEmpty(QStringLiteral("x") + QChar(u'\0')));
    }

    void everyReplyAddsAtLeastOneLine()
    {
        ErrorList list;
        list.Append(QString());
        list.Append(QStringLiteral("Table 'role' inconnue"));
        list.Append(QString());
        QCOMPARE(list.lines(), QStringList({ QString(), QStringLiteral("Table 'role' inconnue"), QString() }));
        QCOMPARE(list.Text(), QStringLiteral("\nTable 'role' inconnue\n"));
    }

    void aReplyWithLineBreaksAddsOneLineEach()
    {
        ErrorList list;
        list.Append(QStringLiteral("un\r\ndeux\ntrois\rquatre"));
        QCOMPARE(list.lines(),
            QStringList(
                { QStringLiteral("un"), QStringLiteral("deux"), QStringLiteral("trois"), QStringLiteral("quatre") }));
    }

    void whatFollowsANulIsNotShown()
    {
        ErrorList list;
        list.Append(QStringLiteral("ok") + QChar(u'\0') + QStringLiteral("reste"));
        list.Append(QString(QChar(u'\0')) + QStringLiteral("caché"));
        QCOMPARE(list.lines(), QStringList({ QStringLiteral("ok"), QString() }));
    }
};

QTEST_GUILESS_MAIN(TestErrorList)
#include "TestErrorList.moc"
