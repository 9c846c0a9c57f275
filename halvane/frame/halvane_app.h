// The application object: settings, command line, start-up of the main
// window.
#pragma once

#include "main_frame.h"

#include <QStringList>
#include <memory>

class CHalvaneApp
{
public:
    // Parses the command line (--agent-port, --trap-port, --broadcast),
    // reads the settings and brings up the main window. Returns false when
    // start-up failed; its message has been shown.
    bool InitInstance(const QStringList& arguments);
    // Start-up, event loop, exit status (1 when the main window is closed
    // and on every start-up failure).
    static int Run(int& argc, char** argv);
    // The same inside an existing application object.
    static int Main(const QStringList& arguments);

    CMainFrame* MainFrame() const { return m_mainFrame.get(); }
    const CHalvaneSettings& Settings() const { return m_settings; }
    const CHalvaneOptions& Options() const { return m_options; }
    // Why the command line was refused (empty when it was accepted).
    QString CommandLineError() const { return m_commandLineError; }

private:
    bool ParseCommandLine(const QStringList& arguments);

    CHalvaneSettings m_settings;
    CHalvaneOptions m_options;
    std::unique_ptr<CMainFrame> m_mainFrame;
    QString m_commandLineError;
};
