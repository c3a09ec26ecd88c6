// The statements of the roll export, built from rows read through the real
// ODBC data source, byte for byte.
#include "common/Cp1252.h"
#include "data/AdoConnection.h"
#include "data/AdoQuery.h"
#include "data/TDmdMain.h"
#include "rolls/RollStatements.h"
#include "support/ErrorMessageOf.h"
#include "support/TestOdbcSource.h"

#include <QtTest>

class TestRollStatements : public QObject {
    Q_OBJECT

    TestOdbcSource m_source { korva8::SampleOptions { .withData = false } };
    TDmdMain m_dmd;

    QString build(const InsertShape& shape, const QString& select)
    {
        AdoQuery query(QStringLiteral("QueryTest"), m_dmd.ADOConnection);
        query.SetSql(select);
        query.Open();
        return InsertStatement(shape, query).Build();
    }

    QStringList buildAll(const InsertShape& shape, const QString& select)
    {
        AdoQuery query(QStringLiteral("QueryTest"), m_dmd.ADOConnection);
        query.SetSql(select);
        query.Open();
        InsertStatement builder(shape, query);
        QStringList statements;
        QByteArray buffer;
        for (query.First(); !query.Eof(); query.Next()) {
            builder.BuildInto(buffer);
            statements << Cp1252::decode(buffer);
        }
        return statements;
    }

private slots:
    void init()
    {
        m_dmd.ADOConnection->SetConnected(false);
        m_source.recreate({ .withData = false });
    }

    void rollDeleteWritesTheNumberBareWithoutSemicolon()
    {
        QCOMPARE(RollDelete(QStringLiteral("12")), QStringLiteral("DELETE FROM role where numrole=12"));
        QCOMPARE(InvoiceDelete(QStringLiteral("12")), QStringLiteral("DELETE FROM facture where numrole=12;"));
        QCOMPARE(InvoiceLineDelete(QStringLiteral("12")), QStringLiteral("DELETE FROM itemfacture where numrole=12;"));
        QCOMPARE(kChildrenDelete, QStringLiteral("DELETE from enfant;"));
        QCOMPARE(kClientsDelete, QStringLiteral("DELETE from client;"));
        QCOMPARE(kClientGroupsDelete, QStringLiteral("DELETE from clientgroupe;"));
    }

    void rollInsertQuotesEveryValueAndFormatsDates()
    {
        m_source.execute(QStringLiteral(
            "INSERT INTO Role VALUES (12, 'Rôle d''été \\ mars', '2024-03-28 00:00:00', NULL, '2024-03-01 00:00:00',"
            " '2024-03-31 00:00:00', 1, '2 place de l''Hôtel', NULL, '01370', 'Péronnas', NULL);"));
        QCOMPARE(build(RollInsertShape(), QStringLiteral("SELECT * FROM Role ORDER BY NumRole DESC")),
            QStringLiteral(" INSERT into role (NumRole,TitreRole,DateFacture,DatePaiement,DateDebPeriode,"
                           "DateFinPeriode,NumE,Adr1E,Adr2E,CpE,VilleE,NoTVAIntra) VALUES ('12','Rôle d''été \\ "
                           "mars','2024-03-28','1899-12-30','2024-03-01','2024-03-31','1','2 place de l''Hôtel',"
                           "'','01370','Péronnas','')"));
    }

    void invoiceAmountsTurnTheirCommaIntoAPoint()
    {
        m_source.execute(QStringLiteral("INSERT INTO Facture VALUES (7, 12, 3, 240007, 1234.56);"
                                        "INSERT INTO Facture VALUES (8, 12, 4, 240008, 10);"
                                        "INSERT INTO Facture VALUES (9, 12, NULL, NULL, 45.5);"));
        QCOMPARE(buildAll(InvoiceInsertShape(),
                     QStringLiteral("SELECT * FROM Facture where NumRole=12 ORDER BY NumFacture")),
            QStringList({
                QStringLiteral(" INSERT into facture (numfacture,numrole,numclient,nofacture,totalttc) VALUES "
                               "('7','12','3','240007','1234.56');"),
                QStringLiteral(" INSERT into facture (numfacture,numrole,numclient,nofacture,totalttc) VALUES "
                               "('8','12','4','240008','10');"),
                QStringLiteral(" INSERT into facture (numfacture,numrole,numclient,nofacture,totalttc) VALUES "
                               "('9','12','','','45.5');"),
            }));
    }

    void invoiceLineCarriesNamesAndSixAmounts()
    {
        m_source.execute(QStringLiteral("INSERT INTO ItemFacture VALUES (31, 12, 7, 3, 5, 'D''Arc', "
                                        "'Garderie \\ soir', 2, 3.35, 6.7, 5.5, 7.07, 0.37);"
                                        "INSERT INTO ItemFacture VALUES (32, 12, 7, 3, 5, NULL, NULL, NULL, 0.00001,"
                                        " 1234.5678, 0, -2.5, NULL);"));
        const QString head = QStringLiteral(" INSERT into itemfacture (numitemfacture,numrole,numfacture,numclient,"
                                            "numenfant,nomenfant,libprestation,q,pu,ht,txtva,ttc,tva) VALUES (");
        QCOMPARE(buildAll(InvoiceLineInsertShape(),
                     QStringLiteral("SELECT * FROM ItemFacture where NumRole=12 ORDER BY NumItemFacture")),
            QStringList({
                head
                    + QStringLiteral("'31','12','7','3','5','D''Arc','Garderie \\ soir','2','3.35','6.7','5.5',"
                                     "'7.07','0.37');"),
                // Only commas change: the exponent form of a tiny amount goes as it reads.
                head + QStringLiteral("'32','12','7','3','5','','','','1E-5','1234.5678','0','-2.5','');"),
            }));
    }

    void childWithoutBirthDateGoesWithTheNullDay()
    {
        m_source.execute(
            QStringLiteral("INSERT INTO Enfant VALUES (1, 'D''Arc', 'Jeanne', 4, '2015-06-02 00:00:00', 0);"
                           "INSERT INTO Enfant VALUES (2, 'Noël', 'Zoé', 4, NULL, NULL);"));
        const QString head
            = QStringLiteral(" INSERT into enfant (numenfant,nom,prenom,numclientp,datenaissance,numclienti) VALUES (");
        QCOMPARE(buildAll(ChildInsertShape(), QStringLiteral("Select * from Enfant order by NumEnfant")),
            QStringList({ head + QStringLiteral("'1','D''Arc','Jeanne','4','2015-06-02','0');"),
                head + QStringLiteral("'2','Noël','Zoé','4','1899-12-30','');") }));
    }

    void clientWithNullEmailAndApostrophe()
    {
        // Commas of a text stay: only amounts change theirs.
        m_source.execute(QStringLiteral("INSERT INTO Client VALUES (3, 'O''Neil', 'Loïc', '12, rue de l''Église',"
                                        " NULL, '01000', 'Viriat', '04 74 12 12 34', NULL, '''7''');"));
        QCOMPARE(build(ClientInsertShape(), QStringLiteral("Select * from Client order by NumClient")),
            QStringLiteral(" INSERT into client (numclient,nom,prenom,adr1,adr2,cp,ville,tel,email,norue) VALUES "
                           "('3','O''Neil','Loïc','12, rue de l''Église','','01000','Viriat','04 74 12 12 34','',"
                           "'''7''');"));
    }

    void textsGoInTheTownCodePage()
    {
        // "Œ" has a byte of its own, "Ω" has none; of the C1 controls only the
        // five bytes the code page leaves undefined keep their value.
        m_source.execute(QStringLiteral("INSERT INTO Client (NumClient, Nom, Prénom) VALUES (4, 'Œuvre Ω',"
                                        " 'a' || char(133) || 'b' || char(129));"));
        QCOMPARE(build(ClientInsertShape(), QStringLiteral("Select * from Client order by NumClient")),
            QStringLiteral(" INSERT into client (numclient,nom,prenom,adr1,adr2,cp,ville,tel,email,norue) VALUES "
                           "('4','Œuvre ?','a?b\u0081','','','','','','','');"));
    }

    void clientGroupGoesByPositionWithTwoSpacesBeforeValues()
    {
        m_source.execute(QStringLiteral("INSERT INTO ClientGroupe VALUES (7, 3);"));
        QCOMPARE(build(ClientGroupInsertShape(), QStringLiteral("Select * from ClientGroupe order by NumClient")),
            QStringLiteral(" INSERT into clientgroupe (numclient,numgroupe)  VALUES ('7','3');"));
    }

    void clientGroupTableWithAThirdColumnSendsThreeValues()
    {
        m_source.execute(QStringLiteral("ALTER TABLE ClientGroupe ADD COLUMN Remarque VARCHAR(20);"
                                        "INSERT INTO ClientGroupe VALUES (7, 3, 'l''aîné');"
                                        "INSERT INTO ClientGroupe VALUES (8, 1, NULL);"));
        QCOMPARE(buildAll(ClientGroupInsertShape(), QStringLiteral("Select * from ClientGroupe order by NumClient")),
            QStringList(
                { QStringLiteral(" INSERT into clientgroupe (numclient,numgroupe)  VALUES ('7','3','l''aîné');"),
                    QStringLiteral(" INSERT into clientgroupe (numclient,numgroupe)  VALUES ('8','1','');") }));
    }

    void missingColumnFailsWithTheFirstOneTheStatementNames()
    {
        m_source.execute(QStringLiteral("INSERT INTO Facture VALUES (7, 12, 3, 240007, 1.5);"));
        QCOMPARE(ErrorMessageOf([&] {
            build(InvoiceInsertShape(), QStringLiteral("SELECT NumFacture, NumRole, TotalTTC FROM Facture"));
        }),
            QStringLiteral("QueryTest: Champ 'NumClient' non trouvé"));
    }

    void oneBufferServesAWholeWalk()
    {
        // A long row then a short one: the buffer must not keep the long row's tail.
        m_source.execute(
            QStringLiteral("INSERT INTO Client VALUES (1, 'Fontaine-Chevalier de la Tour', 'Anaïs',"
                           " 'boulevard Pasteur', 'Bâtiment B', '01000', 'Saint-Étienne-du-Bois',"
                           " '04 74 10 12 34', 'famille1@example.fr', '40');"
                           "INSERT INTO Client VALUES (2, 'Roy', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL);"));
        const QStringList statements
            = buildAll(ClientInsertShape(), QStringLiteral("Select * from Client order by NumClient"));
        QCOMPARE(statements.size(), 2);
        QCOMPARE(statements.at(1),
            QStringLiteral(" INSERT into client (numclient,nom,prenom,adr1,adr2,cp,ville,tel,"
                           "email,norue) VALUES ('2','Roy','','','','','','','','');"));
    }
};

QTEST_GUILESS_MAIN(TestRollStatements)
#include "TestRollStatements.moc"
