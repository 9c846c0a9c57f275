#include "discovery.h"

#include "session.h"
#include "snmp_manager.h"

CDiscovery::CDiscovery(CDeviceSession* session, quint16 agentPort, const QString& broadcast,
                       QObject* parent)
    : QObject(parent), m_session(session), m_agentPort(agentPort), m_broadcast(broadcast)
{
    m_probeTimer.setInterval(kTimerPeriod);
    connect(&m_probeTimer, &QTimer::timeout, this, &CDiscovery::OnTimerTick);
}

void CDiscovery::Probe(const QString& address, const QString& community)
{
    m_targetAddress = address;
    m_session->m_community = community;
    m_session->Ui()->SetStatusText(QStringLiteral("Finding Access Point..."));
    m_probeTimer.start();

    SnmpManager* manager = m_session->Manager();
    if (manager->busy() == 1 || m_session->m_sessionState == CDeviceSession::StateReading ||
        m_session->m_sessionState == CDeviceSession::StateWriting)
        return;   // the timer counts this as an attempt

    m_session->m_answered = false;
    const QString identifier = m_session->IdentifierOf(QStringLiteral("sysDescr"));
    if (identifier.isEmpty())
        return;   // the timer decides as if no answer came
    manager->setTimeout(CDeviceSession::kRequestTimeout);
    manager->setRemoteHost(address);
    manager->setRemotePort(m_agentPort);
    SnmpMessage& message = manager->message();
    message.clear();
    message.setVersion(SnmpMessage::V1);
    message.setCommunity(community.toLatin1());
    SnmpVariable variable(identifier);
    variable.setNull();
    message.variables().add(variable);
    message.setType(SnmpMessage::GetRequest);
    message.setRequestId(m_session->m_requestCounter);
    ++m_session->m_requestCounter;
    manager->send();   // a failure is left to the timer
}

void CDiscovery::StartConnect(const QString& address, const QString& community,
                              int authorityIndex)
{
    m_session->m_retryCount = 0;
    m_connecting = true;
    m_session->m_authority = authorityIndex != 0 ? 1 : 0;
    Probe(address, community);
}

void CDiscovery::StartScan(quint8 retryCount)
{
    m_session->m_retryCount = retryCount;
    m_scanning = true;
    m_foundCount = 0;
    m_foundList.clear();
    Probe(m_broadcast, QStringLiteral("public"));
}

bool CDiscovery::OnResponse()
{
    SnmpManager* manager = m_session->Manager();
    const SnmpMessage& answer = manager->message();
    if (m_connecting && !m_session->m_answered) {
        if (answer.errorStatus() != 0)
            return true;
        const SnmpVariable* first = answer.variables().item(1);
        m_sysDescr = first ? first->valueText() : QString();
        m_probeTimer.stop();
        m_session->m_agentAddress = manager->remoteHost();
        m_connecting = false;
        m_session->m_answered = true;
        m_session->Ui()->SetStatusText(QStringLiteral("Access Point found..."));
        Q_EMIT AccessPointFound(m_sysDescr);
        return true;
    }
    if (m_connecting)
        return true;
    if (m_scanning) {
        if (answer.errorStatus() != 0)
            return true;
        m_session->m_answered = true;
        const QString address = manager->remoteHost();
        for (int i = 0; i < m_foundCount; ++i) {
            if (m_foundList[i].address == address)
                return true;
        }
        if (m_foundCount >= kMaxFound)
            return true;
        const SnmpVariable* first = answer.variables().item(1);
        m_foundList.append({first ? first->valueText() : QString(), address});
        ++m_foundCount;
        return true;
    }
    return false;
}

void CDiscovery::OnTimerTick()
{
    if (m_scanning) {
        if (m_session->m_retryCount < 4) {
            ++m_session->m_retryCount;
            Probe(m_targetAddress, m_session->m_community);
        } else {
            m_probeTimer.stop();
            m_scanning = false;
            Verdict(m_session->m_answered);
        }
        return;
    }
    if (m_connecting) {
        if (m_session->m_answered) {
            m_probeTimer.stop();
            m_connecting = false;
        } else if (m_session->m_retryCount < 4) {
            ++m_session->m_retryCount;
            Probe(m_targetAddress, m_session->m_community);
        } else {
            m_probeTimer.stop();
            m_connecting = false;
            Verdict(false);
        }
    }
}

void CDiscovery::Verdict(bool found)
{
    if (found) {
        m_session->Ui()->SetStatusText(QStringLiteral("Access Point found..."));
        Q_EMIT ScanSucceeded();
    } else {
        m_session->Ui()->SetStatusText(QStringLiteral("Access Point not found..."));
        Q_EMIT AccessPointNotFound();
    }
}
