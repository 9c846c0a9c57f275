// Community strings never reach disk or logs from halvane and password
// fields never echo: a whole session against a real apsim (connect through
// the Connect dialog, Get Configuration, Download Changes, new communities
// through the Authority dialog, Close Connection), then the settings folder,
// every message the program logged and every text it showed are searched
// for the communities used.
#include "apsim_process.h"
#include "authority_configuration.h"
#include "dialog_runner.h"
#include "halvane_app.h"
#include "main_frame.h"
#include "menus.h"
#include "message_box.h"

#include <QComboBox>
#include <QDirIterator>
#include <QLineEdit>
#include <QMutex>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QUdpSocket>

namespace
{

const QString kBin = QStringLiteral(QX_BIN_DIR);
const QString kAgent = QStringLiteral("127.0.0.9");
const QString kAdmin = QStringLiteral("Kx9-admin-secret");
const QString kUser = QStringLiteral("Kx9-user-secret");

quint16 freePort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::AnyIPv4, 0);
    return probe.localPort();
}

QMutex g_logMutex;
QStringList g_logged;
QtMessageHandler g_previous = nullptr;

void recordMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    {
        QMutexLocker lock(&g_logMutex);
        g_logged.append(text);
    }
    if (g_previous)
        g_previous(type, context, text);
}

} // namespace

class TestSecrets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void sessionLeavesNoCommunityBehind();

private:
    QTemporaryDir m_config;
    QTemporaryDir m_device;
};

void TestSecrets::initTestCase()
{
    QVERIFY(m_config.isValid() && m_device.isValid());
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    QDir::setCurrent(kBin);
    g_previous = qInstallMessageHandler(recordMessage);
}

void TestSecrets::cleanupTestCase()
{
    qInstallMessageHandler(g_previous);
    CDialogRunner::clearRunner();
    CMessageBox::clearNextAnswer();
}

void TestSecrets::sessionLeavesNoCommunityBehind()
{
    const quint16 agentPort = freePort();
    ApsimProcess ap(kBin);
    QVERIFY(ap.start({QStringLiteral("--bind"), kAgent, QStringLiteral("--port"),
                      QString::number(agentPort), QStringLiteral("--broadcast"),
                      QStringLiteral("none"), QStringLiteral("--churn"), QStringLiteral("0"),
                      QStringLiteral("--state"), m_device.filePath(QStringLiteral("ap.state"))}));

    CMessageBox::setNextAnswer(QMessageBox::Yes);
    CMessageBox::clearShown();
    CHalvaneOptions options;
    options.agentPort = agentPort;
    options.trapPort = freePort();
    options.broadcast = QStringLiteral("127.255.255.255");
    auto frame = std::make_unique<CMainFrame>(CHalvaneSettings{}, options);
    QCOMPARE(frame->OnCreate(), 0);

    // Connect: the community is typed into a field that shows no characters.
    QStringList passwordFields;
    CDialogRunner::setRunner([&](QDialog& dialog) {
        auto* community = dialog.findChild<QLineEdit*>(QStringLiteral("communityEdit"));
        if (!community)
            return int(QDialog::Rejected);
        if (community->echoMode() == QLineEdit::Password)
            passwordFields << community->objectName();
        dialog.findChild<QLineEdit*>(QStringLiteral("addressEdit"))->setText(kAgent);
        community->setText(QStringLiteral("private"));
        dialog.findChild<QComboBox*>(QStringLiteral("authorityCombo"))->setCurrentIndex(1);
        dialog.accept();
        return int(QDialog::Accepted);
    });
    frame->OnCommand(ID_CONNECT_AP);
    QVERIFY(QTest::qWaitFor([&] { return frame->Session().m_configRead == 1; }, 15000));
    QCOMPARE(passwordFields, QStringList{QStringLiteral("communityEdit")});
    frame->OnCommand(ID_DOWNLOAD_CHANGES);
    QCOMPARE(frame->StatusText(0), QStringLiteral("Download Configuration done"));

    // New communities: all four fields mask what is typed.
    bool fieldsMasked = false;
    CDialogRunner::setRunner([&](QDialog& dialog) {
        const QList<QLineEdit*> edits = dialog.findChildren<QLineEdit*>();
        fieldsMasked = edits.size() == 4;
        for (QLineEdit* edit : edits)
            fieldsMasked = fieldsMasked && edit->echoMode() == QLineEdit::Password;
        auto edit = [&](const char* name) {
            return dialog.findChild<QLineEdit*>(QLatin1String(name));
        };
        auto* authority = qobject_cast<CAuthorityConfiguration*>(&dialog);
        if (!authority)
            return int(QDialog::Rejected);
        dialog.findChild<QRadioButton*>(QStringLiteral("userRadio"))->click();
        edit("userNewEdit")->setText(kUser);
        edit("userConfirmEdit")->setText(kUser);
        authority->OnApply();
        dialog.findChild<QRadioButton*>(QStringLiteral("administratorRadio"))->click();
        edit("adminNewEdit")->setText(kAdmin);
        edit("adminConfirmEdit")->setText(kAdmin);
        authority->OnApply();
        dialog.reject();
        return int(QDialog::Rejected);
    });
    frame->OnCommand(ID_AUTHORIZATION);
    QVERIFY(fieldsMasked);
    QCOMPARE(frame->Session().m_community, kAdmin);
    // Later requests carry the new community, and the device takes them.
    frame->OnCommand(ID_REFRESH);
    QCOMPARE(frame->StatusText(0), QStringLiteral("Get Configuration done"));
    frame->OnCommand(ID_DOWNLOAD_CHANGES);
    QCOMPARE(frame->StatusText(0), QStringLiteral("Download Configuration done"));
    frame->OnCommand(ID_CLOSE_CONNECTION);
    frame.reset();

    // The settings folder: the profile holds the address and nothing else.
    QSettings profile(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("ZELCORA"),
                      QStringLiteral("Halvane"));
    QCOMPARE(profile.allKeys(), QStringList{QStringLiteral("Halvane/IPsettings")});
    QCOMPARE(profile.value(QStringLiteral("Halvane/IPsettings")).toString(), kAgent);
    int files = 0;
    for (QDirIterator it(m_config.path(), QDir::Files | QDir::Hidden,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        QFile file(it.next());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        ++files;
        for (const QString& secret : {kAdmin, kUser, QStringLiteral("private")})
            QVERIFY2(!content.contains(secret.toLatin1()),
                     qPrintable(file.fileName() + QStringLiteral(" holds ") + secret));
    }
    QVERIFY(files >= 1);

    // Nothing logged, shown or put in the status bar carries them either.
    QStringList seen;
    {
        QMutexLocker lock(&g_logMutex);
        seen = g_logged;
    }
    seen += CMessageBox::shownTexts() + CMessageBox::shownDetails();
    for (const QString& secret : {kAdmin, kUser})
        for (const QString& text : seen)
            QVERIFY2(!text.contains(secret), qPrintable(text));
    QVERIFY(CMessageBox::shownTexts().contains(QStringLiteral("Password changed")));
}

QTEST_MAIN(TestSecrets)
#include "tst_secrets.moc"
