#include "snmp_mib.h"

#include "snmp_library.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <charconv>


#ifndef QX_DATA_DIR
#define QX_DATA_DIR "/usr/local/share/qx9304"
#endif

namespace {

struct tree* findNotification(struct tree* node, u_long number)
{
    for (; node; node = node->next_peer) {
        if ((node->type == TYPE_NOTIFTYPE || node->type == TYPE_TRAPTYPE) && node->subid == number)
            return node;
        if (struct tree* found = findNotification(node->child_list, number))
            return found;
    }
    return nullptr;
}

} // namespace

QStringList SnmpMib::searchDirectories()
{
    QStringList dirs{QDir::currentPath()};
    if (QCoreApplication::instance()) {
        const QString programDir = QCoreApplication::applicationDirPath();
        dirs << programDir;
        // An installed program finds its data beside it, in any prefix.
        dirs << QDir::cleanPath(programDir + QStringLiteral("/../share/qx9304"));
    }
    dirs << QStringLiteral(QX_DATA_DIR);
    return dirs;
}

bool SnmpMib::load(const QString& fileName)
{
    snmpLibraryInit();
    m_loaded = false;
    m_path.clear();
    m_identifiers.clear();
    m_syntaxes.clear();
    QString path;
    if (fileName.contains(QLatin1Char('/'))) {
        path = fileName;
    } else {
        for (const QString& dir : searchDirectories()) {
            const QString candidate = QDir(dir).filePath(fileName);
            if (QFileInfo(candidate).isFile()) {
                path = candidate;
                break;
            }
        }
    }
    if (path.isEmpty() || !QFileInfo(path).isReadable()) {
        m_errorText = QStringLiteral("%1 was not found in %2")
                          .arg(fileName, searchDirectories().join(QLatin1String(", ")));
        return false;
    }
    if (!read_mib(QFile::encodeName(path).constData())) {
        m_errorText = QStringLiteral("%1 could not be read").arg(path);
        return false;
    }
    m_loaded = true;
    m_path = path;
    m_errorText.clear();
    return true;
}

QString SnmpMib::identifierOf(const QString& name) const
{
    if (!m_loaded || name.isEmpty())
        return QString();
    if (const auto known = m_identifiers.constFind(name); known != m_identifiers.cend())
        return *known;
    oid buffer[MAX_OID_LEN];
    size_t length = MAX_OID_LEN;
    if (!get_node(name.toLatin1().constData(), buffer, &length))
        return QString();
    // Every variable of every request is named through here: one string.
    QString text;
    text.reserve(qsizetype(length) * 4);
    char digits[24];
    for (size_t i = 0; i < length; ++i) {
        if (i)
            text += QLatin1Char('.');
        const char* end = std::to_chars(digits, digits + sizeof digits, quint64(buffer[i])).ptr;
        text += QLatin1String(digits, int(end - digits));
    }
    m_identifiers.insert(name, text);
    return text;
}

SnmpVariable::Syntax SnmpMib::syntaxOf(const QString& name) const
{
    if (!m_loaded)
        return SnmpVariable::OctetString;
    if (const auto known = m_syntaxes.constFind(name); known != m_syntaxes.cend())
        return *known;
    struct tree* node = find_tree_node(name.toLatin1().constData(), -1);
    if (!node)
        return SnmpVariable::OctetString;
    const SnmpVariable::Syntax syntax = syntaxOfType(node->type);
    m_syntaxes.insert(name, syntax);
    return syntax;
}

SnmpVariable::Syntax SnmpMib::syntaxOfType(int type)
{
    switch (type) {
    case TYPE_INTEGER:
    case TYPE_INTEGER32:
        return SnmpVariable::Integer;
    case TYPE_IPADDR:
        return SnmpVariable::IpAddress;
    case TYPE_COUNTER:
        return SnmpVariable::Counter32;
    case TYPE_GAUGE:
    case TYPE_UNSIGNED32:
        return SnmpVariable::Gauge32;
    case TYPE_TIMETICKS:
        return SnmpVariable::TimeTicks;
    case TYPE_COUNTER64:
        return SnmpVariable::Counter64;
    case TYPE_OBJID:
        return SnmpVariable::ObjectId;
    default:
        return SnmpVariable::OctetString;
    }
}

QString SnmpMib::nodeName(int key) const
{
    if (!m_loaded)
        return QString();
    struct tree* node = findNotification(get_tree_head(), u_long(key & 0xffff));
    return node && node->label ? QString::fromLatin1(node->label) : QString();
}
