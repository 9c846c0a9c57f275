// halvane's request machinery without widgets, as the benchmarks drive it:
// the main manager, the MIB, the device session and the configuration
// transfer, wired the way the main window wires them.
#pragma once

#include "bench_common.h"
#include "config_transfer.h"
#include "session.h"
#include "snmp_manager.h"
#include "snmp_mib.h"

#include <QStringList>

namespace bench {

// What the session shows: kept as text, so that a benchmark can tell a
// failed operation from a finished one.
class RecordingUi : public CSessionUi
{
public:
    void ShowPlainMessage(const QString& text) override { m_messages.append(text); }
    void ShowStopMessage(const QString& text) override { m_messages.append(text); }
    void SetStatusText(const QString& text) override { m_status = text; }
    QStringList m_messages;
    QString m_status;
};

class CoreSession
{
public:
    CoreSession(const Apsim& agent, const QString& community, int authority)
        : m_session(&m_manager, &m_mib, &m_ui), m_transfer(&m_session)
    {
        if (!m_mib.load(QStringLiteral("QX9304.mib")))
            fail(QStringLiteral("MIB: %1").arg(m_mib.errorText()));
        m_manager.setTimeout(CDeviceSession::kRequestTimeout);
        if (!m_manager.open(0, QString()))
            fail(QStringLiteral("the manager cannot open a port"));
        // The connection procedure sets these after the device answered.
        m_manager.setRemotePort(agent.port());
        m_session.m_agentAddress = agent.address();
        m_session.m_community = community;
        m_session.m_authority = authority;
        m_session.m_answered = true;
        QObject::connect(&m_manager, &SnmpManager::response, &m_session,
                         &CDeviceSession::DispatchResponse);
    }

    CDeviceSession& session() { return m_session; }
    CConfigTransfer& transfer() { return m_transfer; }
    RecordingUi& ui() { return m_ui; }

private:
    SnmpManager m_manager;
    SnmpMib m_mib;
    RecordingUi m_ui;
    CDeviceSession m_session;
    CConfigTransfer m_transfer;
};

} // namespace bench
