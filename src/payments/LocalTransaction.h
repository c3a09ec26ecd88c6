#pragma once

class AdoConnection;

// A transaction on the town's database for the statements run while it
// lives: they all take effect at Commit, or none of them does. Leaving the
// scope without a commit (an error ended the run) rolls them back.
class LocalTransaction {
public:
    // Opens the connection when it is closed, then begins.
    explicit LocalTransaction(AdoConnection& connection);
    ~LocalTransaction();
    LocalTransaction(const LocalTransaction&) = delete;
    LocalTransaction& operator=(const LocalTransaction&) = delete;

    void Commit();

private:
    AdoConnection& m_connection;
    bool m_open = false;
};
