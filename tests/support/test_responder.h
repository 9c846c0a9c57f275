// A tiny SNMP responder on a real loopback UDP socket for tests: it decodes
// each request and answers as the test tells it to.
#pragma once

#include "snmp_message.h"

#include <QHostAddress>
#include <QList>
#include <QNetworkDatagram>
#include <QObject>
#include <QUdpSocket>
#include <functional>

class TestResponder : public QObject
{
public:
    // Returns the answers to send for one request (none: stay silent).
    using Policy = std::function<QList<SnmpMessage>(const SnmpMessage& request)>;

    explicit TestResponder(const QHostAddress& address = QHostAddress::LocalHost)
    {
        m_socket.bind(address, 0);
        connect(&m_socket, &QUdpSocket::readyRead, this, [this] {
            while (m_socket.hasPendingDatagrams()) {
                const QNetworkDatagram datagram = m_socket.receiveDatagram();
                const std::optional<SnmpMessage> request = SnmpMessage::decode(datagram.data());
                if (!request)
                    continue;
                m_requests.append(*request);
                if (!m_policy)
                    continue;
                for (const SnmpMessage& answer : m_policy(*request))
                    m_socket.writeDatagram(answer.encode(), datagram.senderAddress(),
                                           quint16(datagram.senderPort()));
            }
        });
    }

    quint16 port() const { return m_socket.localPort(); }
    QString address() const { return m_socket.localAddress().toString(); }
    void setPolicy(Policy policy) { m_policy = std::move(policy); }
    const QList<SnmpMessage>& requests() const { return m_requests; }

    // The answer an agent gives: the request's variables with the given
    // values, same identifier, error status as given.
    static SnmpMessage answerTo(const SnmpMessage& request, const QList<SnmpVariable>& values,
                                int errorStatus = 0)
    {
        SnmpMessage answer;
        answer.setVersion(request.version());
        answer.setCommunity(request.community());
        answer.setType(SnmpMessage::GetResponse);
        answer.setRequestId(request.requestId());
        answer.setErrorStatus(errorStatus);
        for (const SnmpVariable& v : values)
            answer.variables().add(v);
        return answer;
    }

private:
    QUdpSocket m_socket;
    Policy m_policy;
    QList<SnmpMessage> m_requests;
};
