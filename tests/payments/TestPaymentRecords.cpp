// The checks of the portal's payment records and the texts built from them:
// statements, detail lines, the date conversion and KeepDigits.
#include "common/DateTexts.h"
#include "common/Errors.h"
#include "common/FieldList.h"
#include "payments/KeepDigits.h"
#include "payments/LocalPayment.h"
#include "payments/PaymentDate.h"
#include "payments/PaymentExportDetail.h"
#include "payments/PaymentExportStatements.h"
#include "payments/PaymentImportDetail.h"
#include "payments/PaymentImportStatements.h"
#include "payments/PaymentRecord.h"
#include "portal/FonctionsVendrolles.h"

#include <QtTest>

namespace {

const QString kWorkedRecord = QStringLiteral("123;4;25.50;13-05-2012;678;12;TX998;1");

FieldList split(const QString& reply)
{
    FieldList fields;
    SplitFields(reply, fields);
    return fields;
}

FieldList fieldsOf(const QStringList& texts)
{
    FieldList fields;
    for (const QString& text : texts)
        fields.append(text);
    return fields;
}

// The message of the refusal of a reply, or "(accepted)".
QString refusalOf(const FieldList& fields)
{
    try {
        CheckedPaymentRecords(fields);
    } catch (const ConversionError& error) {
        return error.message();
    }
    return QStringLiteral("(accepted)");
}

QString refusal(int record, int field, const QString& reason)
{
    return QStringLiteral("Réponse du portail refusée, aucun paiement n'a été importé. Paiement %1, champ %2 : %3")
        .arg(record)
        .arg(field)
        .arg(reason);
}

} // namespace

class TestPaymentRecords : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { SetShortDateFormat(QStringLiteral("dd/MM/yyyy")); }

    void readsTheWorkedRecordByPosition()
    {
        const PaymentRecords records = CheckedPaymentRecords(split(kWorkedRecord));
        QCOMPARE(records.size(), 1);
        const PaymentRecord& record = records.first();
        QCOMPARE(record.client, QStringLiteral("123"));
        QCOMPARE(record.method, QStringLiteral("4"));
        QCOMPARE(record.amount, QStringLiteral("25.50"));
        QCOMPARE(record.date, QDate(2012, 5, 13));
        QCOMPARE(record.invoice, QStringLiteral("678"));
        QCOMPARE(record.roll, QStringLiteral("12"));
        QCOMPARE(record.reference, QStringLiteral("TX998"));
        QCOMPARE(record.numE, QStringLiteral("1"));
    }

    void buildsTheWorkedRecordsStatementsAndDetailLine()
    {
        const PaymentRecord record = CheckedPaymentRecords(split(kWorkedRecord)).first();
        QCOMPARE(ImportDeleteStatement(record),
            QStringLiteral("DELETE from encaissement where NumRole2=12 and NumClient=123 and NoPièce='fact-678'"));
        QCOMPARE(ImportInsertStatement(QStringLiteral("57"), record),
            QStringLiteral("INSERT into encaissement(NumEncaissement,NumClient,MoyenPaiement,NumRole2,DatePaiement,"
                           "NoPièce,NumE,MontantPayé,BanquePièce) "
                           "values(57,123,4,12,'13/05/2012','fact-678',1,25.50,'PF_TX998')"));
        QCOMPARE(StatementLogLine(ImportDeleteStatement(record)),
            QStringLiteral("DELETE from encaissement where NumRole2=12 and NumClient=123 and NoPièce='fact-678';"));
        QCOMPARE(ImportDetailLine(record),
            QStringLiteral("Le client n°123 a reglé la facture n°678 d'un montant de 25.50€ le 13/05/2012\r\n"));
    }

    void quotesTheTextFieldsOfTheStatements()
    {
        const PaymentRecord record
            = CheckedPaymentRecords(fieldsOf({ "1", "2", "3", "13-05-2012", "O'6", "7", "R'8", "9" })).first();
        QVERIFY(ImportDeleteStatement(record).endsWith(QStringLiteral("NoPièce='fact-O''6'")));
        QVERIFY(
            ImportInsertStatement(QStringLiteral("1"), record).endsWith(QStringLiteral(",'fact-O''6',9,3,'PF_R''8')")));
    }

    void writesThePaymentDateDayFirstWhateverTheShortFormat()
    {
        SetShortDateFormat(QStringLiteral("yyyy-MM-dd"));
        const PaymentRecord record = CheckedPaymentRecords(split(kWorkedRecord)).first();
        QVERIFY(ImportInsertStatement(QStringLiteral("1"), record).contains(QStringLiteral(",'13/05/2012',")));
        QVERIFY(ImportDetailLine(record).endsWith(QStringLiteral(" le 13/05/2012\r\n")));
    }

    void readingARecordSwitchesTheShortDateFormat()
    {
        SetShortDateFormat(QStringLiteral("yyyy-MM-dd"));
        CheckedPaymentRecords(split(QString()));
        QCOMPARE(ShortDateFormat(), QStringLiteral("yyyy-MM-dd"));
        QCOMPARE(ImportHeading(QDate(2012, 5, 12)),
            QStringLiteral("Import des paiements effectués dans le portail famille vers KORVA8 à partir du "
                           "2012-05-12\r\n\r\n"));
        CheckedPaymentRecords(split(kWorkedRecord));
        QCOMPARE(ShortDateFormat(), QStringLiteral("dd/MM/yyyy"));
        QCOMPARE(ImportHeading(QDate(2012, 5, 12)),
            QStringLiteral("Import des paiements effectués dans le portail famille vers KORVA8 à partir du "
                           "12/05/2012\r\n\r\n"));
    }

    void recordsFollowOneAnotherOnOneLineOrOnSeveral()
    {
        const PaymentRecords oneLine = CheckedPaymentRecords(split(kWorkedRecord + ";" + kWorkedRecord));
        const PaymentRecords lines
            = CheckedPaymentRecords(split(kWorkedRecord + "\r\n" + kWorkedRecord + "\r\n"));
        QCOMPARE(oneLine.size(), 2);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(1).reference, QStringLiteral("TX998"));
    }

    void anEmptyReplyHoldsNoRecord()
    {
        QCOMPARE(CheckedPaymentRecords(split(QString())).size(), 0);
        QCOMPARE(CheckedPaymentRecords(split(QStringLiteral("\r\n\r\n"))).size(), 0);
        QCOMPARE(ImportCountLine(0), QStringLiteral("\r\n0 paiements mis à jour dans KORVA8"));
    }

    void refusesAnIncompleteLastRecord()
    {
        // 17 fields: the third record stops at its second field, the 18th of the reply.
        const FieldList fields = split(kWorkedRecord + ";" + kWorkedRecord + ";124");
        QCOMPARE(fields.count(), 17);
        QCOMPARE(refusalOf(fields), refusal(3, 2, QStringLiteral("Indice de liste hors limites (17)")));
    }

    void anIncompleteRecordsBadDateIsReportedFirst()
    {
        const FieldList fields = fieldsOf({ "1", "2", "3", "2012-05-13", "5" });
        QCOMPARE(refusalOf(fields), refusal(1, 4, QStringLiteral("'20/2-/5-13' n'est pas une date correcte")));
    }

    void refusesWhatWouldRunAsSql_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason");
        QTest::newRow("condition in the client")
            << 1 << QStringLiteral("1 or 1=1") << QStringLiteral("'1 or 1=1' n'est pas une valeur entière correcte");
        QTest::newRow("statement in the roll") << 6 << QStringLiteral("0) DROP TABLE Encaissement")
                                               << QStringLiteral("'0) DROP TABLE Encaissement' n'est pas une valeur "
                                                                 "entière correcte");
        QTest::newRow("comment in the method")
            << 2 << QStringLiteral("4--") << QStringLiteral("'4--' n'est pas une valeur entière correcte");
        QTest::newRow("subselect in the amount")
            << 3 << QStringLiteral("(select max(NumClient) from Client)")
            << QStringLiteral("'(select max(NumClient) from Client)' n'est pas une valeur décimale correcte");
        QTest::newRow("decimal comma in the amount")
            << 3 << QStringLiteral("25,50") << QStringLiteral("'25,50' n'est pas une valeur décimale correcte");
        QTest::newRow("exponent in the amount")
            << 3 << QStringLiteral("1e5") << QStringLiteral("'1e5' n'est pas une valeur décimale correcte");
        QTest::newRow("amount beyond the digits kept")
            << 3 << QStringLiteral("99999999999999999999999")
            << QStringLiteral("'99999999999999999999999' n'est pas une valeur décimale correcte");
        QTest::newRow("client beyond 64 bits") << 1 << QStringLiteral("9223372036854775808")
                                               << QStringLiteral("'9223372036854775808' n'est pas une valeur entière "
                                                                 "correcte");
        QTest::newRow("a huge value is cut in the message")
            << 2 << QString(100000, QLatin1Char('9')) << QStringLiteral("'") + QString(80, QLatin1Char('9'))
                + QStringLiteral("…' n'est pas une valeur entière correcte");
        QTest::newRow("empty NumE") << 8 << QStringLiteral(" ")
                                    << QStringLiteral("' ' n'est pas une valeur entière correcte");
        QTest::newRow("digits of another form")
            << 1 << QStringLiteral("¹²") << QStringLiteral("'¹²' n'est pas une valeur entière correcte");
        QTest::newRow("date in the wrong order")
            << 4 << QStringLiteral("2012-05-13") << QStringLiteral("'20/2-/5-13' n'est pas une date correcte");
        QTest::newRow("short date") << 4 << QStringLiteral("1-5-2012")
                                    << QStringLiteral("'1-5-2012' n'est pas une date correcte");
        QTest::newRow("no such day") << 4 << QStringLiteral("31-02-2012")
                                     << QStringLiteral("'31/02/2012' n'est pas une date correcte");
    }

    void refusesWhatWouldRunAsSql()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, reason);
        QStringList second = { "123", "4", "25.50", "13-05-2012", "678", "12", "TX998", "1" };
        second[field - 1] = text;
        const FieldList fields = fieldsOf(QStringList { "1", "2", "3", "14-05-2012", "5", "6", "7", "8" } + second);
        QCOMPARE(refusalOf(fields), refusal(2, field, reason));
    }

    void acceptsNumbersAsTheTownsSqlWritesThem_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole amount") << 3 << QStringLiteral("25");
        QTest::newRow("negative amount") << 3 << QStringLiteral("-12.5");
        QTest::newRow("amount without units") << 3 << QStringLiteral(".5");
        QTest::newRow("amount of 15 digits") << 3 << QStringLiteral("-0012345678901.2345000");
        QTest::newRow("whole part of 15 digits") << 3 << QStringLiteral("999999999999999.99");
        QTest::newRow("amount written by a floating-point column") << 3 << QStringLiteral("0.30000000000000004");
        QTest::newRow("another one") << 3 << QStringLiteral("37.499999999999993");
        QTest::newRow("blanks around a number") << 1 << QStringLiteral(" 123 ");
        QTest::newRow("text invoice number") << 5 << QStringLiteral("A-678 bis");
        QTest::newRow("text reference") << 7 << QStringLiteral("ch. 12/3");
    }

    void acceptsNumbersAsTheTownsSqlWritesThem()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        QStringList record = { "123", "4", "25.50", "13-05-2012", "678", "12", "TX998", "1" };
        record[field - 1] = text;
        QCOMPARE(refusalOf(fieldsOf(record)), QStringLiteral("(accepted)"));
    }

    void readsThePaymentDateByCharacterPosition_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QDate>("date");
        QTest::newRow("day first") << QStringLiteral("13-05-2012") << QDate(2012, 5, 13);
        QTest::newRow("time after the date") << QStringLiteral("13-05-2012 10:15") << QDate(2012, 5, 13);
        QTest::newRow("any separator") << QStringLiteral("13.05/2012") << QDate(2012, 5, 13);
        QTest::newRow("blank before a number") << QStringLiteral(" 1-05-2012") << QDate(2012, 5, 1);
        QTest::newRow("blank before a separator") << QStringLiteral("1 -05-2012") << QDate(2012, 5, 1);
        QTest::newRow("leap day") << QStringLiteral("29-02-2012") << QDate(2012, 2, 29);
    }

    void readsThePaymentDateByCharacterPosition()
    {
        QFETCH(QString, field);
        QFETCH(QDate, date);
        QCOMPARE(PaymentDateFromField(field), date);
    }

    void refusesADateThatNamesNoDay_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("message");
        QTest::newRow("year first") << QStringLiteral("2012-05-13")
                                    << QStringLiteral("'20/2-/5-13' n'est pas une date correcte");
        QTest::newRow("not a leap year") << QStringLiteral("29-02-2013")
                                         << QStringLiteral("'29/02/2013' n'est pas une date correcte");
        QTest::newRow("month 13") << QStringLiteral("01-13-2012")
                                  << QStringLiteral("'01/13/2012' n'est pas une date correcte");
        QTest::newRow("nine characters") << QStringLiteral("1-05-2012")
                                         << QStringLiteral("'1-05-2012' n'est pas une date correcte");
        QTest::newRow("empty") << QString() << QStringLiteral("'' n'est pas une date correcte");
        QTest::newRow("letters") << QStringLiteral("ab-cd-efgh")
                                 << QStringLiteral("'ab/cd/efgh' n'est pas une date correcte");
    }

    void refusesADateThatNamesNoDay()
    {
        QFETCH(QString, field);
        QFETCH(QString, message);
        try {
            PaymentDateFromField(field);
            QFAIL("the date was accepted");
        } catch (const ConversionError& error) {
            QCOMPARE(error.message(), message);
        }
    }

    void keepsTheDigitsOfAText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("digits");
        QTest::newRow("invoice reference") << QStringLiteral("fact-678") << QStringLiteral("678");
        QTest::newRow("blank and slash") << QStringLiteral("F 12/3") << QStringLiteral("123");
        QTest::newRow("minus sign") << QStringLiteral("-5") << QStringLiteral("5");
        QTest::newRow("letters around") << QStringLiteral("A12B") << QStringLiteral("12");
        QTest::newRow("plus") << QStringLiteral("+") << QString();
        QTest::newRow("minus") << QStringLiteral("-") << QString();
        QTest::newRow("dollar") << QStringLiteral("$") << QString();
        QTest::newRow("blank") << QStringLiteral(" ") << QString();
        QTest::newRow("apostrophe") << QStringLiteral("l'1") << QStringLiteral("1");
        QTest::newRow("digits of another script") << QStringLiteral("٣4") << QStringLiteral("4");
    }

    void keepsTheDigitsOfAText()
    {
        QFETCH(QString, text);
        QFETCH(QString, digits);
        QCOMPARE(KeepDigits(text), digits);
    }

    void buildsTheWorkedRowsBatch()
    {
        const LocalPayment row { QStringLiteral("123"), QStringLiteral("2"), QDateTime(QDate(2012, 5, 14), QTime(0, 0)),
            QStringLiteral("30,5"), QStringLiteral("fact-678"), QStringLiteral("12") };
        QCOMPARE(ExportDeleteStatement(QDate(2012, 5, 12)) + ExportInsertStatement(row),
            QStringLiteral("DELETE FROM encaissement where etat=2 and transactionid=0 and "
                           "datepaiement>'2012-05-12'; INSERT into  encaissement VALUES "
                           "('','123','2','2012-05-14','30.5','678','12','2','');"));
    }

    void quotesEveryExportedValue()
    {
        const LocalPayment row { QStringLiteral("O'1"), QStringLiteral("2'"),
            QDateTime(QDate(2012, 5, 14), QTime(9, 30)), QStringLiteral("12,5"), QStringLiteral("l'678"),
            QStringLiteral("'") };
        QCOMPARE(ExportInsertStatement(row),
            QStringLiteral(
                " INSERT into  encaissement VALUES ('','O''1','2''','2012-05-14','12.5','678','''','2','');"));
    }

    void selectsTheLocalPaymentsThatDidNotComeFromThePortal()
    {
        QCOMPARE(ExportSelection(QDate(2012, 5, 12)),
            QStringLiteral("SELECT * FROM Encaissement where (BanquePièce not like'PF_%' or BanquePièce is null) "
                           "and DatePaiement >#2012-05-12#"));
    }

    void writesTheExportsDetailText()
    {
        SetShortDateFormat(QStringLiteral("dd/MM/yyyy"));
        QCOMPARE(ExportHeading(QDate(2012, 5, 12)),
            QStringLiteral("\r\n\r\nImport des paiements effectués dans KORVA8 vers le portail famille à partir du "
                           "12/05/2012\r\n"));
        QCOMPARE(ExportDetailLine(QStringLiteral("123"), QStringLiteral("fact-678")),
            QStringLiteral("\r\nClient : 123 - La valeur  fact-678  est converti en numero de facture : 678"));
        QCOMPARE(ExportCountLine(0), QStringLiteral("\r\n0 paiements mis à jour dans le portail famille\r\n"));
        QCOMPARE(ExportCheckRequest(),
            QStringLiteral("\r\nMerci de verifier que les numeros de facture ci-dessus ont bien été convertis "
                           "sinon veuillez les corriger.Merci"));
        QCOMPARE(ExportReplyLine(QString()), QStringLiteral("\r\n"));
        QCOMPARE(ExportReplyLine(QStringLiteral("OK")), QStringLiteral("\r\nOK"));
    }
};

QTEST_GUILESS_MAIN(TestPaymentRecords)
#include "TestPaymentRecords.moc"
