// A main window connected to a real apsim, as a Connect and the Get
// Configuration after it leave it; on top of the form fixture.
#pragma once

#include "form_fixture.h"
#include "snmp_manager.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryFile>

namespace DeviceFixture
{

// Starts apsim on address and a free port (extra options appended) and
// returns a main window that has read its configuration, or null.
inline std::unique_ptr<CMainFrame> Connect(ApsimProcess& ap, const QString& address,
                                           const QStringList& extra = {}, int authority = 1,
                                           const QString& community = QStringLiteral("private"))
{
    const quint16 port = FormFixture::FreePort();
    if (!FormFixture::StartApsim(ap, address, port, extra))
        return nullptr;
    std::unique_ptr<CMainFrame> frame = FormFixture::Frame(false, port);
    if (!frame)
        return nullptr;
    FormFixture::Attach(*frame, address, authority, community);
    frame->Session().Manager()->setRemotePort(port);
    frame->OnCommand(ID_GET_CONFIGURATION);
    if (frame->StatusText(0) != QLatin1String("Get Configuration done"))
        return nullptr;
    return frame;
}

// A profile file for apsim, kept while the returned object lives.
inline std::unique_ptr<QTemporaryFile> Profile(const QJsonObject& profile)
{
    auto file = std::make_unique<QTemporaryFile>();
    if (!file->open())
        return nullptr;
    file->write(QJsonDocument(profile).toJson());
    file->flush();
    return file;
}

} // namespace DeviceFixture
