// Command line of trelling: --trap-port N (the local port its manager
// listens on, 162), --agent-port N (where agents are asked, 161) and
// --broadcast ADDR (where the survey goes, 255.255.255.255).
#pragma once

#include <QString>
#include <QStringList>

struct TrellingOptions {
    quint16 trapPort = 162;
    quint16 agentPort = 161;
    QString broadcast = QStringLiteral("255.255.255.255");
};

struct TrellingCommandLine {
    TrellingOptions options;
    bool helpRequested = false;
    QString helpText;
    QString errorText; // not empty: the command line is wrong
};

// Reads the arguments (the program name first, as QCoreApplication::arguments()
// gives them).
TrellingCommandLine parseTrellingCommandLine(const QStringList& arguments);
