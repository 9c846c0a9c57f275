#include "session.h"

#include "snmp_manager.h"
#include "snmp_mib.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

CDeviceSession::CDeviceSession(SnmpManager* manager, SnmpMib* mib, CSessionUi* ui, QObject* parent)
    : QObject(parent), m_manager(manager), m_mib(mib), m_ui(ui)
{
    // The description of the last component error, for the one sender that
    // shows it (the trap switch read).
    connect(m_manager, &SnmpManager::error, this, [this](int number, const QString& text) {
        m_componentErrorText = text;
        if (number == SnmpManager::ErrorTimedOut)
            m_requestExpired = true;
    });
}

// ---- conversions ----

QString CDeviceSession::BytesToHexText(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QString CDeviceSession::BytesToHexText(const char* bytes, int length)
{
    if (!bytes || length <= 0)
        return QString();
    return BytesToHexText(QByteArray(bytes, length));
}

QByteArray CDeviceSession::HexTextToBytes(const QString& text)
{
    // Pairs from the start; a last single character is ignored. A pair that
    // is not hexadecimal reads as far as its digits go ("%X" semantics).
    QByteArray out;
    const qsizetype count = text.size() / 2;
    out.reserve(count);
    auto digit = [](QChar c) -> int {
        const char16_t u = c.unicode();
        if (u >= '0' && u <= '9')
            return u - '0';
        if (u >= 'a' && u <= 'f')
            return u - 'a' + 10;
        if (u >= 'A' && u <= 'F')
            return u - 'A' + 10;
        return -1;
    };
    for (qsizetype i = 0; i < count; ++i) {
        const int high = digit(text[2 * i]);
        const int low = digit(text[2 * i + 1]);
        int value = 0;
        if (high >= 0)
            value = low >= 0 ? high * 16 + low : high;
        out.append(char(value));
    }
    return out;
}

quint32 CDeviceSession::TextToUnsigned(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    quint64 value = 0;
    for (; i < text.size() && text[i].unicode() >= '0' && text[i].unicode() <= '9'; ++i) {
        value = value * 10 + (text[i].unicode() - '0');
        if (value > 0xffffffffULL)
            return 0xffffffffU; // saturates like the C library conversion
    }
    return quint32(value);
}

QString CDeviceSession::IdentifierOf(const QString& name) const
{
    const QString dotted = m_mib ? m_mib->identifierOf(name) : QString();
    return dotted.isEmpty() ? QString() : dotted + QStringLiteral(".0");
}

// ---- building a request ----

bool CDeviceSession::BeginRequest(RequestKind kind)
{
    return BeginRequest(kind, kind == Read ? GetRequestType : SetRequestType);
}

bool CDeviceSession::BeginRequest(RequestKind kind, int messageType)
{
    if (kind == Read)
        m_getResult = 0;
    else
        m_setResult = 0;
    m_requestExpired = false;
    m_manager->setRemoteHost(m_agentAddress);
    m_manager->setTimeout(kRequestTimeout);
    SnmpMessage& message = m_manager->message();
    message.clear();
    message.setVersion(SnmpMessage::V1);
    message.setCommunity(m_community.toLatin1());
    message.setType(messageType);
    message.setRequestId(m_requestCounter);
    ++m_requestCounter;
    return true;
}

bool CDeviceSession::AddGetVariable(const QString& name)
{
    const QString id = IdentifierOf(name);
    if (id.isEmpty())
        return false;
    SnmpVariable variable(id);
    variable.setNull();
    m_manager->message().variables().add(variable);
    return true;
}

bool CDeviceSession::AddIntegerVariable(const QString& name, quint32 value)
{
    const QString id = IdentifierOf(name);
    if (id.isEmpty())
        return false;
    SnmpVariable variable(id);
    // The value travels as the decimal text of a signed 32-bit integer.
    if (!variable.setIntegerText(QString::number(qint32(value))))
        return false;
    m_manager->message().variables().add(variable);
    return true;
}

bool CDeviceSession::AddByteVariable(const QString& name, const QByteArray& bytes)
{
    const QString id = IdentifierOf(name);
    if (id.isEmpty())
        return false;
    SnmpVariable variable(id);
    // Addresses the MIB declares as IpAddress travel with that syntax.
    const bool ip = m_mib->syntaxOf(name) == SnmpVariable::IpAddress && bytes.size() == 4;
    variable.setBytes(bytes, ip ? SnmpVariable::IpAddress : SnmpVariable::OctetString);
    m_manager->message().variables().add(variable);
    return true;
}

bool CDeviceSession::AddByteVariable(const QString& name, const char* bytes, int length)
{
    return AddByteVariable(name, QByteArray(bytes, qMax(0, length)));
}

bool CDeviceSession::AddTextVariable(const QString& name, const QString& text)
{
    return AddByteVariable(name, text.toLatin1());
}

bool CDeviceSession::AddHexVariable(const QString& name, const QString& hexText)
{
    return AddByteVariable(name, HexTextToBytes(hexText));
}

int CDeviceSession::FinishRequest(Handler handler, const char* handlerName, RequestKind kind)
{
    m_pendingHandler = PendingHandler{handler, handlerName, kind};
    return m_manager->send() ? 1 : 0;
}

int CDeviceSession::FinishRequestWithoutHandler()
{
    m_pendingHandler = PendingHandler{};
    return m_manager->send() ? 1 : 0;
}

// ---- answers ----

void CDeviceSession::DispatchResponse()
{
    const SnmpMessage& answer = m_manager->message();
    if (!m_pendingHandler || answer.requestId() != m_requestCounter - 1)
        return;
    // An answer counts only when it comes from the agent the request went to,
    // and only while the request still waits for it.
    if (m_manager->remoteHost() != m_agentAddress || m_requestExpired)
        return;
    const PendingHandler handler = m_pendingHandler;
    try {
        (this->*handler.function)();
    } catch (const ComponentError&) {
        if (handler.kind == Read)
            m_getResult = 0;
        else
            m_setResult = 0;
        UnexpectedError(handler.name);
    }
    m_pendingHandler = PendingHandler{};
    Q_EMIT AnswerHandled();
}

bool CDeviceSession::Refuses() const
{
    return m_manager->busy() == 1 || m_sessionState == StateReading ||
           m_sessionState == StateWriting;
}

void CDeviceSession::WaitForAnswer()
{
    if (!m_pendingHandler)
        return;
    // Sleeps in the event loop until the handler has run or the manager's
    // time-out has passed; other events (timers, commands) run meanwhile.
    // Each round handles what woke it and comes back here, so the answer's
    // own handling ends the wait: nothing has to wake the loop to leave it,
    // and a request costs little more than its two datagrams.
    bool handled = false, timedOut = false;
    const QMetaObject::Connection onHandled =
        connect(this, &CDeviceSession::AnswerHandled, this, [&handled] { handled = true; });
    const QMetaObject::Connection onError =
        connect(m_manager, &SnmpManager::error, this, [&timedOut](int number, const QString&) {
            if (number == SnmpManager::ErrorTimedOut)
                timedOut = true;
        });
    // In case the manager's own time-out never comes.
    QTimer limit;
    limit.setSingleShot(true);
    limit.start(kRequestTimeout + 100);
    while (!handled && !timedOut && limit.isActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    disconnect(onHandled);
    disconnect(onError);
    if (m_pendingHandler)
        m_requestExpired = true;
}

bool CDeviceSession::RunSynchronous(RequestKind kind, Sender sender, int attempts,
                                    const QString& refusalText)
{
    return RunSynchronous(
        kind, [this, sender] { return (this->*sender)(); }, attempts, refusalText);
}

bool CDeviceSession::RunSynchronous(RequestKind kind, const std::function<int()>& sender,
                                    int attempts, const QString& refusalText)
{
    return RunAttempts(
        kind, sender, attempts, [this] { return Refuses(); }, refusalText);
}

bool CDeviceSession::RunAttempts(RequestKind kind, const std::function<int()>& sender, int attempts,
                                 const std::function<bool()>& refuses, const QString& refusalText)
{
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (refuses()) {
            if (!refusalText.isEmpty())
                m_ui->SetStatusText(refusalText);
            return false;
        }
        m_sessionState = kind == Read ? StateReading : StateWriting;
        // A sender that reports 0 has sent nothing: there is no answer to
        // wait for, and the result flag it cleared stays 0.
        if (sender())
            WaitForAnswer();
        m_sessionState = StateIdle;
        if ((kind == Read ? m_getResult : m_setResult) == 1)
            return true;
    }
    return false;
}

const SnmpVariable& CDeviceSession::AnswerVariable(int position) const
{
    const SnmpVariable* variable = m_manager->message().variables().item(position);
    if (!variable)
        throw ComponentError{};
    return *variable;
}

QString CDeviceSession::AnswerText(int position) const
{
    return AnswerVariable(position).valueText();
}

quint32 CDeviceSession::AnswerUnsigned(int position) const
{
    return TextToUnsigned(AnswerText(position));
}

QByteArray CDeviceSession::AnswerBytes(int position) const
{
    return AnswerVariable(position).valueBytes();
}

int CDeviceSession::AnswerErrorStatus() const
{
    return m_manager->message().errorStatus();
}

void CDeviceSession::ShowDiagnostic(const QString& text) const
{
    if (m_debugMode)
        m_ui->ShowPlainMessage(text);
}

void CDeviceSession::UnexpectedError(const char* handlerName) const
{
    ShowDiagnostic(QStringLiteral("Unexpected Error on ") + QLatin1String(handlerName));
}

bool CDeviceSession::Accept(bool ok, const char* text)
{
    if (ok)
        return true;
    ShowDiagnostic(QLatin1String(text));
    m_getResult = 0;
    return false;
}

void CDeviceSession::ResultFromStatus(RequestKind kind, const char* handlerName)
{
    const quint32 result = AnswerErrorStatus() == 0 ? 1 : 0;
    if (kind == Read)
        m_getResult = result;
    else
        m_setResult = result;
    if (!result)
        UnexpectedError(handlerName);
}
