#include "trap_recorder.h"

#include "session.h"

#include <functional>

namespace {

const char* const kSeparator = "\r\n====================================\r\n\r\n";

} // namespace

CTrapRecorder::CTrapRecorder(CDeviceSession* session, QObject* parent)
    : QObject(parent), m_session(session)
{
    connect(&m_trapManager, &SnmpManager::trapReceived, this, &CTrapRecorder::OnTrap);
    connect(&m_trapManager, &SnmpManager::error, this, [this](int number, const QString& text) {
        m_lastErrorNumber = number;
        m_lastErrorText = text;
    });
}

CTrapRecorder::CreateResult CTrapRecorder::Create(quint16 trapPort, const QString& mibFile)
{
    if (!m_trapManager.isOpen()) {
        m_trapManager.setTimeout(1000);
        if (!m_trapManager.open(trapPort, QString()))
            return ListenFailed;
    }
    if (!m_trapMib.load(mibFile))
        return CreateFailed;
    return Created;
}

QString CTrapRecorder::ListenFailureText() const
{
    if (m_lastErrorNumber == SnmpManager::ErrorAddressInUse)
        return QStringLiteral("Port 162 is in use. Check to to see if another manager is "
                              "running, then restart this one.");
    return QStringLiteral("Undetermined Error! Not Listening.");
}

QString CTrapRecorder::FormatTrap(const SnmpMessage& trap, const QString& source,
                                  const QTime& time, const SnmpMib& mib)
{
    const QString sep = QLatin1String(kSeparator);
    QString text = QStringLiteral("Trap received @ %1:%2:%3 from host %4\r\n")
                       .arg(time.hour())
                       .arg(time.minute())
                       .arg(time.second())
                       .arg(source);
    const int t = trap.trapCode();
    text += mib.nodeName(t);

    QString before;
    std::function<QString(const SnmpVariable&)> line;
    auto hex = [](const SnmpVariable& v) { return CDeviceSession::BytesToHexText(v.valueBytes()); };
    switch (t) {
    case 6:
    case 22:
        line = [&](const SnmpVariable&) { return sep; };
        break;
    case 7:
        line = [&](const SnmpVariable& v) {
            return QStringLiteral("The new IP Address : ") + v.valueText() + sep;
        };
        break;
    case 8:
    case 9:
    case 10:
        before = sep;
        line = [&](const SnmpVariable&) { return sep; };
        break;
    case 11:
    case 12:
    case 13:
    case 14:
    case 15:
    case 16:
    case 17:
        line = [&](const SnmpVariable& v) { return QStringLiteral("BSSID : ") + hex(v) + sep; };
        break;
    case 18:
    case 19:
    case 20:
        before = sep;
        [[fallthrough]];
    default:
        line = [&](const SnmpVariable& v) {
            return QStringLiteral("Station Mac Address : ") + hex(v) + sep;
        };
        break;
    }
    text += before;
    for (const SnmpVariable& variable : trap.variables().list())
        text += line(variable);
    return text;
}

void CTrapRecorder::OnTrap()
{
    // Only traps from the connected access point, once its configuration
    // has been read, are recorded.
    if (m_trapManager.remoteHost() != m_session->m_agentAddress || !m_session->m_answered ||
        !m_session->m_configRead)
        return;
    ++m_session->m_trapCount;
    const QString text = FormatTrap(m_trapManager.message(), m_trapManager.remoteHost(),
                                    QTime::currentTime(), m_trapMib);
    m_log += text;
    Q_EMIT TrapLogged(m_session->m_trapCount, text);
}
