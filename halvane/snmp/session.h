// The device session: where requests go, the request counter, the handler
// that waits for an answer, the results of the last read and write, and the
// cache of every variable group of the access point. The main window owns one
// and shows it; everything here works without widgets.
#pragma once

#include "session_ui.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class SnmpManager;
class SnmpMib;
class SnmpVariable;

class CDeviceSession : public QObject
{
    Q_OBJECT

public:
    // Values of m_sessionState.
    enum SessionState : quint8 { StateReading = 1, StateWriting = 2, StateIdle = 3 };
    enum RequestKind { Read, Write };
    // Message types of requests.
    enum { GetRequestType = 32, SetRequestType = 35 };
    // The manager's time-out for every request, in milliseconds.
    static constexpr int kRequestTimeout = 1000;

    using Handler = void (CDeviceSession::*)();
    // The response handler waiting for the next matching answer.
    struct PendingHandler {
        Handler function = nullptr;
        const char* name = nullptr;   // the name the diagnostic texts carry
        RequestKind kind = Read;
        explicit operator bool() const { return function != nullptr; }
    };
    using Sender = int (CDeviceSession::*)();

    CDeviceSession(SnmpManager* manager, SnmpMib* mib, CSessionUi* ui, QObject* parent = nullptr);

    SnmpManager* Manager() const { return m_manager; }
    SnmpMib* Mib() const { return m_mib; }

    // ---- conversions ----
    static QString BytesToHexText(const QByteArray& bytes);
    static QString BytesToHexText(const char* bytes, int length);
    static QByteArray HexTextToBytes(const QString& text);
    // Unsigned decimal reading of an answer's text: leading blanks skipped,
    // stop at the first non-digit, no digits give 0.
    static quint32 TextToUnsigned(const QString& text);
    // MIB name to dotted identifier plus ".0"; empty when the MIB has no
    // such name.
    QString IdentifierOf(const QString& name) const;

    // ---- building a request (the sender steps) ----
    // Steps 1 to 7: clear the result flag, address, time-out, clear the
    // message, community, type, request identifier.
    bool BeginRequest(RequestKind kind);
    bool AddGetVariable(const QString& name);
    bool AddIntegerVariable(const QString& name, quint32 value);
    bool AddByteVariable(const QString& name, const QByteArray& bytes);
    bool AddByteVariable(const QString& name, const char* bytes, int length);
    bool AddTextVariable(const QString& name, const QString& text);
    bool AddHexVariable(const QString& name, const QString& hexText);
    // Steps 9 and 10: name the handler and send. Returns 1, or 0 when the
    // component reported an error.
    int FinishRequest(Handler handler, const char* handlerName, RequestKind kind);
    // Same, for a request that expects no handler (the site survey start).
    int FinishRequestWithoutHandler();

    // ---- answers ----
    // Runs the pending handler when the answer just received matches the
    // last request; any other answer is ignored.
    void DispatchResponse();
    // Runs a synchronous runner: the session-state checks, the sender, the
    // wait for the answer, then the result; up to attempts times. A refusal
    // shows refusalText (if any) in pane 0 and fails at once.
    bool RunSynchronous(RequestKind kind, Sender sender, int attempts,
                        const QString& refusalText = QString());
    // Waits for the pending handler to run, dispatching events, at most
    // for the manager's time-out. Returns at once when nothing is pending.
    void WaitForAnswer();
    bool Refuses() const;

    // Reading the answer being handled. A missing variable is a component
    // error: it throws ComponentError, which the dispatch turns into the
    // handler's "Unexpected Error on" path.
    struct ComponentError {};
    const SnmpVariable& AnswerVariable(int position) const;
    QString AnswerText(int position) const;
    quint32 AnswerUnsigned(int position) const;
    QByteArray AnswerBytes(int position) const;
    int AnswerErrorStatus() const;

    // Diagnostics (debug mode only).
    void ShowDiagnostic(const QString& text) const;
    void UnexpectedError(const char* handlerName) const;
    CSessionUi* Ui() const { return m_ui; }

    // ---- session members ----
    QString m_agentAddress;
    QString m_community;
    qint32 m_requestCounter = 0;
    PendingHandler m_pendingHandler;
    quint32 m_getResult = 0;
    quint32 m_setResult = 0;
    quint8 m_sessionState = StateIdle;
    quint8 m_retryCount = 0;
    qint32 m_lastError = 0;
    int m_authority = 0;          // 0 User, 1 Administrator
    bool m_debugMode = false;     // program-wide diagnostic switch

    // ---- connection state kept beside the session ----
    bool m_answered = false;      // the probed agent has answered (discovery)
    quint8 m_configRead = 0;      // set by the first successful Get Configuration
    int m_trapCount = 0;          // traps recorded since the counter was cleared

Q_SIGNALS:
    // A pending handler has run (the wait of a runner ends).
    void AnswerHandled();

private:
    SnmpManager* m_manager;
    SnmpMib* m_mib;
    CSessionUi* m_ui;
};
