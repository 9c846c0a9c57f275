#include "survey.h"

CSurvey::CSurvey(QObject* parent) : QObject(parent)
{
    m_timer1.setInterval(SurveyEndDelay);
    // Never earlier than the full second after the last answer.
    m_timer1.setTimerType(Qt::PreciseTimer);
    connect(&m_timer1, &QTimer::timeout, this, &CSurvey::timerTick);
    connect(&m_manager, &SnmpManager::response, this, &CSurvey::handleResponse);
    connect(&m_manager, &SnmpManager::error, this, &CSurvey::handleError);
}

bool CSurvey::loadMib()
{
    return m_mib.load(QLatin1String(MibFileName));
}

bool CSurvey::OpenManager()
{
    if (m_manager.isOpen())
        return false;
    m_surveyMode = false;
    m_manager.setTimeout(1000);
    m_lastErrorNumber = 0;
    m_lastErrorText.clear();
    if (m_manager.open(m_trapPort))
        return true;
    Q_EMIT statusText(openErrorText(m_trapPort, m_lastErrorNumber, m_lastErrorText));
    return false;
}

void CSurvey::StartSurvey()
{
    m_surveyMode = true;
    m_responderAddresses.clear();
    m_descriptions.clear();
    m_responderCount = 0;
    Q_EMIT surveyStarted();

    const QString identifier = m_mib.identifierOf(QStringLiteral("sysDescr"));
    if (identifier.isEmpty()) {
        // Without the MIB's translation nothing can be asked.
        m_timer1.stop();
        Q_EMIT statusText(
            m_mib.isLoaded()
                ? tr("sysDescr is not defined in %1").arg(m_mib.loadedPath())
                : tr("Cannot load %1: %2").arg(QLatin1String(MibFileName), m_mib.errorText()));
        return;
    }
    const SnmpVariable variable(identifier + QStringLiteral(".0"));

    m_manager.setTimeout(0);
    m_timer1.start(SurveyEndDelay);

    SnmpMessage& message = m_manager.message();
    message.clear();
    message.setType(SnmpMessage::GetRequest);
    message.setCommunity(QByteArrayLiteral("public"));
    message.setRequestId(++m_requestId);
    message.variables().add(variable);
    m_manager.setRemoteHost(m_broadcast);
    m_manager.setRemotePort(m_agentPort);
    m_manager.send();
}

QString CSurvey::ResponderAddresses(int index) const
{
    return index >= 0 && index < m_responderAddresses.size() ? m_responderAddresses.at(index)
                                                             : QString();
}

void CSurvey::handleResponse()
{
    if (m_surveyMode) {
        const SnmpVariable* first = m_manager.message().variables().item(1);
        const QString description = first ? first->valueText() : QString();
        if (!description.isEmpty() && m_responderCount < MaxResponders) {
            const QString address = m_manager.remoteHost();
            m_descriptions.append(description);
            m_responderAddresses.append(address);
            ++m_responderCount;
            Q_EMIT agentListed(description, address);
        }
    }
    // Every answer postpones the end of the survey.
    m_timer1.stop();
    m_timer1.start(SurveyEndDelay);
}

void CSurvey::handleError(int number, const QString& text)
{
    m_lastErrorNumber = number;
    m_lastErrorText = text;
    if (m_manager.timeout() == 0)
        Q_EMIT asynchronousError(text);
}

void CSurvey::timerTick()
{
    m_timer1.stop();
    Q_EMIT surveyEnded(m_responderCount);
}

QString CSurvey::endText(int agents)
{
    return agents == 0 ? QStringLiteral("No agents found.")
                       : QStringLiteral("Found %1 agents.").arg(agents);
}

QString CSurvey::openErrorText(quint16 port, int number, const QString& description)
{
    if (number == SnmpManager::ErrorAddressInUse)
        return QStringLiteral("Port %1 is in use. Check to to see if another manager is running, "
                              "then restart this one.")
            .arg(port);
    return description;
}
