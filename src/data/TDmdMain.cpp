#include "data/TDmdMain.h"

#include "data/AdoConnection.h"

TDmdMain* DmdMain = nullptr;

TDmdMain::TDmdMain(QObject* parent) : QObject(parent), ADOConnection(new AdoConnection(this))
{
    setObjectName(QStringLiteral("DmdMain"));
    ADOConnection->setObjectName(QStringLiteral("ADOConnection"));
    DmdMain = this;
}

TDmdMain::~TDmdMain()
{
    if (DmdMain == this)
        DmdMain = nullptr;
}
