#pragma once

#include <QObject>

class AdoConnection;

// The data module: holds the one connection to the town's database, created
// closed; the main window opens it.
class TDmdMain : public QObject {
    Q_OBJECT
public:
    explicit TDmdMain(QObject* parent = nullptr);
    ~TDmdMain() override;

    AdoConnection* ADOConnection;
};

// The program's data module, set while one exists.
extern TDmdMain* DmdMain;
