#include "ap_store.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace
{

const char* const kFormat = "apsim-state-1";
constexpr int kMaxMacTable = 680;
constexpr qint64 kMaxStateFileSize = 1 << 20;

bool isInteger(ApKind kind)
{
    return kind == ApKind::Integer || kind == ApKind::Gauge || kind == ApKind::TimeTicks;
}

} // namespace

ApStore::ApStore(const ApVariableTable* table, QObject* parent) : QObject(parent), m_table(table)
{
}

void ApStore::setDefaults(const Values& defaults, const QList<QByteArray>& macTable)
{
    m_defaults = defaults;
    m_defaultMacTable = macTable;
    m_saved = defaults;
    m_macTable = macTable;
    assignRunning(defaults);
}

void ApStore::assignRunning(const Values& values)
{
    QStringList differing;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (m_running.value(it.key()) != it.value() || !m_running.contains(it.key()))
            differing.append(it.key());
    }
    m_running = values;
    for (const QString& name : differing)
        Q_EMIT changed(name);
}

bool ApStore::loadState(QString* error)
{
    if (m_statePath.isEmpty())
        return true;
    QFile file(m_statePath);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(m_statePath, file.errorString());
        return false;
    }
    if (file.size() > kMaxStateFileSize) {
        if (error)
            *error = QStringLiteral("%1 is too large to be a state file").arg(m_statePath);
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    const QJsonObject root = doc.object();
    if (parseError.error != QJsonParseError::NoError || !doc.isObject() ||
        root.value(QLatin1String("format")).toString() != QLatin1String(kFormat)) {
        if (error)
            *error = QStringLiteral("%1 is not an apsim state file").arg(m_statePath);
        return false;
    }

    // Everything is checked before anything is taken, so a damaged file changes nothing.
    Values saved = m_defaults;
    const QJsonObject values = root.value(QLatin1String("values")).toObject();
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        const ApVariable* var = m_table->find(it.key());
        if (!var || !m_defaults.contains(it.key()))
            continue; // a variable this version does not keep
        ApValue value;
        if (isInteger(var->kind)) {
            if (!it.value().isDouble()) {
                if (error)
                    *error = QStringLiteral("%1: bad value of %2").arg(m_statePath, it.key());
                return false;
            }
            value.integer = qint64(it.value().toDouble());
        } else {
            const QByteArray hex = it.value().toString().toLatin1();
            value.bytes = QByteArray::fromHex(hex);
            if (!it.value().isString() || value.bytes.toHex() != hex.toLower()) {
                if (error)
                    *error = QStringLiteral("%1: bad value of %2").arg(m_statePath, it.key());
                return false;
            }
        }
        if (ApVariableTable::checkValue(*var, value) != ApCheck::Ok) {
            if (error)
                *error = QStringLiteral("%1: value of %2 out of range").arg(m_statePath, it.key());
            return false;
        }
        saved.insert(it.key(), value);
    }
    QList<QByteArray> table;
    const QJsonArray macs = root.value(QLatin1String("macTable")).toArray();
    if (macs.size() > kMaxMacTable) {
        if (error)
            *error = QStringLiteral("%1: MAC table too long").arg(m_statePath);
        return false;
    }
    for (const QJsonValue& mac : macs) {
        const QByteArray bytes = apParseMac(mac.toString());
        if (bytes.isEmpty()) {
            if (error)
                *error = QStringLiteral("%1: bad MAC table entry").arg(m_statePath);
            return false;
        }
        table.append(bytes);
    }
    m_saved = saved;
    m_macTable = table;
    assignRunning(saved);
    return true;
}

void ApStore::setValue(const QString& name, const ApValue& value)
{
    const ApVariable* var = m_table->find(name);
    if (var && (var->keep == ApKeep::Immediate || var->keep == ApKeep::Hardware)) {
        setStored(name, value);
        return;
    }
    if (m_running.value(name) == value && m_running.contains(name))
        return;
    m_running.insert(name, value);
    Q_EMIT changed(name);
}

void ApStore::setStored(const QString& name, const ApValue& value)
{
    const bool differs = m_running.value(name) != value || !m_running.contains(name);
    m_running.insert(name, value);
    if (m_saved.value(name) != value || !m_saved.contains(name)) {
        m_saved.insert(name, value);
        writeState();
    }
    if (differs)
        Q_EMIT changed(name);
}

void ApStore::setStoredValues(const Values& values)
{
    QStringList differing;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (m_running.value(it.key()) != it.value() || !m_running.contains(it.key()))
            differing.append(it.key());
        m_running.insert(it.key(), it.value());
        m_saved.insert(it.key(), it.value());
    }
    writeState();
    for (const QString& name : differing)
        Q_EMIT changed(name);
}

void ApStore::setMacTable(const QList<QByteArray>& table)
{
    m_macTable = table.mid(0, kMaxMacTable);
    writeState();
}

bool ApStore::upload(QString* error)
{
    m_saved = m_running;
    return writeState(error);
}

void ApStore::revertToSaved()
{
    assignRunning(m_saved);
}

bool ApStore::loadDefaults(QString* error)
{
    Values values = m_defaults;
    for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it) {
        const ApVariable* var = m_table->find(it.key());
        if (var && var->keep == ApKeep::Hardware)
            values.insert(it.key(), it.value());
    }
    m_saved = values;
    m_macTable = m_defaultMacTable;
    assignRunning(values);
    return writeState(error);
}

bool ApStore::writeState(QString* error)
{
    if (m_statePath.isEmpty())
        return true;
    QJsonObject values;
    for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it) {
        const ApVariable* var = m_table->find(it.key());
        if (!var)
            continue;
        if (isInteger(var->kind))
            values.insert(it.key(), double(it.value().integer));
        else
            values.insert(it.key(), QString::fromLatin1(it.value().bytes.toHex().toUpper()));
    }
    QJsonArray macs;
    for (const QByteArray& mac : m_macTable)
        macs.append(apMacText(mac));
    QJsonObject root;
    root.insert(QLatin1String("format"), QLatin1String(kFormat));
    root.insert(QLatin1String("values"), values);
    root.insert(QLatin1String("macTable"), macs);

    // QSaveFile writes a temporary file beside the target and renames it over the target
    // on commit, so a crash leaves either the old or the new file, never a torn one.
    QSaveFile file(m_statePath);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QJsonDocument(root).toJson(QJsonDocument::Indented)) < 0 || !file.commit()) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(m_statePath, file.errorString());
        return false;
    }
    return true;
}
