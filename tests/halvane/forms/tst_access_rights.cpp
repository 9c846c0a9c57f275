// The Authorized Mac Addresses and Authority configuration dialogs: the
// address file format, loading through the file dialog's seam, a download
// of 680 addresses and the Get that reads them back from apsim, the
// refusals, the table switch, and a community change that later requests
// follow.
#include "authority_configuration.h"
#include "authorized_mac_addresses.h"
#include "device_fixture.h"
#include "file_dialog.h"

#include <QCheckBox>
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace
{

const QString kAddress = QStringLiteral("127.0.0.33");
using MacEntry = CAuthorizedMacAddresses::MacEntry;

template <class W> W* Child(QWidget* form, const char* name)
{
    W* w = form->findChild<W*>(QLatin1String(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

MacEntry Mac(quint32 n)
{
    return {0x00, 0xA0, 0xF8, quint8(n >> 16), quint8(n >> 8), quint8(n)};
}

// count addresses 00A0F8000001 ... in descending order, one per line.
QByteArray AddressFile(int count)
{
    QByteArray text;
    for (int n = count; n >= 1; --n)
        text += CAuthorizedMacAddresses::HexText(Mac(quint32(n))).toLatin1() + '\n';
    return text;
}

QStringList RowTexts(const QList<QStringList>& rows)
{
    QStringList texts;
    for (const QStringList& row : rows)
        texts << row.join(QLatin1Char(' '));
    return texts;
}

} // namespace

class TestAccessRights : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void parseAddressFile_data();
    void parseAddressFile();
    void parseRefusesOversizedFiles();
    void loadFileThroughTheDialog();
    void download680AndGetThemBack();
    void downloadRefusals();
    void getFindsNoTable();
    void tableSwitch();

    void passwordCheck_data();
    void passwordCheck();
    void authorityGroups();
    void administratorCommunityChange();
    void userCommunityChangeAndFailures();

private:
    bool Connect(const QStringList& extra = {}, int authority = 1);
    QString WriteFile(const QString& name, const QByteArray& text);

    QTemporaryDir m_dir;
    std::unique_ptr<ApsimProcess> m_ap;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<QTemporaryFile> m_profile;
};

void TestAccessRights::initTestCase()
{
    QVERIFY(m_dir.isValid());
    FormFixture::InitTestCase(m_dir);
}

void TestAccessRights::init()
{
    FormFixture::ResetMessages();
    CMessageBox::setNextAnswer(QMessageBox::Yes);
    CFileDialog::clearShown();
}

void TestAccessRights::cleanup()
{
    CFileDialog::clearNextFileName();
    m_frame.reset();
    m_ap.reset();
}

bool TestAccessRights::Connect(const QStringList& extra, int authority)
{
    m_ap = std::make_unique<ApsimProcess>(QStringLiteral(QX_BIN_DIR));
    m_frame =
        DeviceFixture::Connect(*m_ap, kAddress, extra, authority,
                               authority ? QStringLiteral("private") : QStringLiteral("public"));
    return m_frame != nullptr;
}

QString TestAccessRights::WriteFile(const QString& name, const QByteArray& text)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    file.write(text);
    return path;
}

void TestAccessRights::parseAddressFile_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QStringList>("table");

    QTest::newRow("two on one line, sorted") << QByteArray("00A0F8000002 00a0f8000001") << ""
                                             << QStringList{"00A0F8000001", "00A0F8000002"};
    QTest::newRow("blanks, tabs and line ends in any mix")
        << QByteArray("\t\r\n  FFA0F8000001\r\n\r\n\t00A0F8000009 \t 80a0f8000000\n") << ""
        << QStringList{"00A0F8000009", "80A0F8000000", "FFA0F8000001"};
    QTest::newRow("repeats are kept") << QByteArray("00A0F8000001\n00a0f8000001\n") << ""
                                      << QStringList{"00A0F8000001", "00A0F8000001"};
    QTest::newRow("empty") << QByteArray() << "" << QStringList{};
    QTest::newRow("only blanks") << QByteArray(" \n\t\n") << "" << QStringList{};
    QTest::newRow("third word of 10") << QByteArray("00A0F8000001 00A0F8000002 00A0F81234")
                                      << "Invalid address length" << QStringList{};
    QTest::newRow("word of 13") << QByteArray("00A0F80000011") << "Invalid address length"
                                << QStringList{};
    QTest::newRow("separators") << QByteArray("00-A0-F8-00-00-01") << "Invalid address length"
                                << QStringList{};
    QTest::newRow("not hexadecimal")
        << QByteArray("00A0F8000001 00A0F80000G1") << "Invalid address digits" << QStringList{};
    QTest::newRow("not ASCII") << QByteArray("00A0F80000\xc3\xa9") << "Invalid address digits"
                               << QStringList{};
}

void TestAccessRights::parseAddressFile()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    QFETCH(QStringList, table);
    QList<MacEntry> entries{Mac(99)};
    QCOMPARE(CAuthorizedMacAddresses::ParseMacText(text, entries), error);
    QStringList hex;
    for (const MacEntry& entry : entries)
        hex << CAuthorizedMacAddresses::HexText(entry);
    QCOMPARE(hex, table);
}

void TestAccessRights::parseRefusesOversizedFiles()
{
    QList<MacEntry> table;
    QCOMPARE(CAuthorizedMacAddresses::ParseMacText(AddressFile(10000), table), QString());
    QCOMPARE(table.size(), 10000);
    QCOMPARE(table.first(), Mac(1));
    QCOMPARE(table.last(), Mac(10000));
    QCOMPARE(CAuthorizedMacAddresses::ParseMacText(AddressFile(10001), table),
             QStringLiteral("Too many Mac Addresses. Not allowed over 10000"));
    QVERIFY(table.isEmpty());
    // One endless word: refused without holding it.
    QCOMPARE(CAuthorizedMacAddresses::ParseMacText(QByteArray(4 << 20, 'A'), table),
             QStringLiteral("Invalid address length"));
}

void TestAccessRights::loadFileThroughTheDialog()
{
    m_frame = FormFixture::Frame();
    QVERIFY(m_frame);
    m_frame->Session().m_authority = 1;
    CAuthorizedMacAddresses dialog(m_frame.get());
    const QString good = WriteFile(QStringLiteral("two.txt"), "00A0F8000002 00a0f8000001\n");
    CFileDialog::setNextFileName(good);
    FormFixture::Click(Child<QPushButton>(&dialog, "loadFileButton"));
    QCOMPARE(CFileDialog::shownFilters(),
             (QList<QStringList>{{"Text Files (*.txt)", "All Files (*)"}}));
    QCOMPARE(RowTexts(dialog.RowsShown()),
             (QStringList{"1 00-A0-F8-00-00-01", "2 00-A0-F8-00-00-02"}));
    QVERIFY(CMessageBox::shownTexts().isEmpty());

    // Cancel in the file dialog leaves the table as it was.
    CFileDialog::setNextFileName(QString());
    FormFixture::Click(Child<QPushButton>(&dialog, "loadFileButton"));
    QCOMPARE(dialog.Table().size(), 2);
    QCOMPARE(dialog.RowsShown().size(), 2);

    const QString missing = m_dir.filePath(QStringLiteral("missing.txt"));
    CFileDialog::setNextFileName(missing);
    FormFixture::Click(Child<QPushButton>(&dialog, "loadFileButton"));
    QCOMPARE(CMessageBox::shownTexts(), QStringList{QStringLiteral("Can't open ") + missing});
    QVERIFY(dialog.Table().isEmpty());
    QVERIFY(dialog.RowsShown().isEmpty());

    CMessageBox::clearShown();
    CFileDialog::setNextFileName(good);
    FormFixture::Click(Child<QPushButton>(&dialog, "loadFileButton"));
    CFileDialog::setNextFileName(
        WriteFile(QStringLiteral("short.txt"), "00A0F8000001 00A0F8000002 00A0F81234\n"));
    FormFixture::Click(Child<QPushButton>(&dialog, "loadFileButton"));
    QCOMPARE(CMessageBox::shownTexts(), QStringList{"Invalid address length"});
    QVERIFY(dialog.Table().isEmpty());
    QVERIFY(dialog.RowsShown().isEmpty());
    FormFixture::Click(Child<QPushButton>(&dialog, "downloadButton"));
    QCOMPARE(CMessageBox::shownTexts().last(), QStringLiteral("Load Mac Addresses"));

    CFileDialog::setNextFileName(WriteFile(QStringLiteral("big.txt"), AddressFile(10001)));
    FormFixture::Click(Child<QPushButton>(&dialog, "loadFileButton"));
    QCOMPARE(CMessageBox::shownTexts().last(),
             QStringLiteral("Too many Mac Addresses. Not allowed over 10000"));
    QVERIFY(dialog.Table().isEmpty());

    // An empty file: no message, an empty table.
    CMessageBox::clearShown();
    CFileDialog::setNextFileName(WriteFile(QStringLiteral("empty.txt"), QByteArray()));
    FormFixture::Click(Child<QPushButton>(&dialog, "loadFileButton"));
    QVERIFY(CMessageBox::shownTexts().isEmpty());
    QVERIFY(dialog.Table().isEmpty());
}

void TestAccessRights::download680AndGetThemBack()
{
    QVERIFY(Connect());
    CAuthorizedMacAddresses dialog(m_frame.get());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    CFileDialog::setNextFileName(WriteFile(QStringLiteral("680.txt"), AddressFile(680)));
    FormFixture::Click(Child<QPushButton>(&dialog, "loadFileButton"));
    QCOMPARE(dialog.Table().size(), 680);

    // While the download runs: the progress moves, and neither Close, the
    // close box nor Escape end the dialog; a second Dowload does nothing.
    QList<int> progress;
    QStringList statuses;
    bool closeEnabled = true;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, &dialog, [&] {
        if (!dialog.TransferRunning())
            return;
        progress << dialog.ProgressValue();
        statuses << m_frame->StatusText(0);
        closeEnabled = closeEnabled && Child<QPushButton>(&dialog, "closeButton")->isEnabled();
        dialog.reject();
        dialog.close();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        dialog.OnDownload();
    });
    watcher.start(20);
    FormFixture::Click(Child<QPushButton>(&dialog, "downloadButton"));
    watcher.stop();
    QCOMPARE(CMessageBox::shownTexts(),
             QStringList{"Do you want to Download these Mac Addresses?"});
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Download Authorized Mac Addresses Done"));
    QVERIFY2(progress.size() >= 3, qPrintable(QString::number(progress.size())));
    QVERIFY(std::is_sorted(progress.begin(), progress.end()));
    QVERIFY(progress.first() < progress.last());
    QVERIFY(statuses.contains(QStringLiteral("Download in progress...")));
    QVERIFY(!closeEnabled);
    QCOMPARE(dialog.ProgressValue(), 680);
    QCOMPARE(dialog.ProgressMaximum(), 680);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), 0);
    // The last block the device took was entry 680 of 680.
    CDeviceSession& session = m_frame->Session();
    QCOMPARE(session.AuthorizedMacTotal(), quint16(680));
    QCOMPARE(session.AuthorizedMacEntry(), quint16(680));
    QCOMPARE(session.AuthorizedMacAddress(), QStringLiteral("00A0F80002A8"));

    // Get reads the device's table back, in its order.
    FormFixture::Click(Child<QPushButton>(&dialog, "getButton"));
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Get Authorized Mac Addresses Done"));
    const QList<QStringList> rows = dialog.RowsShown();
    QCOMPARE(rows.size(), 680);
    QCOMPARE(rows.first(), (QStringList{"1", "00-A0-F8-00-00-01"}));
    QCOMPARE(rows.last(), (QStringList{"680", "00-A0-F8-00-02-A8"}));
    QCOMPARE(dialog.Table().size(), 680);
    for (int n = 0; n < 680; ++n)
        QCOMPARE(dialog.Table()[n], Mac(quint32(n + 1)));

    // Now the dialog may end.
    Child<QPushButton>(&dialog, "closeButton")->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void TestAccessRights::downloadRefusals()
{
    QVERIFY(Connect({}, 0));
    CAuthorizedMacAddresses dialog(m_frame.get());
    CFileDialog::setNextFileName(WriteFile(QStringLiteral("681.txt"), AddressFile(681)));
    FormFixture::Click(Child<QPushButton>(&dialog, "loadFileButton"));
    QCOMPARE(dialog.RowsShown().size(), 681);
    FormFixture::Click(Child<QPushButton>(&dialog, "downloadButton"));
    QCOMPARE(CMessageBox::shownTexts(), QStringList{"You are not authorized for this action"});
    QCOMPARE(CMessageBox::shownIcons(), QList<CMessageBox::Icon>{CMessageBox::Stop});

    m_frame->Session().m_authority = 1;
    const qint32 requests = m_frame->Session().m_requestCounter;
    FormFixture::Click(Child<QPushButton>(&dialog, "downloadButton"));
    QCOMPARE(CMessageBox::shownTexts().last(),
             QStringLiteral("Too many Mac Addresses. Not allowed over 680"));
    QCOMPARE(m_frame->Session().m_requestCounter, requests);

    // "No" to the question sends nothing either.
    CFileDialog::setNextFileName(WriteFile(QStringLiteral("3.txt"), AddressFile(3)));
    FormFixture::Click(Child<QPushButton>(&dialog, "loadFileButton"));
    CMessageBox::setNextAnswer(QMessageBox::No);
    FormFixture::Click(Child<QPushButton>(&dialog, "downloadButton"));
    QCOMPARE(CMessageBox::shownTexts().last(),
             QStringLiteral("Do you want to Download these Mac Addresses?"));
    QCOMPARE(m_frame->Session().m_requestCounter, requests);

    // A device that stops answering: the failure is only in the status bar.
    CMessageBox::setNextAnswer(QMessageBox::Yes);
    QVERIFY(FormFixture::Control(*m_ap, "fault silent on").startsWith(QLatin1String("ok")));
    const int shown = CMessageBox::shownTexts().size();
    FormFixture::Click(Child<QPushButton>(&dialog, "downloadButton"));
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Download Authorized Mac Addresses failed"));
    QCOMPARE(CMessageBox::shownTexts().size(), shown + 1); // the question only
    QVERIFY(!dialog.TransferRunning());
    QVERIFY(Child<QPushButton>(&dialog, "closeButton")->isEnabled());
}

void TestAccessRights::getFindsNoTable()
{
    m_profile = DeviceFixture::Profile(QJsonObject{{QStringLiteral("macTable"), QJsonArray{}}});
    QVERIFY(m_profile);
    // The table read is allowed with the user community.
    QVERIFY(Connect({QStringLiteral("--profile"), m_profile->fileName()}, 0));
    CAuthorizedMacAddresses dialog(m_frame.get());
    CFileDialog::setNextFileName(WriteFile(QStringLiteral("2.txt"), AddressFile(2)));
    FormFixture::Click(Child<QPushButton>(&dialog, "loadFileButton"));
    FormFixture::Click(Child<QPushButton>(&dialog, "getButton"));
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("There are not Authorized Mac Addresses"));
    QCOMPARE(CMessageBox::shownTexts(),
             QStringList{"There are not Authorized Mac Addresses recorded"});
    QVERIFY(dialog.RowsShown().isEmpty());
    QVERIFY(dialog.Table().isEmpty());

    QVERIFY(FormFixture::Control(*m_ap, "fault silent on").startsWith(QLatin1String("ok")));
    FormFixture::Click(Child<QPushButton>(&dialog, "getButton"));
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Get Authorized Mac Addresses failed"));
}

void TestAccessRights::tableSwitch()
{
    QVERIFY(Connect());
    CDeviceSession& session = m_frame->Session();
    QCOMPARE(session.AuthorizationMacEnable, 2u);
    CAuthorizedMacAddresses dialog(m_frame.get());
    auto* box = Child<QCheckBox>(&dialog, "tableEnableBox");
    QVERIFY(!box->isChecked());
    FormFixture::Click(box);
    QCOMPARE(CMessageBox::shownTexts(), QStringList{"Authorization Table Enable"});
    QCOMPARE(CMessageBox::shownIcons(), QList<CMessageBox::Icon>{CMessageBox::Information});
    QCOMPARE(session.AuthorizationMacEnable, 1u);
    QCOMPARE(FormFixture::ApsimValue(*m_ap, QStringLiteral("AuthorizationMacEnable")),
             QStringLiteral("1"));
    QVERIFY(box->isEnabled());

    // A second dialog opens with the box checked; a failed change puts the
    // box and the cache back.
    CAuthorizedMacAddresses again(m_frame.get());
    box = Child<QCheckBox>(&again, "tableEnableBox");
    QVERIFY(box->isChecked());
    QVERIFY(FormFixture::Control(*m_ap, "fault silent on").startsWith(QLatin1String("ok")));
    CMessageBox::clearShown();
    FormFixture::Click(box);
    QCOMPARE(CMessageBox::shownTexts(), QStringList{"Failed to connect with Access Point"});
    QVERIFY(box->isChecked());
    QCOMPARE(session.AuthorizationMacEnable, 1u);
    QVERIFY(Child<QPushButton>(&again, "closeButton")->isEnabled());
}

void TestAccessRights::passwordCheck_data()
{
    QTest::addColumn<QString>("newText");
    QTest::addColumn<QString>("confirmText");
    QTest::addColumn<QString>("error");
    QTest::newRow("equal") << "s3cret"
                           << "s3cret"
                           << "";
    QTest::newRow("both empty") << ""
                                << ""
                                << "Invalid Password";
    QTest::newRow("different") << "s3cret"
                               << "s3crez"
                               << "Invalid Password";
    QTest::newRow("case matters") << "Secret"
                                  << "secret"
                                  << "Invalid Password";
    QTest::newRow("confirmation empty") << "s3cret"
                                        << ""
                                        << "Invalid Password";
}

void TestAccessRights::passwordCheck()
{
    QFETCH(QString, newText);
    QFETCH(QString, confirmText);
    QFETCH(QString, error);
    QCOMPARE(CAuthorityConfiguration::CheckPassword(newText, confirmText), error);
}

void TestAccessRights::authorityGroups()
{
    m_frame = FormFixture::Frame();
    QVERIFY(m_frame);
    CAuthorityConfiguration dialog(m_frame.get());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const auto groupEnabled = [&](const char* edit1, const char* edit2, const char* label1,
                                  const char* label2) {
        return Child<QLineEdit>(&dialog, edit1)->isEnabled() &&
               Child<QLineEdit>(&dialog, edit2)->isEnabled() &&
               Child<QWidget>(&dialog, label1)->isEnabled() &&
               Child<QWidget>(&dialog, label2)->isEnabled();
    };
    const auto adminEnabled = [&] {
        return groupEnabled("adminNewEdit", "adminConfirmEdit", "adminNewLabel",
                            "adminConfirmLabel");
    };
    const auto userEnabled = [&] {
        return groupEnabled("userNewEdit", "userConfirmEdit", "userNewLabel", "userConfirmLabel");
    };
    QVERIFY(Child<QRadioButton>(&dialog, "administratorRadio")->isChecked());
    QVERIFY(adminEnabled());
    QVERIFY(!Child<QLineEdit>(&dialog, "userNewEdit")->isEnabled());
    QCOMPARE(Child<QLineEdit>(&dialog, "adminNewEdit")->echoMode(), QLineEdit::Password);
    QCOMPARE(Child<QLineEdit>(&dialog, "userConfirmEdit")->echoMode(), QLineEdit::Password);
    FormFixture::Click(Child<QRadioButton>(&dialog, "userRadio"));
    QVERIFY(userEnabled());
    QVERIFY(!Child<QLineEdit>(&dialog, "adminNewEdit")->isEnabled());
    FormFixture::Click(Child<QRadioButton>(&dialog, "administratorRadio"));
    QVERIFY(adminEnabled());
    QVERIFY(!Child<QLineEdit>(&dialog, "userConfirmEdit")->isEnabled());
}

void TestAccessRights::administratorCommunityChange()
{
    QVERIFY(Connect());
    CDeviceSession& session = m_frame->Session();
    CAuthorityConfiguration dialog(m_frame.get());
    QTest::keyClicks(Child<QLineEdit>(&dialog, "adminNewEdit"), QStringLiteral("s3cret"));
    QTest::keyClicks(Child<QLineEdit>(&dialog, "adminConfirmEdit"), QStringLiteral("s3cret"));
    FormFixture::Click(Child<QPushButton>(&dialog, "applyButton"));
    QCOMPARE(CMessageBox::shownTexts(), QStringList{"Password changed"});
    QCOMPARE(CMessageBox::shownIcons(), QList<CMessageBox::Icon>{CMessageBox::Information});
    QCOMPARE(session.m_community, QStringLiteral("s3cret"));
    QCOMPARE(dialog.result(), 0); // Apply does not end the dialog

    // Later requests carry the new community and pass; the old one is refused.
    m_frame->OnCommand(ID_GET_CONFIGURATION);
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Get Configuration done"));
    m_frame->OnCommand(ID_TRAP_SWITCH);
    QCOMPARE(m_frame->StatusText(0).startsWith(QLatin1String("SNMP traps")), true);
    session.m_community = QStringLiteral("private");
    m_frame->OnCommand(ID_GET_CONFIGURATION);
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Get Configuration failed"));
}

void TestAccessRights::userCommunityChangeAndFailures()
{
    QVERIFY(Connect({}, 0));
    CDeviceSession& session = m_frame->Session();
    CAuthorityConfiguration dialog(m_frame.get());
    FormFixture::Click(Child<QRadioButton>(&dialog, "userRadio"));
    Child<QLineEdit>(&dialog, "userNewEdit")->setText(QStringLiteral("guest"));
    Child<QLineEdit>(&dialog, "userConfirmEdit")->setText(QStringLiteral("guest"));
    FormFixture::Click(Child<QPushButton>(&dialog, "applyButton"));
    QCOMPARE(CMessageBox::shownTexts(), QStringList{"You are not authorized for this action"});
    QCOMPARE(CMessageBox::shownIcons(), QList<CMessageBox::Icon>{CMessageBox::Stop});

    session.m_authority = 1;
    session.m_community = QStringLiteral("private");
    CMessageBox::clearShown();
    Child<QLineEdit>(&dialog, "userConfirmEdit")->setText(QStringLiteral("guesT"));
    FormFixture::Click(Child<QPushButton>(&dialog, "applyButton"));
    QCOMPARE(CMessageBox::shownTexts(), QStringList{"Invalid Password"});

    CMessageBox::clearShown();
    Child<QLineEdit>(&dialog, "userConfirmEdit")->setText(QStringLiteral("guest"));
    FormFixture::Click(Child<QPushButton>(&dialog, "applyButton"));
    QCOMPARE(CMessageBox::shownTexts(), QStringList{"Password changed"});
    // The session goes on with the Administrator community.
    QCOMPARE(session.m_community, QStringLiteral("private"));
    // The new User community reads; the old one no longer does.
    session.m_community = QStringLiteral("guest");
    session.m_authority = 0;
    m_frame->OnCommand(ID_GET_CONFIGURATION);
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Get Configuration done"));
    session.m_community = QStringLiteral("public");
    m_frame->OnCommand(ID_GET_CONFIGURATION);
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Get Configuration failed"));

    // A device that does not answer.
    session.m_community = QStringLiteral("private");
    session.m_authority = 1;
    QVERIFY(FormFixture::Control(*m_ap, "fault silent on").startsWith(QLatin1String("ok")));
    CMessageBox::clearShown();
    FormFixture::Click(Child<QPushButton>(&dialog, "applyButton"));
    QCOMPARE(CMessageBox::shownTexts(), QStringList{"Password failed"});
    QCOMPARE(session.m_community, QStringLiteral("private"));
}

QTEST_MAIN(TestAccessRights)
#include "tst_access_rights.moc"
