// The fixed-width line of the client list report for one client.
#include "common/Errors.h"
#include "einvoice/ClientLine.h"
#include "einvoice/ClientRecords.h"

#include <QtTest>

class TestClientLine : public QObject {
    Q_OBJECT

private slots:
    void padsEachColumnAndCutsTheAddressTo65()
    {
        const QString address
            = QStringLiteral("12 avenue du Général de Gaulle, résidence Les Tilleuls, bâtiment C12-A");
        QCOMPARE(address.size(), 70);
        const QString line = ClientLine({ QStringLiteral("42"), QStringLiteral("Dupont"), address,
            QStringLiteral("75001"), QStringLiteral("Foy") });
        QCOMPARE(line.size(), 122);
        QCOMPARE(line,
            QStringLiteral("42") + QString(4, QLatin1Char(' ')) + QStringLiteral("Dupont")
                + QString(34, QLatin1Char(' ')) + address.left(65) + QLatin1Char(' ') + QStringLiteral("75001")
                + QString(2, QLatin1Char(' ')) + QStringLiteral("Foy"));
        QCOMPARE(line.mid(0, 6), QStringLiteral("42    "));
        QCOMPARE(line.mid(6, 6), QStringLiteral("Dupont"));
        QCOMPARE(line.mid(112, 7), QStringLiteral("75001  "));
        QCOMPARE(line.mid(119), QStringLiteral("Foy"));
    }

    void keepsALongNumberWholeAndShiftsTheRest()
    {
        const QString line = ClientLine({ QStringLiteral("1234567"), QStringLiteral("Dupont"), QStringLiteral("Rue"),
            QStringLiteral("75001"), QStringLiteral("Foy") });
        QCOMPARE(line.left(7), QStringLiteral("1234567"));
        QCOMPARE(line.mid(7, 6), QStringLiteral("Dupont")); // no separator, one place to the right
        QCOMPARE(line.mid(47, 3), QStringLiteral("Rue"));
        QCOMPARE(line.mid(113, 5), QStringLiteral("75001"));
        QCOMPARE(line.mid(120), QStringLiteral("Foy"));
        QCOMPARE(line.size(), 123);
    }

    void followsA65CharacterAddressWithOneSpace()
    {
        const QString address(65, QLatin1Char('a'));
        const QString line = ClientLine({ QStringLiteral("123456"), QString(40, QLatin1Char('n')), address,
            QStringLiteral("1234567"), QStringLiteral("Ville") });
        QCOMPARE(line.mid(46, 66), address + QLatin1Char(' '));
        QCOMPARE(line.mid(5, 2), QStringLiteral("6n")); // a 6-character number runs into the name
        QCOMPARE(line.mid(112), QStringLiteral("1234567Ville")); // a 7-character postal code runs into the city
    }

    void keepsALongNameAndALongPostalCodeWhole()
    {
        const QString name(45, QLatin1Char('n'));
        const QString line = ClientLine(
            { QStringLiteral("1"), name, QStringLiteral("Rue"), QStringLiteral("F-75001-X"), QStringLiteral("Paris") });
        QCOMPARE(line.mid(6, 45), name);
        QCOMPARE(line.mid(51, 3), QStringLiteral("Rue"));
        QCOMPARE(line.mid(117), QStringLiteral("F-75001-XParis"));
    }

    void readsRecordsByFivesAndFailsOnAnIncompleteLastOne()
    {
        FieldList fields;
        for (const char* f : { "1", "Un", "Rue", "11111", "Ville", "2", "Deux" })
            fields.append(QString::fromLatin1(f));
        QList<int> rows;
        QStringList names;
        try {
            ForEachClientRecord(fields, [&](int row, const ClientRecord& client) {
                rows << row;
                names << client.name;
            });
            QFAIL("an incomplete record must fail");
        } catch (const ListIndexError& error) {
            QCOMPARE(error.message(), QStringLiteral("Indice de liste hors limites (7)"));
        }
        QCOMPARE(rows, QList<int> { 1 });
        QCOMPARE(names, QStringList { QStringLiteral("Un") });
    }
};

QTEST_MAIN(TestClientLine)
#include "TestClientLine.moc"
