// The query layer against a real ODBC data source: the SQLite ODBC driver
// behind a test-local "DB_KORVA8".
#include "common/DateTexts.h"
#include "data/AdoConnection.h"
#include "data/DriverOptions.h"
#include "data/AdoQuery.h"
#include "data/CursorColumn.h"
#include "data/QueryGridModel.h"
#include "data/TDmdMain.h"
#include "support/ErrorMessageOf.h"
#include "support/HostPrograms.h"
#include "support/TestOdbcSource.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <limits>

class TestAdoQuery : public QObject {
    Q_OBJECT

    TestOdbcSource m_source;
    TDmdMain m_dmd;

private slots:
    void init()
    {
        m_dmd.ADOConnection->SetConnected(false);
        m_source.recreate({});
        m_source.execute(QStringLiteral(
            "CREATE TABLE Sample (NumFacture INTEGER, Montant DOUBLE, Libelle VARCHAR(20), Jour DATETIME);"
            "INSERT INTO Sample VALUES (1, 12.5, 'D''Arc', '2012-05-13 00:00:00');"
            "INSERT INTO Sample VALUES (2, NULL, NULL, NULL);"
            "INSERT INTO Sample VALUES (3, 0.00001, 'Hélène', '2012-05-14 10:15:00');"));
    }

    void derivesTheDataSourceFromTheAdoString()
    {
        QCOMPARE(AdoConnection::OdbcDatabaseName(m_dmd.ADOConnection->ConnectionString), QStringLiteral("DB_KORVA8"));
        QCOMPARE(m_dmd.ADOConnection->ConnectionString,
                 QStringLiteral("Provider=MSDASQL.1;Persist Security Info=False;Data Source=DB_KORVA8;"));
        QVERIFY(!m_dmd.ADOConnection->Connected());
    }

    void openingAQueryOpensTheConnection()
    {
        AdoQuery query(QStringLiteral("QuerySample"), m_dmd.ADOConnection);
        query.SetSql(QStringLiteral("select * from Sample order by NumFacture"));
        query.Open();
        QVERIFY(m_dmd.ADOConnection->Connected());
        QCOMPARE(m_dmd.ADOConnection->dialect(), SqlDialect::SQLite); // read from the engine's own name
        QCOMPARE(query.RecordCount(), 3);
        QCOMPARE(query.FieldCount(), 4);
        QCOMPARE(query.Field(2).Name(), QStringLiteral("Libelle"));
    }

    void readsValuesInTheirThreeForms()
    {
        AdoQuery query(QStringLiteral("QuerySample"), m_dmd.ADOConnection);
        query.SetSql(QStringLiteral("select * from Sample order by NumFacture"));
        query.Open();
        QCOMPARE(query.FieldByName(QStringLiteral("numfacture")).AsString(), QStringLiteral("1"));
        QCOMPARE(query.FieldByName(QStringLiteral("Montant")).AsString(), QStringLiteral("12,5"));
        QCOMPARE(query.FieldByName(QStringLiteral("LIBELLE")).AsString(), QStringLiteral("D'Arc"));
        QCOMPARE(query.FieldByName(QStringLiteral("Jour")).AsDateTime(), QDateTime(QDate(2012, 5, 13), QTime(0, 0)));
        QCOMPARE(query.FieldByName(QStringLiteral("Jour")).AsString(), FormatShortDate(QDate(2012, 5, 13)));

        query.Next();
        QCOMPARE(query.RecNo(), 2);
        QCOMPARE(query.FieldByName(QStringLiteral("Montant")).AsString(), QString());
        QCOMPARE(query.FieldByName(QStringLiteral("Libelle")).AsString(), QString());
        QCOMPARE(query.FieldByName(QStringLiteral("Jour")).AsDateTime().toString(QStringLiteral("yyyy-MM-dd")),
                 QStringLiteral("1899-12-30"));
        QCOMPARE(query.FieldByName(QStringLiteral("Montant")).AsInteger(), 0);

        query.Next();
        QCOMPARE(query.FieldByName(QStringLiteral("Montant")).AsString(), QStringLiteral("1E-5"));
        QCOMPARE(query.FieldByName(QStringLiteral("Libelle")).AsString(), QStringLiteral("Hélène"));
        QCOMPARE(query.FieldByName(QStringLiteral("Jour")).AsString(),
                 FormatShortDate(QDate(2012, 5, 14)) + QStringLiteral(" 10:15:00"));
    }

    // The SQLite driver reports a column declared INTEGER as a 32-bit integer
    // yet keeps 64-bit values in it: each reads exact, through the cursor as
    // through a single value, after a row that fits in 32 bits. What it keeps
    // that is no whole number is refused, naming the table, column and row.
    void wholeNumbersReadExactWhateverTheDriverReports_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("text"); // as read, or as refused
        QTest::addColumn<qint64>("number"); // read; -1 where refused
        QTest::newRow("largest 32-bit") << "2147483647" << "2147483647" << qint64(2147483647);
        QTest::newRow("smallest 32-bit") << "-2147483648" << "-2147483648" << qint64(-2147483647) - 1;
        QTest::newRow("beyond 32 bits") << "5000000000" << "5000000000" << qint64(5000000000);
        QTest::newRow("below 32 bits") << "-3000000000" << "-3000000000" << qint64(-3000000000);
        QTest::newRow("largest 64-bit") << "9223372036854775807" << "9223372036854775807"
                                        << std::numeric_limits<qint64>::max();
        QTest::newRow("smallest 64-bit") << "-9223372036854775808" << "-9223372036854775808"
                                         << std::numeric_limits<qint64>::min();
        QTest::newRow("null") << "NULL" << "" << qint64(0);
        QTest::newRow("fraction") << "3.5" << "3.5" << qint64(-1);
        QTest::newRow("exponent beyond 64 bits") << "1e30" << "1.0e+30" << qint64(-1);
        QTest::newRow("one past 64 bits") << "9223372036854775808" << "9.22337203685478e+18" << qint64(-1);
        QTest::newRow("a word") << "'abc'" << "abc" << qint64(-1);
        QTest::newRow("an empty text") << "''" << "" << qint64(-1);
    }

    void wholeNumbersReadExactWhateverTheDriverReports()
    {
        QFETCH(QString, stored);
        QFETCH(QString, text);
        QFETCH(qint64, number);
        m_source.execute(QStringLiteral("CREATE TABLE Entiers (Id INTEGER, Num INTEGER, Grand BIGINT);"
                                        "INSERT INTO Entiers VALUES (1, 7, 7);"
                                        "INSERT INTO Entiers VALUES (2, %1, %1);")
                             .arg(stored));
        AdoQuery query(QStringLiteral("QueryEntiers"), m_dmd.ADOConnection);
        for (const QString& column : {QStringLiteral("Num"), QStringLiteral("Grand")}) {
            query.SetSql(QStringLiteral("select Id, %1 from Entiers order by Id").arg(column));
            if (number == -1) {
                QCOMPARE(ErrorMessageOf([&] { query.Open(); }),
                         QStringLiteral("QueryEntiers: Le champ %1 de la table Entiers contient, à la ligne où Id = 2, "
                                        "la valeur « %2 », qui n'est pas un nombre entier. Corrigez-la dans la base "
                                        "de données avant de relancer.")
                             .arg(column, text));
                query.SetSql(QStringLiteral("select %1 from Entiers where Id=2").arg(column));
                QCOMPARE(ErrorMessageOf([&] { query.FirstValueAsInteger(); }),
                         QStringLiteral("QueryEntiers: Le résultat de « select %1 from Entiers where Id=2 » "
                                        "n'est pas un nombre entier : « %2 ».")
                             .arg(column, text));
                continue;
            }
            query.Open();
            QCOMPARE(query.Field(1).AsString(), QStringLiteral("7"));
            query.Next();
            QCOMPARE(query.Field(1).AsString(), text);
            QCOMPARE(query.Field(1).AsInteger(), number);
            QByteArray bytes;
            query.Field(1).AppendAsString(bytes);
            QCOMPARE(bytes, text.toLatin1());
            query.SetSql(QStringLiteral("select %1 from Entiers where Id=2").arg(column));
            QCOMPARE(query.FirstValueAsInteger(), number);
        }
    }

    void walksEachRowOnceAndStaysOnTheLastRow()
    {
        AdoQuery query(QStringLiteral("QuerySample"), m_dmd.ADOConnection);
        query.SetSql(QStringLiteral("select NumFacture from Sample order by NumFacture desc"));
        query.Open();
        QStringList seen;
        for (query.First(); !query.Eof(); query.Next())
            seen << query.Field(0).AsString();
        QCOMPARE(seen, QStringList({"3", "2", "1"}));
        QVERIFY(query.Eof());
        QCOMPARE(query.Field(0).AsString(), QStringLiteral("1"));
        query.GotoBookmark(0);
        QVERIFY(!query.Eof());
        QCOMPARE(query.Field(0).AsString(), QStringLiteral("3"));
    }

    void anEmptyResultIsAtEndAndReadsNull()
    {
        AdoQuery query(QStringLiteral("QuerySample"), m_dmd.ADOConnection);
        query.SetSql(QStringLiteral("select * from Sample where NumFacture > 99"));
        query.Open();
        QVERIFY(query.Eof());
        QCOMPARE(query.RecordCount(), 0);
        QCOMPARE(query.FieldByName(QStringLiteral("Libelle")).AsString(), QString());
        QCOMPARE(query.FieldByName(QStringLiteral("NumFacture")).AsInteger(), 0);
    }

    void theMaximumOfAnEmptyTableReadsZero()
    {
        AdoQuery query(QStringLiteral("QueryIDEncaissement"), m_dmd.ADOConnection);
        query.SetSql(QStringLiteral("select max(NumEncaissement) from encaissement where NumEncaissement < 0"));
        query.Open();
        QCOMPARE(query.RecordCount(), 1);
        QCOMPARE(query.Field(0).AsInteger(), 0);
    }

    void reportsItsErrorsInFrench()
    {
        AdoQuery query(QStringLiteral("QueryEncaissement"), m_dmd.ADOConnection);
        QCOMPARE(ErrorMessageOf([&] { query.RecordCount(); }),
                 QStringLiteral("QueryEncaissement: Impossible d'effectuer cette opération sur un ensemble de données fermé"));
        QCOMPARE(ErrorMessageOf([&] { query.FieldByName(QStringLiteral("NumClient")); }),
                 QStringLiteral("QueryEncaissement: Champ 'NumClient' non trouvé"));
        query.SetSql(QStringLiteral("select NumEncaissement from Encaissement"));
        query.Open();
        QCOMPARE(ErrorMessageOf([&] { query.FieldByName(QStringLiteral("NumClient")); }),
                 QStringLiteral("QueryEncaissement: Champ 'NumClient' non trouvé"));
        query.SetSql(QStringLiteral("delete from Encaissement where 1=0"));
        QCOMPARE(ErrorMessageOf([&] { query.Open(); }),
                 QStringLiteral("QueryEncaissement: CommandText ne renvoie pas un ensemble de résultats"));
        query.SetSql(QStringLiteral("select * from TableAbsente"));
        const QString missingTable = ErrorMessageOf([&] { query.Open(); });
        QVERIFY2(missingTable.contains(QStringLiteral("TableAbsente")), qPrintable(missingTable));
        QVERIFY(!query.Active());
    }

    // Statements without rows and single values run on a statement handle the
    // connection keeps: it follows the connection through a close and a
    // reopening, and reads a value or a refusal as a query through Qt does.
    void theKeptStatementFollowsTheConnection()
    {
        AdoQuery insert(QStringLiteral("QueryInsert"), m_dmd.ADOConnection);
        AdoQuery largest(QStringLiteral("QueryIDEncaissement"), m_dmd.ADOConnection);
        largest.SetSql(QStringLiteral("select max(NumFacture) from Sample"));
        for (const int number : {7, 8}) {
            insert.SetSql(QStringLiteral("INSERT INTO Sample (NumFacture) VALUES (%1)").arg(number));
            insert.ExecSql();
            QCOMPARE(largest.FirstValueAsInteger(), number);
            m_dmd.ADOConnection->SetConnected(false);
        }
        // On the reopened connection they take part in its transaction.
        m_dmd.ADOConnection->SetConnected(true);
        QVERIFY(m_dmd.ADOConnection->database().transaction());
        insert.SetSql(QStringLiteral("INSERT INTO Sample (NumFacture) VALUES (9)"));
        insert.ExecSql();
        QCOMPARE(largest.FirstValueAsInteger(), 9);
        QVERIFY(m_dmd.ADOConnection->database().rollback());
        QCOMPARE(m_source.scalar(QStringLiteral("select group_concat(NumFacture) from Sample")),
                 QStringLiteral("1,2,3,7,8"));

        largest.SetSql(QStringLiteral("select max(NumFacture) from Sample where NumFacture > 99"));
        QCOMPARE(largest.FirstValueAsInteger(), 0);
        largest.SetSql(QStringLiteral("select max(Montant) from Sample"));
        QCOMPARE(largest.FirstValueAsInteger(), 13); // 12.5, rounded as a field rounds it
        QVERIFY(!largest.Active());
        largest.SetSql(QStringLiteral("delete from Sample where 1=0"));
        QCOMPARE(ErrorMessageOf([&] { largest.FirstValueAsInteger(); }),
                 QStringLiteral("QueryIDEncaissement: CommandText ne renvoie pas un ensemble de résultats"));

        // A refusal reads as the driver's own text, as a query through Qt's driver
        // gives it, after a French sentence where the failure is a common one.
        const auto throughQt = [&](const QString& statement) {
            QSqlQuery query(m_dmd.ADOConnection->database());
            return query.exec(statement) ? QString() : query.lastError().databaseText().trimmed();
        };
        insert.SetSql(QStringLiteral("INSERT INTO TableAbsente VALUES (1)"));
        const QString refusal = ErrorMessageOf([&] { insert.ExecSql(); });
        QVERIFY2(refusal.contains(QStringLiteral("TableAbsente")), qPrintable(refusal));
        QCOMPARE(refusal, QStringLiteral("Une table de KORVA 8 manque dans la base : la source de données DB_KORVA8 "
                                         "désigne-t-elle bien la base de KORVA 8 ? Message du pilote : ")
                + throughQt(insert.Sql()));
        largest.SetSql(QStringLiteral("select max(Absente) from Sample"));
        QCOMPARE(ErrorMessageOf([&] { largest.FirstValueAsInteger(); }), throughQt(largest.Sql()));
    }

    void aDayMonthYearTextWrittenIntoADateColumnReadsAsThatDate()
    {
        AdoQuery insert(QStringLiteral("QueryInsertEncaissement"), m_dmd.ADOConnection);
        insert.SetSql(QStringLiteral("INSERT into encaissement(NumEncaissement,NumClient,MoyenPaiement,NumRole2,DatePaiement,"
                                     "NoPièce,NumE,MontantPayé,BanquePièce) values(900,123,4,12,'13/05/2012','fact-678',1,"
                                     "25.50,'PF_TX998')"));
        insert.ExecSql();
        AdoQuery read(QStringLiteral("QueryEncaissement"), m_dmd.ADOConnection);
        read.SetSql(QStringLiteral("select * from Encaissement where NumEncaissement=900"));
        read.Open();
        QCOMPARE(read.FieldByName(QStringLiteral("DatePaiement")).AsDateTime(), QDateTime(QDate(2012, 5, 13), QTime(0, 0)));
        QCOMPARE(read.FieldByName(QStringLiteral("NoPièce")).AsString(), QStringLiteral("fact-678"));
        QCOMPARE(read.FieldByName(QStringLiteral("MontantPayé")).AsString(), QStringLiteral("25,5"));
    }

    void aJetDateLiteralSelectsStrictlyLaterDays()
    {
        m_source.execute(QStringLiteral("DELETE FROM Encaissement;"
                                        "INSERT INTO Encaissement (NumEncaissement, DatePaiement) VALUES (1, '12/05/2012');"
                                        "INSERT INTO Encaissement (NumEncaissement, DatePaiement) VALUES (2, '13/05/2012');"));
        AdoQuery query(QStringLiteral("QueryEncaissement"), m_dmd.ADOConnection);
        query.SetSql(QStringLiteral("SELECT * FROM Encaissement where (BanquePièce not like'PF_%' or BanquePièce is null) "
                                    "and DatePaiement >#2012-05-12#"));
        query.Open();
        QCOMPARE(query.RecordCount(), 1);
        QCOMPARE(query.FieldByName(QStringLiteral("NumEncaissement")).AsString(), QStringLiteral("2"));
    }

    // The SQLite driver's refusal to create a missing base comes from the
    // program, whatever the data source declares; a data source of another
    // driver, or one the driver manager does not know, is left as it is.
    void theSqliteDriverGetsTheOptionsTheProgramNeeds()
    {
        QCOMPARE(WithDriverOptions(QStringLiteral("DB_KORVA8")), QStringLiteral("DB_KORVA8;NoCreat=1"));
        QCOMPARE(WithDriverOptions(QStringLiteral("Driver=SQLite3;Database=x.db;NoCreat=0")),
            QStringLiteral("Driver=SQLite3;Database=x.db;NoCreat=0"));
        QCOMPARE(WithDriverOptions(QStringLiteral("DB_ABSENTE")), QStringLiteral("DB_ABSENTE"));
        QCOMPARE(WithDriverOptions(QStringLiteral("Driver=Microsoft Access Driver (*.mdb);Dbq=k.mdb")),
            QStringLiteral("Driver=Microsoft Access Driver (*.mdb);Dbq=k.mdb"));

        // A data source without NoCreat naming a file that is not there: an error, and no empty base made.
        QTemporaryDir folder;
        const QString missing = folder.filePath(QStringLiteral("absente.db"));
        const QString odbcIni = HostPrograms::LocalPath(qEnvironmentVariable("ODBCINI"));
        QFile ini(odbcIni);
        QVERIFY(ini.open(QIODevice::Append));
        ini.write("\n[DB_SANS_NOCREAT]\nDriver=SQLite3\nDatabase=" + HostPrograms::HostPath(missing).toUtf8() + "\n");
        ini.close();
        AdoConnection connection;
        connection.ConnectionString = QStringLiteral("Provider=MSDASQL.1;Data Source=DB_SANS_NOCREAT;");
        QVERIFY(ErrorMessageOf([&] { connection.SetConnected(true); }) != QStringLiteral("(no error)"));
        QVERIFY(!QFileInfo::exists(missing));
    }

    void anUnreachableDataSourceFailsWithTheDriverText()
    {
        AdoConnection connection;
        connection.ConnectionString = QStringLiteral("Provider=MSDASQL.1;Data Source=DB_ABSENTE;");
        const QString message = ErrorMessageOf([&] { connection.SetConnected(true); });
        QVERIFY2(message.contains(QStringLiteral("Data source name not found")), qPrintable(message));
        QVERIFY(!connection.Connected());
    }

    void theGridModelFollowsTheQuery()
    {
        AdoQuery query(QStringLiteral("QueryRole"), m_dmd.ADOConnection);
        QueryGridModel model(&query, {{QStringLiteral("NumRole"), QStringLiteral("Num Role"), Qt::AlignHCenter, 70},
                                      {QStringLiteral("DateFacture"), QStringLiteral("Date Facture"), Qt::AlignHCenter, 110},
                                      {QStringLiteral("TitreRole"), QStringLiteral("Titre Role"), Qt::AlignLeft, 220}});
        QCOMPARE(model.rowCount(), 0);
        query.SetSql(QStringLiteral("SELECT * FROM Role ORDER BY NumRole DESC"));
        query.Open();
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(model.data(model.index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("4"));
        QCOMPARE(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Date Facture"));
        QVERIFY(model.data(model.index(0, 2), Qt::DisplayRole).toString().startsWith(QStringLiteral("Rôle cantine")));
        query.Close();
        QCOMPARE(model.rowCount(), 0);
    }

    // The grid paints whatever the database holds, a time of day or a Yes/No
    // column too; reading a cell never throws.
    void theGridShowsEveryColumnTypeWithoutFailing()
    {
        m_source.execute(QStringLiteral("CREATE TABLE Kinds (Heure TIME, Actif BIT);"
                                        "INSERT INTO Kinds VALUES ('10:15:00', 1);"
                                        "INSERT INTO Kinds VALUES ('00:00:00', 0);"));
        AdoQuery query(QStringLiteral("QueryKinds"), m_dmd.ADOConnection);
        QueryGridModel model(&query, {{QStringLiteral("Heure"), QStringLiteral("Heure"), Qt::AlignLeft, 70},
                                      {QStringLiteral("Actif"), QStringLiteral("Actif"), Qt::AlignLeft, 70}});
        query.SetSql(QStringLiteral("SELECT * FROM Kinds ORDER BY Heure DESC"));
        query.Open();
        const auto cell = [&](int row, int column) { return model.data(model.index(row, column), Qt::DisplayRole).toString(); };
        QCOMPARE(cell(0, 0), QStringLiteral("10:15:00"));
        QCOMPARE(cell(1, 0), QStringLiteral("00:00:00"));
        QCOMPARE(query.FieldByName(QStringLiteral("Heure")).AsString(), QStringLiteral("10:15:00"));
        QCOMPARE(query.FieldByName(QStringLiteral("Heure")).AsDateTime(), QDateTime(QDate(1899, 12, 30), QTime(10, 15)));
        QCOMPARE(cell(0, 1), QStringLiteral("1")); // a Yes/No column reads as the driver gives it
        QCOMPARE(cell(1, 1), QStringLiteral("0"));
    }

    void aCursorColumnWhoseValuesChangeTypeKeepsEachValue()
    {
        // The driver types a column's values by the column; should one come
        // in another type, the column keeps every value as it came.
        const QVariantList values { QVariant(QMetaType::fromType<int>()), 7, QStringLiteral("sept"),
            QVariant(QMetaType::fromType<QString>()), 7.5, QDateTime(QDate(2024, 3, 5), QTime(10, 15)) };
        CursorColumn column;
        for (int i = 0; i < values.size(); ++i) {
            column.Append(values.at(i));
            if (i == 1)
                QCOMPARE(column.StoredAt(1).integer, 7);
        }
        for (int row = 0; row < values.size(); ++row) {
            QCOMPARE(column.Value(row).metaType(), values.at(row).metaType());
            QCOMPARE(column.Value(row).isNull(), values.at(row).isNull());
            QCOMPARE(column.Value(row), values.at(row));
            QVERIFY(column.StoredAt(row).kind == CursorColumn::Stored::Kind::Other);
        }
    }
};

QTEST_GUILESS_MAIN(TestAdoQuery)
#include "TestAdoQuery.moc"
