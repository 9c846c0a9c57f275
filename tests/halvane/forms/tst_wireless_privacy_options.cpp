// The privacy options form against a real apsim: the read when it opens,
// the radio buttons and the default key list, "Set" with the write and what
// the device then holds, the authority refusal, and failed reads and writes.
#include "form_fixture.h"
#include "masked_edit.h"
#include "wireless_privacy_options.h"

#include <QComboBox>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>

namespace
{

const QString kKey1 = QStringLiteral("0123456789ABCDEF0123456789");
const QString kKey2 = QStringLiteral("11223344556677889900AABBCC");
const QString kKey3 = QStringLiteral("DEADBEEF00112233445566778F");
const QString kKey4 = QStringLiteral("A0A1A2A3A4A5A6A7A8A9AAABAC");
const QString kAddress = QStringLiteral("127.0.0.31");

CMSMask* Key(QWidget* form, int n)
{
    return form->findChild<CMSMask*>(QStringLiteral("key%1Edit").arg(n));
}
QComboBox* KeyList(QWidget* form)
{
    return form->findChild<QComboBox*>(QStringLiteral("defaultKeyCombo"));
}
QRadioButton* Radio(QWidget* form, const char* name)
{
    return form->findChild<QRadioButton*>(QLatin1String(name));
}
QPushButton* Button(QWidget* form, const char* name)
{
    return form->findChild<QPushButton*>(QLatin1String(name));
}

// Selects a list entry with the keyboard, as a user does.
void ChooseKey(QComboBox* combo, int index)
{
    combo->setFocus();
    while (combo->currentIndex() < index) {
        const int before = combo->currentIndex();
        QTest::keyClick(combo, Qt::Key_Down);
        if (combo->currentIndex() == before)
            break;
    }
    while (combo->currentIndex() > index) {
        const int before = combo->currentIndex();
        QTest::keyClick(combo, Qt::Key_Up);
        if (combo->currentIndex() == before)
            break;
    }
}

} // namespace

class TestWirelessPrivacyOptions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void fillingFromTheDevice_data();
    void fillingFromTheDevice();
    void enable64ShowsFirstTenCharacters();
    void enableButtonsTakeTheCachedKeys();
    void noneMeansDisable();
    void keyWhileDisabledChangesNothingElse();
    void set64BitKeys();
    void userAuthorityIsRefused();
    void closeStoresNothing();
    void failedRead();
    void failedWriteClosesTheForm();

private:
    bool StartDevice(quint32 wepEnable, quint32 keyId);
    CWireLessPrivacyOptions* OpenForm(int authority = 1);

    QTemporaryDir m_dir;
    quint16 m_port = 0;
    std::unique_ptr<ApsimProcess> m_ap;
    std::unique_ptr<CMainFrame> m_frame;
};

void TestWirelessPrivacyOptions::initTestCase()
{
    QVERIFY(m_dir.isValid());
    FormFixture::InitTestCase(m_dir);
}

void TestWirelessPrivacyOptions::init()
{
    FormFixture::ResetMessages();
    m_port = FormFixture::FreePort();
}

void TestWirelessPrivacyOptions::cleanup()
{
    m_frame.reset();
    m_ap.reset();
    CMessageBox::clearNextAnswer();
}

bool TestWirelessPrivacyOptions::StartDevice(quint32 wepEnable, quint32 keyId)
{
    QJsonObject config{{"defaultWEPKey1", kKey1},
                       {"defaultWEPKey2", kKey2},
                       {"defaultWEPKey3", kKey3},
                       {"defaultWEPKey4", kKey4},
                       {"privacyWEPEnable", int(wepEnable)},
                       {"privacyDefaultWEPKeyID", int(keyId)}};
    const QString profile = m_dir.filePath(QStringLiteral("privacy.json"));
    QFile file(profile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write(QJsonDocument(QJsonObject{{"config", config}}).toJson());
    file.close();
    m_ap = std::make_unique<ApsimProcess>(QStringLiteral(QX_BIN_DIR));
    return FormFixture::StartApsim(*m_ap, kAddress, m_port, {QStringLiteral("--profile"), profile});
}

CWireLessPrivacyOptions* TestWirelessPrivacyOptions::OpenForm(int authority)
{
    m_frame = FormFixture::Frame(false, m_port);
    if (!m_frame)
        return nullptr;
    FormFixture::Attach(*m_frame, kAddress, authority);
    return FormFixture::Open<CWireLessPrivacyOptions>(*m_frame, FormPrivacyOptions);
}

void TestWirelessPrivacyOptions::fillingFromTheDevice_data()
{
    QTest::addColumn<quint32>("wepEnable");
    QTest::addColumn<quint32>("keyId");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("keyLength");
    QTest::addColumn<QString>("listText");
    QTest::newRow("disabled, Key 3") << 2u << 3u << "disableRadio" << false << 26 << "Key 3";
    QTest::newRow("64-bit, Key 1") << 1u << 1u << "enable64Radio" << true << 10 << "Key 1";
    QTest::newRow("128-bit, Key 4") << 3u << 4u << "enable128Radio" << true << 26 << "Key 4";
    QTest::newRow("128-bit, None") << 3u << 0u << "enable128Radio" << true << 26 << "None";
}

void TestWirelessPrivacyOptions::fillingFromTheDevice()
{
    QFETCH(quint32, wepEnable);
    QFETCH(quint32, keyId);
    QFETCH(QString, checked);
    QFETCH(bool, enabled);
    QFETCH(int, keyLength);
    QFETCH(QString, listText);
    QVERIFY(StartDevice(wepEnable, keyId));
    CWireLessPrivacyOptions* form = OpenForm();
    QVERIFY(form);
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Get Privacy Configuration done."));
    QVERIFY(CMessageBox::shownTexts().isEmpty());
    for (const char* name : {"enable64Radio", "enable128Radio", "disableRadio"})
        QCOMPARE(Radio(form, name)->isChecked(), checked == QLatin1String(name));
    const QString keys[] = {kKey1, kKey2, kKey3, kKey4};
    for (int n = 1; n <= 4; ++n) {
        QCOMPARE(Key(form, n)->isEnabled(), enabled);
        QCOMPARE(Key(form, n)->Text(), keys[n - 1].left(keyLength));
        QCOMPARE(Key(form, n)->PlaceholderCount(), keyLength);
    }
    // The fields show the pairs with blanks between them.
    QCOMPARE(Key(form, 1)->displayText().left(14), QStringLiteral("01 23 45 67 89"));
    QCOMPARE(KeyList(form)->count(), 5);
    QCOMPARE(KeyList(form)->currentText(), listText);
    QCOMPARE(m_frame->Session().privacyWEPEnable, wepEnable);
}

void TestWirelessPrivacyOptions::enable64ShowsFirstTenCharacters()
{
    QVERIFY(StartDevice(3, 1));
    CWireLessPrivacyOptions* form = OpenForm();
    QVERIFY(form);
    FormFixture::Click(Radio(form, "enable64Radio"));
    QVERIFY(Radio(form, "enable64Radio")->isChecked());
    const QString keys[] = {kKey1, kKey2, kKey3, kKey4};
    for (int n = 1; n <= 4; ++n) {
        QCOMPARE(Key(form, n)->Mask(), QLatin1String(PrivacyOptions::kMask64));
        QCOMPARE(Key(form, n)->Text(), keys[n - 1].left(10));
    }
    QCOMPARE(KeyList(form)->currentText(), QStringLiteral("Key 1"));
}

void TestWirelessPrivacyOptions::enableButtonsTakeTheCachedKeys()
{
    QVERIFY(StartDevice(3, 2));
    CWireLessPrivacyOptions* form = OpenForm();
    QVERIFY(form);
    CMSMask* key1 = Key(form, 1);
    key1->setFocus();
    key1->setCursorPosition(0);
    QTest::keyClicks(key1, QStringLiteral("ffeeddccbbaa99887766554433"));
    QCOMPARE(key1->Text(), QStringLiteral("FFEEDDCCBBAA99887766554433"));
    FormFixture::Click(Radio(form, "enable64Radio"));
    QCOMPARE(key1->Text(), kKey1.left(10));
    FormFixture::Click(Radio(form, "enable128Radio"));
    QCOMPARE(key1->Text(), kKey1);
    QCOMPARE(key1->Mask(), QLatin1String(PrivacyOptions::kMask128));
    // "Disable" turns the fields off and selects "None".
    FormFixture::Click(Radio(form, "disableRadio"));
    QVERIFY(!key1->isEnabled());
    QCOMPARE(KeyList(form)->currentIndex(), 0);
    // Turning WEP on again leaves the list as it is.
    FormFixture::Click(Radio(form, "enable128Radio"));
    QVERIFY(key1->isEnabled());
    QCOMPARE(KeyList(form)->currentIndex(), 0);
}

void TestWirelessPrivacyOptions::noneMeansDisable()
{
    QVERIFY(StartDevice(3, 2));
    CWireLessPrivacyOptions* form = OpenForm();
    QVERIFY(form);
    ChooseKey(KeyList(form), 0);
    QCOMPARE(KeyList(form)->currentText(), QStringLiteral("None"));
    QVERIFY(Radio(form, "disableRadio")->isChecked());
    QVERIFY(!Radio(form, "enable128Radio")->isChecked());
    QVERIFY(!Radio(form, "enable64Radio")->isChecked());
    for (int n = 1; n <= 4; ++n)
        QVERIFY(!Key(form, n)->isEnabled());
    FormFixture::Click(Button(form, "setButton"));
    QVERIFY(FormFixture::WaitClosed(*m_frame, FormPrivacyOptions));
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Set Privacy Configuration done..."));
    QCOMPARE(m_frame->Session().privacyWEPEnable, 2u);
    QCOMPARE(m_frame->Session().privacyDefaultWEPKeyID, 0u);
    QCOMPARE(FormFixture::ApsimValue(*m_ap, "privacyWEPEnable"), QStringLiteral("2"));
    QCOMPARE(FormFixture::ApsimValue(*m_ap, "privacyDefaultWEPKeyID"), QStringLiteral("0"));
    QCOMPARE(FormFixture::ApsimValue(*m_ap, "defaultWEPKey3").toUpper(), kKey3);
    QVERIFY(CMessageBox::shownTexts().isEmpty());
}

void TestWirelessPrivacyOptions::keyWhileDisabledChangesNothingElse()
{
    QVERIFY(StartDevice(2, 1));
    CWireLessPrivacyOptions* form = OpenForm();
    QVERIFY(form);
    ChooseKey(KeyList(form), 2);
    QCOMPARE(KeyList(form)->currentText(), QStringLiteral("Key 2"));
    QVERIFY(Radio(form, "disableRadio")->isChecked());
    QVERIFY(!Key(form, 2)->isEnabled());
    // Pressing Return takes the default button.
    QTest::keyClick(KeyList(form), Qt::Key_Return);
    QVERIFY(FormFixture::WaitClosed(*m_frame, FormPrivacyOptions));
    QCOMPARE(m_frame->Session().privacyWEPEnable, 2u);
    QCOMPARE(m_frame->Session().privacyDefaultWEPKeyID, 2u);
    QCOMPARE(FormFixture::ApsimValue(*m_ap, "privacyWEPEnable"), QStringLiteral("2"));
    QCOMPARE(FormFixture::ApsimValue(*m_ap, "privacyDefaultWEPKeyID"), QStringLiteral("2"));
}

void TestWirelessPrivacyOptions::set64BitKeys()
{
    QVERIFY(StartDevice(3, 1));
    CWireLessPrivacyOptions* form = OpenForm();
    QVERIFY(form);
    FormFixture::Click(Radio(form, "enable64Radio"));
    CMSMask* key4 = Key(form, 4);
    key4->setFocus();
    key4->selectAll();
    QTest::keyClick(key4, Qt::Key_Delete);
    key4->setCursorPosition(0);
    QTest::keyClicks(key4, QStringLiteral("a1b2c3d4e5f6")); // two too many for the mask
    QCOMPARE(key4->displayText(), QStringLiteral("A1 B2 C3 D4 E5"));
    FormFixture::Click(Button(form, "setButton"));
    QVERIFY(FormFixture::WaitClosed(*m_frame, FormPrivacyOptions));
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Set Privacy Configuration done..."));
    const CDeviceSession& s = m_frame->Session();
    QCOMPARE(s.privacyWEPEnable, 1u);
    QCOMPARE(s.defaultWEPKey1, kKey1.left(10));
    QCOMPARE(s.defaultWEPKey4, QStringLiteral("A1B2C3D4E5"));
    // The device took 5-byte keys (it reads them back as 13 bytes).
    QCOMPARE(FormFixture::ApsimValue(*m_ap, "privacyWEPEnable"), QStringLiteral("1"));
    QCOMPARE(FormFixture::ApsimValue(*m_ap, "defaultWEPKey4").toUpper(),
             QStringLiteral("A1B2C3D4E50000000000000000"));
    QCOMPARE(FormFixture::ApsimValue(*m_ap, "defaultWEPKey1").toUpper(),
             kKey1.left(10) + QString(16, QLatin1Char('0')));
}

void TestWirelessPrivacyOptions::userAuthorityIsRefused()
{
    QVERIFY(StartDevice(3, 1));
    CWireLessPrivacyOptions* form = OpenForm(0);
    QVERIFY(form);
    FormFixture::Click(Radio(form, "disableRadio"));
    FormFixture::Click(Button(form, "setButton"));
    QCOMPARE(CMessageBox::shownTexts(),
             QStringList{QStringLiteral("You are not authorized for this action")});
    QCOMPARE(CMessageBox::shownIcons(), QList<CMessageBox::Icon>{CMessageBox::Stop});
    QVERIFY(FormFixture::StaysOpen(*m_frame, FormPrivacyOptions));
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Set Privacy Configuration in progress..."));
    // Stored in the cache, not sent.
    QCOMPARE(m_frame->Session().privacyWEPEnable, 2u);
    QCOMPARE(m_frame->Session().privacyDefaultWEPKeyID, 0u);
    QCOMPARE(FormFixture::ApsimValue(*m_ap, "privacyWEPEnable"), QStringLiteral("3"));
    QCOMPARE(FormFixture::ApsimValue(*m_ap, "privacyDefaultWEPKeyID"), QStringLiteral("1"));
}

void TestWirelessPrivacyOptions::closeStoresNothing()
{
    QVERIFY(StartDevice(3, 1));
    for (bool closeBox : {false, true}) {
        CWireLessPrivacyOptions* form = OpenForm();
        QVERIFY(form);
        FormFixture::Click(Radio(form, "disableRadio"));
        if (closeBox)
            m_frame->FormChild(FormPrivacyOptions)->close();
        else
            FormFixture::Click(Button(form, "closeButton"));
        QVERIFY(FormFixture::WaitClosed(*m_frame, FormPrivacyOptions));
        QCOMPARE(m_frame->Session().privacyWEPEnable, 3u);
        QCOMPARE(m_frame->Session().privacyDefaultWEPKeyID, 1u);
        QCOMPARE(FormFixture::ApsimValue(*m_ap, "privacyWEPEnable"), QStringLiteral("3"));
    }
}

void TestWirelessPrivacyOptions::failedRead()
{
    // Nothing answers at the address: the form stays open and empty.
    CWireLessPrivacyOptions* form = OpenForm();
    QVERIFY(form);
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Get Privacy Configuration failed."));
    QCOMPARE(CMessageBox::shownTexts(),
             QStringList{QStringLiteral("Unable to Get Privacy Configuration. Possibly Access "
                                        "Point is not connected.")});
    QVERIFY(m_frame->FormOpen(FormPrivacyOptions));
    QCOMPARE(KeyList(form)->count(), 0);
    for (const char* name : {"enable64Radio", "enable128Radio", "disableRadio"})
        QVERIFY(!Radio(form, name)->isChecked());
    for (int n = 1; n <= 4; ++n)
        QCOMPARE(Key(form, n)->Text(), QString());
}

void TestWirelessPrivacyOptions::failedWriteClosesTheForm()
{
    QVERIFY(StartDevice(3, 1));
    CWireLessPrivacyOptions* form = OpenForm();
    QVERIFY(form);
    ChooseKey(KeyList(form), 3);
    QCOMPARE(FormFixture::Control(*m_ap, "fault silent on").left(2), QStringLiteral("ok"));
    FormFixture::Click(Button(form, "setButton"));
    QCOMPARE(m_frame->StatusText(0), QStringLiteral("Set Privacy Configuration failed..."));
    QCOMPARE(CMessageBox::shownTexts(),
             QStringList{QStringLiteral("Unable to Set Privacy Configuration. Possibly Access "
                                        "Point is not connected.")});
    QVERIFY(FormFixture::WaitClosed(*m_frame, FormPrivacyOptions));
    // The cache keeps what the form stored.
    QCOMPARE(m_frame->Session().privacyDefaultWEPKeyID, 3u);
    QCOMPARE(FormFixture::Control(*m_ap, "fault silent off").left(2), QStringLiteral("ok"));
    QCOMPARE(FormFixture::ApsimValue(*m_ap, "privacyDefaultWEPKeyID"), QStringLiteral("1"));
}

QTEST_MAIN(TestWirelessPrivacyOptions)
#include "tst_wireless_privacy_options.moc"
