// The main window: version probe, device commands, configuration windows, closing.
#include "brenlow_texts.h"
#include "configuration_window.h"
#include "device_fixture.h"
#include "main_dialog.h"
#include "message_box.h"
#include "sample_block.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace
{

QString t(const char* fixed)
{
    return QString::fromLatin1(fixed);
}

QString field(MainDialog& d, const char* name)
{
    return d.findChild<QLineEdit*>(QString::fromLatin1(name))->text();
}

void click(MainDialog& d, const char* name)
{
    d.findChild<QPushButton*>(QString::fromLatin1(name))->click();
}

} // namespace

class TestMainDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void layout();
    void probeShowsVersions();
    void startWithoutDevice();
    void probeReadFailsSilently();
    void commands();
    void resetThenFailedRestore();
    void configurationOpensNewWindows();
    void enterAndEscapeClose();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<DeviceFixture> m_device;
};

void TestMainDialog::init()
{
    MessageBox::setTestMode(true);
    m_device = std::make_unique<DeviceFixture>(m_dir.filePath(QStringLiteral("DfuDevice0")));
    m_device->setStore(sampleBlock().bytes());
    QVERIFY(m_device->start());
}

void TestMainDialog::cleanup()
{
    m_device.reset();
    QCOMPARE(MessageBox::takeShown(), QStringList());
}

void TestMainDialog::layout()
{
    MainDialog d(m_device->path(), 0);
    QCOMPARE(d.windowTitle(), QStringLiteral("Brenlow"));
    QStringList groups;
    for (const QGroupBox* box : d.findChildren<QGroupBox*>())
        groups.append(box->title());
    QCOMPARE(groups, (QStringList{"Utilities", "Commands", "Information"}));
    QStringList buttons;
    for (const QPushButton* button : d.findChildren<QPushButton*>())
        buttons.append(button->text());
    QCOMPARE(buttons, (QStringList{"Configuration", "Reset AP", "Restore Defaults"}));
    for (const QLineEdit* edit : d.findChildren<QLineEdit*>())
        QVERIFY(edit->isReadOnly());
    QVERIFY(!d.windowIcon().isNull());
    QVERIFY(m_device->requests().isEmpty()); // nothing is sent before the probe
}

void TestMainDialog::probeShowsVersions()
{
    m_device->setVersion(QByteArray("\x01\x0C\x02\xFF", 4));
    MainDialog d(m_device->path(), 0);
    d.runVersionProbe();
    QCOMPARE(field(d, "firmwareVersionEdit"), QStringLiteral("1.12.2.-1"));
    QCOMPARE(field(d, "brenlowVersionEdit"), QStringLiteral("0.0.5.4"));
    QCOMPARE(field(d, "statusEdit"), QString());
    const auto requests = m_device->requests();
    QCOMPARE(requests.size(), 3);
    for (const auto& request : requests)
        QCOMPARE(request.input, QByteArray(1, '\x03'));
    QVERIFY(!d.link().isOpen());
}

void TestMainDialog::startWithoutDevice()
{
    MainDialog d(m_dir.filePath(QStringLiteral("absent")), 0);
    d.runVersionProbe();
    QCOMPARE(MessageBox::takeShown(), QStringList{t(Texts::DriverNotLoaded)});
    QCOMPARE(field(d, "firmwareVersionEdit"), QString());
    QCOMPARE(field(d, "brenlowVersionEdit"), QString());
    QCOMPARE(field(d, "statusEdit"), QString());
    click(d, "resetButton");
    QCOMPARE(MessageBox::takeShown(), QStringList{t(Texts::DriverNotLoaded)});
    click(d, "restoreButton");
    QCOMPARE(MessageBox::takeShown(), QStringList{t(Texts::DriverNotLoaded)});
}

void TestMainDialog::probeReadFailsSilently()
{
    DeviceFixture::Faults faults;
    faults.failEveryRead = true;
    m_device->setFaults(faults);
    MainDialog d(m_device->path(), 0);
    d.runVersionProbe();
    QCOMPARE(field(d, "firmwareVersionEdit"), QString());
    QCOMPARE(field(d, "brenlowVersionEdit"), QString());
    QVERIFY(!d.link().isOpen());
}

void TestMainDialog::commands()
{
    MainDialog d(m_device->path(), 0);
    click(d, "resetButton");
    QCOMPARE(field(d, "statusEdit"), QStringLiteral("Reset AP Completed!"));
    click(d, "restoreButton");
    QCOMPARE(field(d, "statusEdit"), QStringLiteral("Restore Default Values Completed!"));
    const auto requests = m_device->requests();
    QCOMPARE(requests.size(), 2); // no confirmation, no re-read afterwards
    QCOMPARE(requests.at(0).code, DfuRequestReset);
    QCOMPARE(requests.at(1).code, DfuRequestRestoreDefaults);
    QVERIFY(!d.link().isOpen());
}

void TestMainDialog::resetThenFailedRestore()
{
    MainDialog d(m_device->path(), 0);
    click(d, "resetButton");
    DeviceFixture::Faults faults;
    faults.failRestore = true;
    faults.failReset = true;
    m_device->setFaults(faults);
    click(d, "restoreButton");
    QCOMPARE(MessageBox::takeShown(), QStringList{t(Texts::CannotRestoreDefaults)});
    QCOMPARE(field(d, "statusEdit"), QStringLiteral("Reset AP Completed!"));
    click(d, "resetButton");
    QCOMPARE(MessageBox::takeShown(), QStringList{t(Texts::CannotResetAp)});
    QCOMPARE(field(d, "statusEdit"), QStringLiteral("Reset AP Completed!"));
    QVERIFY(!d.link().isOpen());
}

void TestMainDialog::configurationOpensNewWindows()
{
    MainDialog d(m_device->path(), 1);
    d.show();
    click(d, "configurationButton");
    click(d, "configurationButton");
    const auto windows = d.findChildren<ConfigurationWindow*>();
    QCOMPARE(windows.size(), 2);
    for (ConfigurationWindow* w : windows) {
        QVERIFY(w->isVisible());
        QVERIFY(w->isWindow());
        QCOMPARE(w->findChild<QTreeWidget*>("list")->topLevelItemCount(), 41);
    }
    QCOMPARE(m_device->requests().size(), 6);
    // Exit closes one window; nothing is written.
    windows.first()->findChild<QPushButton*>("exitButton")->click();
    QTRY_COMPARE(d.findChildren<ConfigurationWindow*>().size(), 1);
    QCOMPARE(m_device->requests().size(), 6);
}

void TestMainDialog::enterAndEscapeClose()
{
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        MainDialog d(m_device->path(), 0);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.findChild<QPushButton*>("resetButton")->setFocus();
        QTest::keyClick(&d, key);
        QVERIFY(!d.isVisible());
        QVERIFY(m_device->requests().isEmpty()); // Enter did not press the focused button
    }
}

QTEST_MAIN(TestMainDialog)
#include "tst_main_dialog.moc"
