// A relay between the manager and a real agent that misbehaves on purpose:
// it listens where the manager sends its requests, passes each request on to
// the agent, and delivers the agent's answer back in one of several hostile
// ways (duplicated with other values, forged from another address first,
// or only from another address).
#pragma once

#include "snmp_message.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QObject>
#include <QUdpSocket>

#include <functional>
#include <memory>

class HostileRelay : public QObject
{
public:
    enum Mode {
        Faithful,           // the answer as the agent gave it
        DuplicateAltered,   // the answer, then a copy with the same identifier and other values
        ForgedFirst,        // a forged copy from another address, then the answer
        OnlyFromElsewhere,  // the answer, but from another address
    };

    // Listens on listenAddress (any free port) and relays to agent:agentPort.
    HostileRelay(const QHostAddress& listenAddress, const QHostAddress& agent, quint16 agentPort,
                 const QHostAddress& elsewhere = QHostAddress(QStringLiteral("127.0.0.2")))
        : m_agent(agent), m_agentPort(agentPort)
    {
        m_front.bind(listenAddress, 0);
        m_back.bind(QHostAddress::LocalHost, 0);
        m_elsewhere.bind(elsewhere, 0);
        connect(&m_front, &QUdpSocket::readyRead, this, [this] {
            while (m_front.hasPendingDatagrams()) {
                const QNetworkDatagram request = m_front.receiveDatagram();
                m_manager = request.senderAddress();
                m_managerPort = quint16(request.senderPort());
                m_back.writeDatagram(request.data(), m_agent, m_agentPort);
                ++m_requests;
            }
        });
        connect(&m_back, &QUdpSocket::readyRead, this, [this] {
            while (m_back.hasPendingDatagrams())
                deliver(m_back.receiveDatagram().data());
        });
    }

    quint16 port() const { return m_front.localPort(); }
    void setMode(Mode mode) { m_mode = mode; }
    int requests() const { return m_requests; }
    int forged() const { return m_forged; }

    // The value every variable of a forged or altered copy carries.
    static SnmpVariable forgedValue()
    {
        SnmpVariable value;
        value.setInteger(13);
        return value;
    }

private:
    void deliver(const QByteArray& answer)
    {
        const QByteArray altered = alteredCopy(answer);
        switch (m_mode) {
        case Faithful:
            m_front.writeDatagram(answer, m_manager, m_managerPort);
            break;
        case DuplicateAltered:
            m_front.writeDatagram(answer, m_manager, m_managerPort);
            m_front.writeDatagram(altered, m_manager, m_managerPort);
            ++m_forged;
            break;
        case ForgedFirst:
            m_elsewhere.writeDatagram(altered, m_manager, m_managerPort);
            m_front.writeDatagram(answer, m_manager, m_managerPort);
            ++m_forged;
            break;
        case OnlyFromElsewhere:
            m_elsewhere.writeDatagram(answer, m_manager, m_managerPort);
            ++m_forged;
            break;
        }
    }

    // The same answer (identifier, status, variable names) with every value
    // replaced by the forged one.
    static QByteArray alteredCopy(const QByteArray& answer)
    {
        std::optional<SnmpMessage> message = SnmpMessage::decode(answer);
        if (!message)
            return answer;
        SnmpMessage copy = *message;
        copy.variables().clear();
        for (const SnmpVariable& v : message->variables().list()) {
            SnmpVariable forged = forgedValue();
            forged.setIdentifier(v.identifier());
            copy.variables().add(forged);
        }
        return copy.encode();
    }

    QUdpSocket m_front;     // where the manager's requests arrive
    QUdpSocket m_back;      // towards the agent
    QUdpSocket m_elsewhere; // a host the manager never asked
    QHostAddress m_agent;
    quint16 m_agentPort;
    QHostAddress m_manager;
    quint16 m_managerPort = 0;
    Mode m_mode = Faithful;
    int m_requests = 0;
    int m_forged = 0;
};
