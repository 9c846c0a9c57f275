// The control line protocol through which tests and users trigger device events on
// demand (see README.md): one command per line, one answer line per command.
#pragma once

#include <QObject>
#include <QString>

class ApAgent;
class ApDevice;
class QSocketNotifier;
class QUdpSocket;

class ApControl : public QObject
{
    Q_OBJECT

public:
    ApControl(ApDevice* device, ApAgent* agent, QObject* parent = nullptr);

    // Runs one command line and returns its answer ("ok ..." or "error ...").
    QString execute(const QString& line);

    // Reads command lines from standard input; answers go to standard output.
    void listenOnStdin();
    // Reads command lines from UDP datagrams on address:port; answers go back to the sender.
    bool listenOnUdp(const QString& address, quint16 port, QString* error);

Q_SIGNALS:
    void quitRequested();

private:
    void readStdin();

    ApDevice* m_device;
    ApAgent* m_agent;
    QSocketNotifier* m_stdin = nullptr;
    QByteArray m_stdinBuffer;
    QUdpSocket* m_udp = nullptr;
};
