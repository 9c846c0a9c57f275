#include "ap_control.h"

#include "ap_agent.h"
#include "ap_device.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QSocketNotifier>
#include <QUdpSocket>

#include <cstdio>
#include <unistd.h>

namespace
{

QString formatValue(const ApVariable& var, const ApValue& value)
{
    switch (var.kind) {
    case ApKind::Integer:
    case ApKind::Gauge:
    case ApKind::TimeTicks:
        return QString::number(value.integer);
    case ApKind::Text:
    case ApKind::ObjectId:
        return QString::fromUtf8(value.bytes);
    case ApKind::IpAddress:
        if (value.bytes.size() == 4)
            return QStringLiteral("%1.%2.%3.%4")
                .arg(quint8(value.bytes[0]))
                .arg(quint8(value.bytes[1]))
                .arg(quint8(value.bytes[2]))
                .arg(quint8(value.bytes[3]));
        return QString();
    case ApKind::Octets:
        return QString::fromLatin1(value.bytes.toHex().toUpper());
    }
    return QString();
}

bool parseValue(const ApVariable& var, const QString& text, ApValue* out)
{
    switch (var.kind) {
    case ApKind::Integer:
    case ApKind::Gauge:
    case ApKind::TimeTicks: {
        bool ok = false;
        out->integer = text.toLongLong(&ok);
        return ok;
    }
    case ApKind::Text:
        out->bytes = text.toUtf8();
        return true;
    case ApKind::IpAddress: {
        const QHostAddress a(text);
        if (a.protocol() != QAbstractSocket::IPv4Protocol)
            return false;
        const quint32 ip = a.toIPv4Address();
        out->bytes = QByteArray(4, '\0');
        for (int i = 0; i < 4; ++i)
            out->bytes[i] = char((ip >> (24 - 8 * i)) & 0xff);
        return true;
    }
    case ApKind::Octets: {
        const QByteArray hex = text.toLatin1();
        out->bytes = QByteArray::fromHex(hex);
        return out->bytes.toHex() == hex.toLower();
    }
    case ApKind::ObjectId:
        return false;
    }
    return false;
}

QString errorName(ApError e)
{
    switch (e) {
    case ApError::None:
        return QStringLiteral("none");
    case ApError::NoSuchName:
        return QStringLiteral("no such variable");
    case ApError::NotWritable:
        return QStringLiteral("read-only");
    case ApError::WrongType:
        return QStringLiteral("wrong type");
    case ApError::WrongLength:
        return QStringLiteral("wrong length");
    case ApError::WrongValue:
        return QStringLiteral("value out of range");
    case ApError::Inconsistent:
        return QStringLiteral("inconsistent with the device's state");
    }
    return QString();
}

bool onOff(const QString& word, bool* out)
{
    if (word == QLatin1String("on")) {
        *out = true;
        return true;
    }
    if (word == QLatin1String("off")) {
        *out = false;
        return true;
    }
    return false;
}

const char* const kHelp =
    "ok commands: trap N [MAC|IP] | join MAC | leave MAC | stations | survey | upload | reset | "
    "defaults | link up|down | get NAME | set NAME VALUE | fault drop PERCENT | fault delay MS | "
    "fault wrong-id on|off | fault wrong-port on|off | fault silent on|off | "
    "fault bad-length NAME|none | fault bad-value NAME|none | status | quit";

} // namespace

ApControl::ApControl(ApDevice* device, ApAgent* agent, QObject* parent)
    : QObject(parent), m_device(device), m_agent(agent)
{
}

QString ApControl::execute(const QString& line)
{
    const QString trimmed = line.trimmed();
    const QStringList words = trimmed.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return QStringLiteral("error empty command");
    const QString& command = words[0];
    const auto arg = [&](int i) { return i < words.size() ? words[i] : QString(); };
    const auto err = [](const QString& text) { return QStringLiteral("error ") + text; };

    if (command == QLatin1String("help"))
        return QString::fromLatin1(kHelp);
    if (command == QLatin1String("quit")) {
        Q_EMIT quitRequested();
        return QStringLiteral("ok bye");
    }
    if (command == QLatin1String("status")) {
        return QStringLiteral("ok %1 requests %2 stations %3 test-mode %4")
            .arg(m_device->isRunning() ? QStringLiteral("running") : QStringLiteral("restarting"))
            .arg(m_agent ? m_agent->requestCount() : 0)
            .arg(m_device->associatedStations().size())
            .arg(m_device->testMode() ? QStringLiteral("on") : QStringLiteral("off"));
    }
    if (!m_device->isRunning() && command != QLatin1String("get") &&
        command != QLatin1String("fault"))
        return err(QStringLiteral("device is restarting"));

    if (command == QLatin1String("trap")) {
        bool ok = false;
        const int code = arg(1).toInt(&ok);
        QByteArray value;
        if (!arg(2).isEmpty()) {
            value = apParseMac(arg(2));
            const QHostAddress ip(arg(2));
            if (value.isEmpty() && ip.protocol() == QAbstractSocket::IPv4Protocol) {
                const quint32 v = ip.toIPv4Address();
                value = QByteArray(4, '\0');
                for (int i = 0; i < 4; ++i)
                    value[i] = char((v >> (24 - 8 * i)) & 0xff);
            }
            if (value.isEmpty())
                return err(QStringLiteral("bad trap value ") + arg(2));
        }
        if (!ok || !m_device->raiseTrap(code, value))
            return err(QStringLiteral("trap number must be 6 to 22"));
        return QStringLiteral("ok trap %1").arg(code);
    }
    if (command == QLatin1String("join") || command == QLatin1String("leave")) {
        const QByteArray mac = apParseMac(arg(1));
        if (mac.isEmpty())
            return err(QStringLiteral("bad MAC address"));
        if (command == QLatin1String("join"))
            m_device->associate(mac);
        else
            m_device->disassociate(mac);
        return QStringLiteral("ok %1 %2")
            .arg(m_device->associatedStations().contains(mac) ? QStringLiteral("associated")
                                                              : QStringLiteral("not-associated"),
                 apMacText(mac));
    }
    if (command == QLatin1String("stations")) {
        QStringList macs;
        for (const QByteArray& mac : m_device->associatedStations())
            macs.append(apMacText(mac));
        return QStringLiteral("ok %1 %2")
            .arg(macs.size())
            .arg(macs.join(QLatin1Char(' ')))
            .trimmed();
    }
    if (command == QLatin1String("survey")) {
        m_device->startSiteSurvey();
        return QStringLiteral("ok survey started");
    }
    if (command == QLatin1String("upload")) {
        QString why;
        return m_device->upload(&why) ? QStringLiteral("ok saved") : err(why);
    }
    if (command == QLatin1String("reset")) {
        m_device->reset();
        return QStringLiteral("ok restarting");
    }
    if (command == QLatin1String("defaults")) {
        QString why;
        return m_device->loadDefaults(&why) ? QStringLiteral("ok defaults") : err(why);
    }
    if (command == QLatin1String("link")) {
        bool up = false;
        if (!onOff(arg(1) == QLatin1String("up")     ? QStringLiteral("on")
                   : arg(1) == QLatin1String("down") ? QStringLiteral("off")
                                                     : QString(),
                   &up))
            return err(QStringLiteral("link up or link down"));
        m_device->setEthernetLink(up);
        return QStringLiteral("ok link %1").arg(arg(1));
    }
    if (command == QLatin1String("get") || command == QLatin1String("set")) {
        const ApVariable* var = m_device->table()->find(arg(1));
        if (!var)
            return err(QStringLiteral("unknown variable ") + arg(1));
        if (command == QLatin1String("get"))
            return QStringLiteral("ok %1 = %2")
                .arg(var->name, formatValue(*var, m_device->read(*var)));
        const int at = trimmed.indexOf(arg(1)) + int(arg(1).size()) + 1;
        ApWrite w;
        w.variable = var;
        if (!parseValue(*var, trimmed.mid(at), &w.value))
            return err(QStringLiteral("bad value"));
        int failed = -1;
        const ApError e = m_device->check({w}, &failed);
        if (e != ApError::None)
            return err(QStringLiteral("refused: ") + errorName(e));
        const QList<ApValue> answers = m_device->apply({w});
        return QStringLiteral("ok %1 = %2").arg(var->name, formatValue(*var, answers.value(0)));
    }
    if (command == QLatin1String("fault")) {
        if (!m_agent)
            return err(QStringLiteral("no agent"));
        ApFaults& f = m_agent->faults();
        const QString what = arg(1);
        bool flag = false;
        bool ok = false;
        const int number = arg(2).toInt(&ok);
        if (what == QLatin1String("drop") && ok && number >= 0 && number <= 100)
            f.dropPercent = number;
        else if (what == QLatin1String("delay") && ok && number >= 0)
            f.delayMs = number;
        else if (what == QLatin1String("wrong-id") && onOff(arg(2), &flag))
            f.wrongRequestId = flag;
        else if (what == QLatin1String("wrong-port") && onOff(arg(2), &flag))
            f.wrongSourcePort = flag;
        else if (what == QLatin1String("silent") && onOff(arg(2), &flag))
            f.silent = flag, f.silentAfter = -1;
        else if (what == QLatin1String("bad-length") || what == QLatin1String("bad-value")) {
            QSet<QString>& set = what == QLatin1String("bad-length") ? f.badLength : f.badValue;
            if (arg(2) == QLatin1String("none"))
                set.clear();
            else if (m_device->table()->find(arg(2)))
                set.insert(arg(2));
            else
                return err(QStringLiteral("unknown variable ") + arg(2));
        } else {
            return err(QStringLiteral("bad fault command"));
        }
        return QStringLiteral("ok fault %1").arg(what);
    }
    return err(QStringLiteral("unknown command ") + command);
}

void ApControl::listenOnStdin()
{
    m_stdin = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(m_stdin, &QSocketNotifier::activated, this, &ApControl::readStdin);
}

void ApControl::readStdin()
{
    char buffer[4096];
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got <= 0) {
        // End of input: no more commands, the device keeps running.
        m_stdin->setEnabled(false);
        return;
    }
    m_stdinBuffer.append(buffer, qsizetype(got));
    qsizetype end;
    while ((end = m_stdinBuffer.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_stdinBuffer.left(end));
        m_stdinBuffer.remove(0, end + 1);
        if (line.trimmed().isEmpty())
            continue;
        const QByteArray out = execute(line).toUtf8() + '\n';
        fwrite(out.constData(), 1, size_t(out.size()), stdout);
        fflush(stdout);
    }
    if (m_stdinBuffer.size() > 65536)
        m_stdinBuffer.clear(); // a line that never ends
}

bool ApControl::listenOnUdp(const QString& address, quint16 port, QString* error)
{
    m_udp = new QUdpSocket(this);
    if (!m_udp->bind(QHostAddress(address), port)) {
        *error = QStringLiteral("cannot bind control port %1:%2: %3")
                     .arg(address)
                     .arg(port)
                     .arg(m_udp->errorString());
        return false;
    }
    connect(m_udp, &QUdpSocket::readyRead, this, [this] {
        while (m_udp->hasPendingDatagrams()) {
            const QNetworkDatagram d = m_udp->receiveDatagram(4096);
            if (!d.isValid())
                continue;
            const QByteArray answer = execute(QString::fromUtf8(d.data())).toUtf8() + '\n';
            m_udp->writeDatagram(answer, d.senderAddress(), quint16(d.senderPort()));
        }
    });
    return true;
}
