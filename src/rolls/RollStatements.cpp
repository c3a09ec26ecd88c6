#include "rolls/RollStatements.h"

#include "common/Cp1252.h"
#include "common/DateTexts.h"
#include "common/SqlText.h"

#include <algorithm>

namespace {

QVector<InsertValue> texts(std::initializer_list<const char*> columns)
{
    QVector<InsertValue> values;
    for (const char* column : columns)
        values.append({ QString::fromUtf8(column), ValueForm::Text });
    return values;
}

} // namespace

const InsertShape& RollInsertShape()
{
    static const InsertShape shape {
        QStringLiteral(" INSERT into role (NumRole,TitreRole,DateFacture,DatePaiement,DateDebPeriode,DateFinPeriode,"
                       "NumE,Adr1E,Adr2E,CpE,VilleE,NoTVAIntra)")
            + QStringLiteral(" VALUES ("),
        {
            { QStringLiteral("NumRole"), ValueForm::Text },
            { QStringLiteral("TitreRole"), ValueForm::Text },
            { QStringLiteral("DateFacture"), ValueForm::Date },
            { QStringLiteral("DatePaiement"), ValueForm::Date },
            { QStringLiteral("DateDebPériode"), ValueForm::Date },
            { QStringLiteral("DateFinPériode"), ValueForm::Date },
            { QStringLiteral("NumE"), ValueForm::Text },
            { QStringLiteral("Adr1E"), ValueForm::Text },
            { QStringLiteral("Adr2E"), ValueForm::Text },
            { QStringLiteral("CpE"), ValueForm::Text },
            { QStringLiteral("VilleE"), ValueForm::Text },
            { QStringLiteral("NoTVAIntra"), ValueForm::Text },
        },
        QStringLiteral(")"),
    };
    return shape;
}

const InsertShape& InvoiceInsertShape()
{
    static const InsertShape shape {
        QStringLiteral(" INSERT into facture (numfacture,numrole,numclient,nofacture,totalttc) VALUES ("),
        {
            { QStringLiteral("Numfacture"), ValueForm::Text },
            { QStringLiteral("NumRole"), ValueForm::Text },
            { QStringLiteral("NumClient"), ValueForm::Text },
            { QStringLiteral("NoFacture"), ValueForm::Text },
            { QStringLiteral("TotalTTC"), ValueForm::Amount },
        },
        QStringLiteral(");"),
    };
    return shape;
}

const InsertShape& InvoiceLineInsertShape()
{
    static const InsertShape shape {
        QStringLiteral(" INSERT into itemfacture (numitemfacture,numrole,numfacture,numclient,numenfant,nomenfant,"
                       "libprestation,q,pu,ht,txtva,ttc,tva) VALUES ("),
        texts({"NumItemFacture", "NumRole", "Numfacture", "NumClient", "NumEnfant", "NomEnfant", "LibPrestation"})
            + QVector<InsertValue> {
                {QStringLiteral("Q"), ValueForm::Amount},
                {QStringLiteral("PU"), ValueForm::Amount},
                {QStringLiteral("HT"), ValueForm::Amount},
                {QStringLiteral("TxTVA"), ValueForm::Amount},
                {QStringLiteral("TTC"), ValueForm::Amount},
                {QStringLiteral("TVA"), ValueForm::Amount},
            },
        QStringLiteral(");"),
    };
    return shape;
}

const InsertShape& ChildInsertShape()
{
    static const InsertShape shape {
        QStringLiteral(" INSERT into enfant (numenfant,nom,prenom,numclientp,datenaissance,numclienti) VALUES ("),
        {
            { QStringLiteral("NumEnfant"), ValueForm::Text },
            { QStringLiteral("Nom"), ValueForm::Text },
            { QStringLiteral("Prénom"), ValueForm::Text },
            { QStringLiteral("NumClientP"), ValueForm::Text },
            { QStringLiteral("DateNaissance"), ValueForm::Date },
            { QStringLiteral("NumClientI"), ValueForm::Text },
        },
        QStringLiteral(");"),
    };
    return shape;
}

const InsertShape& ClientInsertShape()
{
    static const InsertShape shape {
        QStringLiteral(" INSERT into client (numclient,nom,prenom,adr1,adr2,cp,ville,tel,email,norue) VALUES ("),
        texts({ "NumClient", "Nom", "Prénom", "Adr1", "Adr2", "cp", "Ville", "tel", "email", "NoRue" }),
        QStringLiteral(");"),
    };
    return shape;
}

const InsertShape& ClientGroupInsertShape()
{
    // Two spaces before VALUES: the column list ends with one and VALUES starts with one.
    static const InsertShape shape {
        QStringLiteral(" INSERT into clientgroupe (numclient,numgroupe) ") + QStringLiteral(" VALUES ("),
        {},
        QStringLiteral(");"),
    };
    return shape;
}

QString RollDelete(const QString& numRole)
{
    return QStringLiteral("DELETE FROM role where numrole=") + numRole;
}

QString InvoiceDelete(const QString& numRole)
{
    return QStringLiteral("DELETE FROM facture where numrole=") + numRole + QLatin1Char(';');
}

QString InvoiceLineDelete(const QString& numRole)
{
    return QStringLiteral("DELETE FROM itemfacture where numrole=") + numRole + QLatin1Char(';');
}

const QString kChildrenDelete = QStringLiteral("DELETE from enfant;");
const QString kClientsDelete = QStringLiteral("DELETE from client;");
const QString kClientGroupsDelete = QStringLiteral("DELETE from clientgroupe;");

InsertStatement::InsertStatement(const InsertShape& shape, const AdoQuery& query)
    : m_shape(shape)
    , m_query(query)
    , m_head(Cp1252::encode(shape.head))
    , m_tail(Cp1252::encode(shape.tail))
{
}

void InsertStatement::lookUpColumns()
{
    m_fields.clear();
    if (m_shape.byPosition()) {
        for (int i = 0; i < m_query.FieldCount(); ++i)
            m_fields.append(m_query.Field(i));
    } else {
        for (const InsertValue& value : m_shape.values)
            m_fields.append(m_query.FieldByName(value.column));
    }
    m_lookedUp = true;
}

void InsertStatement::appendValue(QByteArray& out, const AdoField& field, ValueForm form)
{
    m_value.resize(0);
    switch (form) {
    case ValueForm::Date:
        Cp1252::appendEncoded(m_value, DateTexts::portalDate(field.AsDateTime().date()));
        break;
    case ValueForm::Amount:
        field.AppendAsString(m_value);
        std::replace(m_value.begin(), m_value.end(), ',', '.'); // the decimal comma, as DotDecimal does
        break;
    default:
        field.AppendAsString(m_value);
        break;
    }
    AppendSqlQuoted(out, m_value);
}

void InsertStatement::BuildInto(QByteArray& out)
{
    if (!m_lookedUp)
        lookUpColumns();
    out.resize(0);
    out += m_head;
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        if (i > 0)
            out += ',';
        appendValue(out, m_fields.at(i), m_shape.byPosition() ? ValueForm::Text : m_shape.values.at(i).form);
    }
    out += m_tail;
}

QString InsertStatement::Build()
{
    QByteArray statement;
    BuildInto(statement);
    return Cp1252::decode(statement);
}
