// Sends prepared datagrams to a UDP port from a thread of its own, each from
// the source address it names, at a given rate (0: as fast as possible).
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QThread>
#include <QUdpSocket>

#include <atomic>
#include <chrono>
#include <thread>

class DatagramSender : public QThread
{
public:
    struct Datagram {
        QHostAddress source;
        QByteArray bytes;
    };

    DatagramSender(QList<Datagram> datagrams, quint16 port, int perSecond)
        : m_datagrams(std::move(datagrams)), m_port(port), m_perSecond(perSecond)
    {
    }
    ~DatagramSender() override { wait(); }

    int sent() const { return m_sent; }

protected:
    void run() override
    {
        QHash<QString, QUdpSocket*> sockets;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < m_datagrams.size(); ++i) {
            const Datagram& d = m_datagrams[i];
            QUdpSocket*& socket = sockets[d.source.toString()];
            if (!socket) {
                socket = new QUdpSocket;
                socket->bind(d.source, 0);
            }
            if (m_perSecond > 0)
                std::this_thread::sleep_until(start + std::chrono::microseconds(
                                                          qint64(i) * 1000000 / m_perSecond));
            if (socket->writeDatagram(d.bytes, QHostAddress::LocalHost, m_port) == d.bytes.size())
                ++m_sent;
        }
        qDeleteAll(sockets);
    }

private:
    QList<Datagram> m_datagrams;
    quint16 m_port;
    int m_perSecond;
    std::atomic<int> m_sent{0};
};
