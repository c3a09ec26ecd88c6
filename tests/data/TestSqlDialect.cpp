#include "data/SqlDialect.h"

#include <QtTest>

class TestSqlDialect : public QObject {
    Q_OBJECT
private slots:
    void jetStatementsPassUnchanged()
    {
        const QString sql = QStringLiteral("select * from t where d >#2012-05-12#");
        QCOMPARE(TranslateStatement(sql, SqlDialect::Jet), sql);
    }

    void theDateLiteralIsRewrittenOutsideQuotesOnly()
    {
        QCOMPARE(TranslateStatement(QStringLiteral("where d >#2012-05-12# and n='#2012-05-12#'"), SqlDialect::SQLite),
                 QStringLiteral("where d >'2012-05-12 00:00:00' and n='#2012-05-12#'"));
        QCOMPARE(TranslateStatement(QStringLiteral("where d=#2012-05-12 10:15:00#"), SqlDialect::Odbc),
                 QStringLiteral("where d={ts '2012-05-12 10:15:00'}"));
        // A doubled quote inside text does not end it.
        QCOMPARE(TranslateStatement(QStringLiteral("n='it''s #2012-05-12#' or d<#2012-01-02#"), SqlDialect::SQLite),
                 QStringLiteral("n='it''s #2012-05-12#' or d<'2012-01-02 00:00:00'"));
    }

    void aHashThatIsNoDateStays()
    {
        QCOMPARE(TranslateStatement(QStringLiteral("select '#' , # x # from t"), SqlDialect::SQLite),
                 QStringLiteral("select '#' , # x # from t"));
        QCOMPARE(TranslateStatement(QStringLiteral("select #2012-13-45#"), SqlDialect::SQLite),
                 QStringLiteral("select #2012-13-45#"));
    }

    void theEngineIsKnownByItsOdbcName()
    {
        QCOMPARE(DialectForDbmsName(QStringLiteral("ACCESS")), SqlDialect::Jet);
        QCOMPARE(DialectForDbmsName(QStringLiteral("SQLite")), SqlDialect::SQLite);
        QCOMPARE(DialectForDbmsName(QStringLiteral("PostgreSQL")), SqlDialect::Odbc);
    }
};

QTEST_GUILESS_MAIN(TestSqlDialect)
#include "TestSqlDialect.moc"
