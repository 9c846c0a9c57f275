#include "ap_agent.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QTimer>
#include <QUdpSocket>

namespace
{

// Error status numbers.
enum Status {
    NoError = 0,
    TooBig = 1,
    NoSuchName = 2,
    BadValue = 3,
    GenErr = 5,
    WrongType = 7,
    WrongLength = 8,
    WrongValue = 10,
    NoCreation = 11,
    InconsistentValue = 12,
    AuthorizationError = 16,
    NotWritable = 17,
};

constexpr int kMaxDatagram = 65507;
constexpr int kBulkBudget = 1400; // bytes of values in one get-bulk answer
constexpr int kMaxBulkRepetitions = 64;

int statusFor(ApError error, SnmpMessage::Version version)
{
    const bool v1 = version == SnmpMessage::V1;
    switch (error) {
    case ApError::None:
        return NoError;
    case ApError::NoSuchName:
        return v1 ? NoSuchName : NoCreation;
    case ApError::NotWritable:
        return v1 ? NoSuchName : NotWritable;
    case ApError::WrongType:
        return v1 ? BadValue : WrongType;
    case ApError::WrongLength:
        return v1 ? BadValue : WrongLength;
    case ApError::WrongValue:
        return v1 ? BadValue : WrongValue;
    case ApError::Inconsistent:
        return v1 ? BadValue : InconsistentValue;
    }
    return GenErr;
}

QString typeName(int type)
{
    switch (type) {
    case SnmpMessage::GetRequest:
        return QStringLiteral("get-request");
    case SnmpMessage::GetNextRequest:
        return QStringLiteral("get-next-request");
    case SnmpMessage::GetResponse:
        return QStringLiteral("response");
    case SnmpMessage::SetRequest:
        return QStringLiteral("set-request");
    case SnmpMessage::GetBulkRequest:
        return QStringLiteral("get-bulk-request");
    case SnmpMessage::TrapV1:
        return QStringLiteral("trap");
    default:
        return QStringLiteral("type %1").arg(type);
    }
}

QString valueText(const SnmpVariable& v)
{
    switch (v.syntax()) {
    case SnmpVariable::Null:
        return QStringLiteral("NULL");
    case SnmpVariable::NoSuchObject:
        return QStringLiteral("noSuchObject");
    case SnmpVariable::NoSuchInstance:
        return QStringLiteral("noSuchInstance");
    case SnmpVariable::EndOfMibView:
        return QStringLiteral("endOfMibView");
    case SnmpVariable::OctetString:
    case SnmpVariable::Opaque: {
        const QByteArray b = v.valueBytes();
        bool printable = true;
        for (char c : b)
            printable = printable && c >= 0x20 && c < 0x7f;
        if (printable)
            return QLatin1Char('"') + QString::fromLatin1(b) + QLatin1Char('"');
        // Long blocks are cut in the log.
        if (b.size() > 48)
            return QStringLiteral("0x%1... (%2 bytes)")
                .arg(QString::fromLatin1(b.left(32).toHex().toUpper()))
                .arg(b.size());
        return QStringLiteral("0x") + QString::fromLatin1(b.toHex().toUpper());
    }
    default:
        return v.valueText();
    }
}

} // namespace

ApAgent::ApAgent(ApDevice* device, QObject* parent)
    : QObject(parent), m_device(device), m_table(device->table())
{
    m_random.seed(QRandomGenerator::global()->generate());
    connect(device, &ApDevice::trap, this, &ApAgent::sendTrap);
}

ApAgent::~ApAgent() = default;

quint32 ApAgent::seed(quint32 seed)
{
    m_random.seed(seed);
    return seed;
}

QString ApAgent::broadcastFor(const QHostAddress& address)
{
    const quint32 ip = address.toIPv4Address();
    if ((ip >> 24) == 127)
        return QStringLiteral("127.255.255.255");
    for (const QNetworkInterface& iface : QNetworkInterface::allInterfaces()) {
        for (const QNetworkAddressEntry& entry : iface.addressEntries()) {
            if (entry.ip() == address && !entry.broadcast().isNull())
                return entry.broadcast().toString();
        }
    }
    return QString();
}

bool ApAgent::open(const QHostAddress& address, quint16 port, const QHostAddress& broadcast,
                   QString* error)
{
    m_address = address;
    m_socket = new QUdpSocket(this);
    if (!m_socket->bind(address, port)) {
        *error = QStringLiteral("cannot bind %1:%2: %3")
                     .arg(address.toString())
                     .arg(port)
                     .arg(m_socket->errorString());
        return false;
    }
    connect(m_socket, &QUdpSocket::readyRead, this, [this] { readPending(m_socket); });
    if (!broadcast.isNull() && broadcast != address) {
        m_broadcastSocket = new QUdpSocket(this);
        if (!m_broadcastSocket->bind(broadcast, m_socket->localPort(),
                                     QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
            *error = QStringLiteral("cannot listen on broadcast %1:%2: %3")
                         .arg(broadcast.toString())
                         .arg(m_socket->localPort())
                         .arg(m_broadcastSocket->errorString());
            return false;
        }
        connect(m_broadcastSocket, &QUdpSocket::readyRead, this,
                [this] { readPending(m_broadcastSocket); });
    }
    m_otherPortSocket = new QUdpSocket(this);
    m_otherPortSocket->bind(address, 0);
    return true;
}

quint16 ApAgent::port() const
{
    return m_socket ? m_socket->localPort() : 0;
}

void ApAgent::setTrapTarget(const QHostAddress& host, quint16 port)
{
    m_trapHost = host;
    m_trapPort = port;
}

void ApAgent::readPending(QUdpSocket* socket)
{
    while (socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket->receiveDatagram();
        if (datagram.isValid())
            handle(datagram);
    }
}

void ApAgent::handle(const QNetworkDatagram& datagram)
{
    ++m_requests;
    const std::optional<SnmpMessage> request = SnmpMessage::decode(datagram.data());
    const QString from = datagram.senderAddress().toString() + QLatin1Char(':') +
                         QString::number(datagram.senderPort());
    if (!request) {
        if (m_verbose)
            Q_EMIT logLine(QStringLiteral("%1: %2 bytes that are not an SNMP message, dropped")
                               .arg(from)
                               .arg(datagram.data().size()));
        return;
    }
    if (m_verbose)
        Q_EMIT logLine(from + QStringLiteral(": ") + describe(*request));
    if (!m_device->isRunning()) {
        if (m_verbose)
            Q_EMIT logLine(QStringLiteral("  restarting: no answer"));
        return;
    }
    if (m_faults.silent || (m_faults.silentAfter >= 0 && m_answered >= m_faults.silentAfter)) {
        if (m_verbose)
            Q_EMIT logLine(QStringLiteral("  silent: no answer"));
        return;
    }
    if (m_faults.dropPercent > 0 && int(m_random.bounded(100)) < m_faults.dropPercent) {
        if (m_verbose)
            Q_EMIT logLine(QStringLiteral("  dropped"));
        return;
    }

    std::optional<SnmpMessage> reply = answer(*request);
    if (!reply)
        return;
    if (m_faults.wrongRequestId)
        reply->setRequestId(qint32(quint32(reply->requestId()) + 1));
    QByteArray bytes = reply->encode();
    if (bytes.size() > kMaxDatagram) {
        SnmpMessage tooBig = *reply;
        tooBig.variables().clear();
        tooBig.setErrorStatus(TooBig);
        tooBig.setErrorIndex(0);
        bytes = tooBig.encode();
    }
    if (bytes.isEmpty()) {
        Q_EMIT logLine(QStringLiteral("  answer could not be encoded"));
        return;
    }
    ++m_answered;
    if (m_verbose)
        Q_EMIT logLine(QStringLiteral("  -> ") + describe(*reply));

    QUdpSocket* out = m_faults.wrongSourcePort ? m_otherPortSocket : m_socket;
    const QHostAddress to = datagram.senderAddress();
    const quint16 toPort = quint16(datagram.senderPort());
    if (m_faults.delayMs > 0) {
        QTimer::singleShot(m_faults.delayMs, out,
                           [out, bytes, to, toPort] { out->writeDatagram(bytes, to, toPort); });
    } else {
        out->writeDatagram(bytes, to, toPort);
    }
}

std::optional<SnmpMessage> ApAgent::answer(const SnmpMessage& request)
{
    const int type = request.type();
    if (type != SnmpMessage::GetRequest && type != SnmpMessage::GetNextRequest &&
        type != SnmpMessage::SetRequest &&
        !(type == SnmpMessage::GetBulkRequest && request.version() == SnmpMessage::V2c))
        return std::nullopt;

    SnmpMessage reply;
    reply.setVersion(request.version());
    reply.setCommunity(request.community());
    reply.setType(SnmpMessage::GetResponse);
    reply.setRequestId(request.requestId());
    const SnmpVariables& in = request.variables();
    auto refuse = [&](int status, int index) {
        reply.setErrorStatus(status);
        reply.setErrorIndex(index);
        reply.variables() = in;
        return reply;
    };

    // Communities: the user community reads, the administrator community reads and
    // writes. A discovery probe for sysDescr with "public" is always answered.
    const ApStore* store = m_device->store();
    const QByteArray community = request.community();
    const bool admin = community == store->bytes(QStringLiteral("AuthorizedAdminPass"));
    const bool user = community == store->bytes(QStringLiteral("AuthorizedUserPass"));
    bool discovery = type == SnmpMessage::GetRequest && community == "public" && in.count() > 0;
    for (const SnmpVariable& v : in.list()) {
        const ApVariable* var = m_table->findInstance(v.identifier());
        discovery = discovery && var && var->name == QLatin1String("sysDescr");
    }
    if (!admin && !user && !discovery)
        return refuse(AuthorizationError, 0);
    // The station query and the MAC table read travel as sets but change nothing; the
    // user community may send them, as managers read the stations in every session.
    bool queryOnly = type == SnmpMessage::SetRequest && in.count() > 0;
    for (const SnmpVariable& v : in.list()) {
        const ApVariable* var = m_table->findInstance(v.identifier());
        const QByteArray b = v.valueBytes();
        const bool stationQuery = var && var->name == QLatin1String("AssociatedSTAsInfo");
        const bool macRead = var && var->name == QLatin1String("AuthorizedMac") && b.size() == 12 &&
                             b[0] == 2 && b[1] == 0;
        queryOnly =
            queryOnly && v.syntax() == SnmpVariable::OctetString && (stationQuery || macRead);
    }
    if (type == SnmpMessage::SetRequest && !admin && !queryOnly)
        return refuse(AuthorizationError, 0);

    const SnmpMessage::Version version = request.version();
    if (type == SnmpMessage::GetRequest) {
        for (int i = 1; i <= in.count(); ++i) {
            const SnmpVariable& v = *in.item(i);
            const ApVariable* var = m_table->findInstance(v.identifier());
            if (var && !var->internal) {
                SnmpVariable out = toSnmp(*var, m_device->read(*var), true);
                out.setIdentifier(v.identifier());
                reply.variables().add(out);
                continue;
            }
            if (version == SnmpMessage::V1)
                return refuse(NoSuchName, i);
            // An object of the MIB with an instance other than .0 is noSuchInstance.
            bool object = false;
            for (const ApVariable& known : m_table->all()) {
                if (!known.oid.isEmpty() &&
                    (v.identifier() == known.oid ||
                     v.identifier().startsWith(known.oid + QLatin1Char('.'))))
                    object = true;
            }
            SnmpVariable out(v.identifier());
            out.setNull(object ? SnmpVariable::NoSuchInstance : SnmpVariable::NoSuchObject);
            reply.variables().add(out);
        }
        return reply;
    }

    if (type == SnmpMessage::GetNextRequest) {
        for (int i = 1; i <= in.count(); ++i) {
            SnmpVariable out;
            getNext(in.item(i)->identifier(), version, &out);
            if (out.syntax() == SnmpVariable::EndOfMibView && version == SnmpMessage::V1)
                return refuse(NoSuchName, i);
            reply.variables().add(out);
        }
        return reply;
    }

    if (type == SnmpMessage::GetBulkRequest) {
        // For get-bulk the two error fields carry non-repeaters and max-repetitions.
        const int nonRepeaters = qBound(0, request.errorStatus(), in.count());
        const int repetitions = qBound(0, request.errorIndex(), kMaxBulkRepetitions);
        int budget = kBulkBudget;
        for (int i = 1; i <= nonRepeaters; ++i) {
            SnmpVariable out;
            getNext(in.item(i)->identifier(), version, &out);
            budget -= int(out.valueBytes().size()) + 16;
            reply.variables().add(out);
        }
        QStringList cursor;
        for (int i = nonRepeaters + 1; i <= in.count(); ++i)
            cursor.append(in.item(i)->identifier());
        for (int r = 0; r < repetitions && !cursor.isEmpty() && budget > 0; ++r) {
            bool any = false;
            for (QString& oid : cursor) {
                SnmpVariable out;
                getNext(oid, version, &out);
                any = any || out.syntax() != SnmpVariable::EndOfMibView;
                budget -= int(out.valueBytes().size()) + 16;
                oid = out.identifier();
                reply.variables().add(out);
            }
            if (!any)
                break;
        }
        return reply;
    }

    // Set: every value is checked before anything changes; the first refused value is
    // reported by its position and the request changes nothing.
    QList<ApWrite> writes;
    for (int i = 1; i <= in.count(); ++i) {
        const SnmpVariable& v = *in.item(i);
        const ApVariable* var = m_table->findInstance(v.identifier());
        if (!var || var->internal)
            return refuse(statusFor(ApError::NoSuchName, version), i);
        if (var->access != ApAccess::ReadWrite)
            return refuse(statusFor(ApError::NotWritable, version), i);
        ApWrite w;
        w.variable = var;
        if (!fromSnmp(*var, v, &w.value))
            return refuse(statusFor(ApError::WrongType, version), i);
        writes.append(w);
    }
    int failed = -1;
    const ApError error = m_device->check(writes, &failed);
    if (error != ApError::None)
        return refuse(statusFor(error, version), failed + 1);
    const QList<ApValue> answers = m_device->apply(writes);
    for (int i = 1; i <= in.count(); ++i) {
        const ApWrite& w = writes[i - 1];
        if (answers[i - 1] == w.value) {
            reply.variables().add(*in.item(i)); // the value as it came
        } else {
            SnmpVariable out = toSnmp(*w.variable, answers[i - 1], false);
            out.setIdentifier(in.item(i)->identifier());
            reply.variables().add(out);
        }
    }
    return reply;
}

void ApAgent::getNext(const QString& oid, SnmpMessage::Version, SnmpVariable* out) const
{
    const ApVariable* var = m_table->next(oid);
    if (!var) {
        *out = SnmpVariable(oid);
        out->setNull(SnmpVariable::EndOfMibView);
        return;
    }
    *out = toSnmp(*var, m_device->read(*var), true);
    out->setIdentifier(var->oid + QStringLiteral(".0"));
}

SnmpVariable ApAgent::toSnmp(const ApVariable& var, const ApValue& value, bool withFaults) const
{
    SnmpVariable out(var.oid + QStringLiteral(".0"));
    const auto syntax = SnmpVariable::Syntax(var.syntax);
    const bool badLength = withFaults && m_faults.badLength.contains(var.name);
    const bool badValue = withFaults && m_faults.badValue.contains(var.name);
    switch (syntax) {
    case SnmpVariable::Integer:
    case SnmpVariable::Counter32:
    case SnmpVariable::Gauge32:
    case SnmpVariable::TimeTicks:
        if (badLength) {
            // An integer variable answered with a byte string.
            out.setBytes(QByteArray(5, '\x01'));
        } else if (badValue) {
            out.setInteger(var.maximum + 1, syntax);
        } else {
            out.setInteger(value.integer, syntax);
        }
        return out;
    case SnmpVariable::ObjectId:
        out.setObjectId(QString::fromLatin1(value.bytes));
        return out;
    case SnmpVariable::IpAddress:
        if (badLength) {
            out.setBytes(value.bytes.left(3)); // an IpAddress cannot travel with 3 bytes
        } else if (badValue) {
            out.setBytes(QByteArray(4, '\xff'), SnmpVariable::IpAddress);
        } else {
            out.setBytes(value.bytes, SnmpVariable::IpAddress);
        }
        return out;
    default: {
        QByteArray bytes = value.bytes;
        if (badLength)
            bytes = bytes.isEmpty() ? QByteArray(1, '\0') : bytes.left(bytes.size() - 1);
        if (badValue)
            bytes.fill('\xff');
        out.setBytes(bytes);
        return out;
    }
    }
}

bool ApAgent::fromSnmp(const ApVariable& var, const SnmpVariable& in, ApValue* out) const
{
    switch (var.kind) {
    case ApKind::Integer:
    case ApKind::Gauge:
    case ApKind::TimeTicks:
        if (in.syntax() != SnmpVariable::Integer)
            return false;
        out->integer = in.valueInteger();
        return true;
    case ApKind::IpAddress:
        // An IpAddress, or the same four bytes as an octet string.
        if (in.syntax() != SnmpVariable::IpAddress && in.syntax() != SnmpVariable::OctetString)
            return false;
        out->bytes = in.valueBytes();
        return true;
    case ApKind::Octets:
    case ApKind::Text:
        if (in.syntax() != SnmpVariable::OctetString)
            return false;
        out->bytes = in.valueBytes();
        return true;
    case ApKind::ObjectId:
        return false;
    }
    return false;
}

void ApAgent::sendTrap(int code, const QList<QPair<const ApVariable*, ApValue>>& variables)
{
    if (m_trapHost.isNull() || !m_socket)
        return;
    SnmpMessage trap;
    trap.setVersion(SnmpMessage::V1);
    trap.setType(SnmpMessage::TrapV1);
    trap.setCommunity(m_trapCommunity);
    trap.setEnterprise(m_table->enterpriseOid());
    const quint32 ip = m_address.toIPv4Address();
    QByteArray agent(4, '\0');
    for (int i = 0; i < 4; ++i)
        agent[i] = char((ip >> (24 - 8 * i)) & 0xff);
    trap.setTrapAgentAddress(agent);
    trap.setGenericTrap(6);
    trap.setSpecificTrap(code);
    const ApVariable* upTime = m_table->find(QStringLiteral("sysUpTime"));
    trap.setTimeStamp(upTime ? quint32(m_device->read(*upTime).integer) : 0);
    for (const auto& v : variables) {
        if (!v.first || v.first->oid.isEmpty())
            continue;
        trap.variables().add(toSnmp(*v.first, v.second, false));
    }
    const QByteArray bytes = trap.encode();
    if (bytes.isEmpty()) {
        Q_EMIT logLine(QStringLiteral("trap %1 could not be encoded").arg(code));
        return;
    }
    m_socket->writeDatagram(bytes, m_trapHost, m_trapPort);
    if (m_verbose)
        Q_EMIT logLine(QStringLiteral("trap to %1:%2: %3")
                           .arg(m_trapHost.toString())
                           .arg(m_trapPort)
                           .arg(describe(trap)));
}

QString ApAgent::variableName(const QString& oid) const
{
    const ApVariable* var = m_table->findInstance(oid);
    return var ? var->name + QStringLiteral(".0") : oid;
}

QString ApAgent::describe(const SnmpMessage& message) const
{
    QString text = QStringLiteral("%1 \"%2\" %3 id %4")
                       .arg(message.version() == SnmpMessage::V1 ? QStringLiteral("v1")
                                                                 : QStringLiteral("v2c"),
                            QString::fromLatin1(message.community()), typeName(message.type()))
                       .arg(message.requestId());
    if (message.type() == SnmpMessage::TrapV1)
        text += QStringLiteral(" specific %1").arg(message.specificTrap());
    else if (message.type() == SnmpMessage::GetResponse)
        text += QStringLiteral(" status %1 index %2")
                    .arg(message.errorStatus())
                    .arg(message.errorIndex());
    QStringList parts;
    for (const SnmpVariable& v : message.variables().list())
        parts.append(variableName(v.identifier()) + QStringLiteral(" = ") + valueText(v));
    if (!parts.isEmpty())
        text += QStringLiteral(": ") + parts.join(QStringLiteral("; "));
    return text;
}
