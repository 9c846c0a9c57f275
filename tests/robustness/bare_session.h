// The device session of halvane without its window: the main manager, the
// MIB, the session, the configuration transfer and (when wanted) the
// discovery, wired as the main window wires them, with a user interface
// that records every text.
#pragma once

#include "config_transfer.h"
#include "discovery.h"
#include "group_fixture.h"

#include <memory>

struct BareSession {
    BareSession()
    {
        static SnmpMib mib;
        if (!mib.isLoaded() && !mib.load(QStringLiteral(QX_MIB_FILE)))
            qFatal("MIB not loaded: %s", qPrintable(mib.errorText()));
        manager.open(0);
        session = std::make_unique<CDeviceSession>(&manager, &mib, &ui);
        session->m_agentAddress = QStringLiteral("127.0.0.1");
        session->m_community = QStringLiteral("private");
        session->m_authority = 1;
        session->m_debugMode = true;
        transfer = std::make_unique<CConfigTransfer>(session.get());
        QObject::connect(&manager, &SnmpManager::response, session.get(), [this] {
            if (!discovery || !discovery->OnResponse())
                session->DispatchResponse();
        });
    }
    SnmpManager manager;
    RecordingUi ui;
    std::unique_ptr<CDeviceSession> session;
    std::unique_ptr<CConfigTransfer> transfer;
    std::unique_ptr<CDiscovery> discovery;
};
