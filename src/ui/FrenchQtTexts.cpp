#include "ui/FrenchQtTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool InstallFrenchQtTexts(QCoreApplication& application)
{
    auto* translator = new QTranslator(&application);
    for (const QString& folder : { QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
             QLibraryInfo::path(QLibraryInfo::TranslationsPath) }) {
        if (translator->load(QStringLiteral("qtbase_fr"), folder))
            return QCoreApplication::installTranslator(translator);
    }
    delete translator;
    return false;
}
