// Shared fixture of the variable group tests: a device session whose
// requests go over real loopback UDP to a responder that answers with
// crafted values, and a user interface that records every text.
#pragma once

#include "session.h"
#include "snmp_manager.h"
#include "snmp_mib.h"
#include "test_responder.h"

#include <QTest>

#include <functional>
#include <memory>

Q_DECLARE_METATYPE(SnmpVariable)

class RecordingUi : public CSessionUi
{
public:
    void ShowPlainMessage(const QString& text) override { plain << text; }
    void ShowStopMessage(const QString& text) override { stop << text; }
    void SetStatusText(const QString& text) override { status << text; }
    void SetWaitCursor(bool on) override { cursor << on; }
    void clear()
    {
        plain.clear();
        stop.clear();
        status.clear();
        cursor.clear();
    }
    QStringList plain, stop, status;
    QList<bool> cursor;
};

// Values of crafted answers; the responder gives each the identifier of the
// request's variable at the same position.
inline SnmpVariable integerValue(qint64 value)
{
    SnmpVariable v;
    v.setInteger(value);
    return v;
}

inline SnmpVariable bytesValue(const QByteArray& bytes)
{
    SnmpVariable v;
    v.setBytes(bytes);
    return v;
}

inline SnmpVariable ipValue(quint8 a, quint8 b, quint8 c, quint8 d)
{
    SnmpVariable v;
    const char raw[4] = {char(a), char(b), char(c), char(d)};
    v.setBytes(QByteArray(raw, 4), SnmpVariable::IpAddress);
    return v;
}

inline QByteArray hexBytes(const char* hex)
{
    return QByteArray::fromHex(hex);
}

class GroupFixture
{
public:
    // Answers one request: the values to send back (in request order) and
    // the error status.
    using Answer = std::function<QList<SnmpVariable>(const SnmpMessage& request)>;

    GroupFixture()
    {
        static SnmpMib mib;
        if (!mib.isLoaded() && !mib.load(QStringLiteral(QX_MIB_FILE)))
            qFatal("MIB not loaded: %s", qPrintable(mib.errorText()));
        manager = std::make_unique<SnmpManager>();
        if (!manager->open(0))
            qFatal("manager not open");
        responder = std::make_unique<TestResponder>();
        manager->setRemotePort(responder->port());
        session = std::make_unique<CDeviceSession>(manager.get(), &mib, &ui);
        session->m_agentAddress = QStringLiteral("127.0.0.1");
        session->m_community = QStringLiteral("private");
        session->m_debugMode = true;
        QObject::connect(manager.get(), &SnmpManager::response, session.get(),
                         [this] { session->DispatchResponse(); });
    }

    // Every request is answered with these values and this status.
    void answer(const QList<SnmpVariable>& values, int status = 0)
    {
        answerBy([values](const SnmpMessage&) { return values; }, status);
    }

    // Every request is answered by the function (its values, this status).
    void answerBy(Answer values, int status = 0)
    {
        responder->setPolicy([values, status](const SnmpMessage& request) {
            QList<SnmpVariable> answerValues = values(request);
            for (int i = 0; i < answerValues.size(); ++i) {
                const SnmpVariable* asked = request.variables().item(i + 1);
                answerValues[i].setIdentifier(asked ? asked->identifier()
                                                    : QStringLiteral("1.3.6.1.4.1.32473.99.0"));
            }
            return QList<SnmpMessage>{TestResponder::answerTo(request, answerValues, status)};
        });
    }

    // A set-request is answered with its own variables, each passed through
    // change (by position from 1) first.
    void echo(int status = 0,
              std::function<void(int position, SnmpVariable& value)> change = nullptr)
    {
        answerBy(
            [change](const SnmpMessage& request) {
                QList<SnmpVariable> values = request.variables().list();
                if (change)
                    for (int i = 0; i < values.size(); ++i)
                        change(i + 1, values[i]);
                return values;
            },
            status);
    }

    void silent() { responder->setPolicy(nullptr); }

    // Sends one request through the sender and waits until its handler has
    // run. False when no handler ran within the time-out.
    bool exchange(const std::function<int()>& sender)
    {
        const int before = int(responder->requests().size());
        if (!sender())
            return false;
        if (!QTest::qWaitFor([&] { return responder->requests().size() > before; }, 2000))
            return false;
        return QTest::qWaitFor([&] { return !session->m_pendingHandler; }, 2000);
    }

    const SnmpMessage& lastRequest() const { return responder->requests().last(); }
    int requestCount() const { return int(responder->requests().size()); }

    // Identifier (with ".0") of a MIB name, for checking requests.
    QString id(const char* name) const { return session->IdentifierOf(QLatin1String(name)); }

    RecordingUi ui;
    std::unique_ptr<SnmpManager> manager;
    std::unique_ptr<TestResponder> responder;
    std::unique_ptr<CDeviceSession> session;
};

// The names of a request's variables, by identifier, for comparisons.
inline QStringList requestIdentifiers(const SnmpMessage& message)
{
    QStringList ids;
    for (const SnmpVariable& v : message.variables().list())
        ids << v.identifier();
    return ids;
}
