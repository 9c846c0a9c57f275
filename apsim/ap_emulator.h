// One emulated access point put together from the command line: MIB, profile, store,
// device, SNMP agent, DFU endpoint and control lines.
#pragma once

#include "ap_variables.h"

#include <QObject>
#include <QStringList>

#include <memory>

class ApAgent;
class ApControl;
class ApDevice;
class ApDfuEndpoint;
class ApStore;
class SnmpMib;

class ApEmulator : public QObject
{
    Q_OBJECT

public:
    explicit ApEmulator(QObject* parent = nullptr);
    ~ApEmulator() override;

    // Parses the arguments (argv[0] first) and starts everything. On failure returns
    // false with a message; --help and --version print and exit inside.
    bool start(const QStringList& arguments, QString* error);

Q_SIGNALS:
    void quitRequested();

private:
    void log(const QString& text) const;

    std::unique_ptr<SnmpMib> m_mib;
    ApVariableTable m_table;
    ApStore* m_store = nullptr;
    ApDevice* m_device = nullptr;
    ApAgent* m_agent = nullptr;
    ApControl* m_control = nullptr;
    ApDfuEndpoint* m_dfu = nullptr;
};
