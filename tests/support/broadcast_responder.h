// A stand-in agent that hears the loopback broadcast: it listens on
// 127.255.255.255 (shared with others on the same port) and answers gets of
// sysDescr.0 from its own address 127.0.0.N.
#pragma once

#include "snmp_message.h"

#include <QNetworkDatagram>
#include <QObject>
#include <QUdpSocket>

class BroadcastResponder : public QObject
{
public:
    BroadcastResponder(const QString& ownAddress, quint16 port, const QByteArray& description)
        : m_description(description)
    {
        m_listen.bind(QHostAddress(QStringLiteral("127.255.255.255")), port,
                      QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint);
        m_own.bind(QHostAddress(ownAddress), port,
                   QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint);
        for (QUdpSocket* socket : {&m_listen, &m_own})
            connect(socket, &QUdpSocket::readyRead, this, [this, socket] { serve(*socket); });
    }

    bool isBound() const
    {
        return m_listen.state() == QAbstractSocket::BoundState &&
               m_own.state() == QAbstractSocket::BoundState;
    }
    int requestsSeen() const { return m_seen; }
    // Answer only the first n requests (-1: all).
    void answerFirst(int n) { m_answerLimit = n; }

private:
    void serve(QUdpSocket& socket)
    {
        while (socket.hasPendingDatagrams()) {
            const QNetworkDatagram datagram = socket.receiveDatagram();
            const std::optional<SnmpMessage> request = SnmpMessage::decode(datagram.data());
            if (!request || request->variables().count() != 1)
                continue;
            ++m_seen;
            if (m_answerLimit >= 0 && m_seen > m_answerLimit)
                continue;
            SnmpMessage answer;
            answer.setCommunity(request->community());
            answer.setType(SnmpMessage::GetResponse);
            answer.setRequestId(request->requestId());
            SnmpVariable value(request->variables().item(1)->identifier());
            value.setBytes(m_description);
            answer.variables().add(value);
            m_own.writeDatagram(answer.encode(), datagram.senderAddress(),
                                quint16(datagram.senderPort()));
        }
    }

    QByteArray m_description;
    QUdpSocket m_listen;
    QUdpSocket m_own;
    int m_seen = 0;
    int m_answerLimit = -1;
};
