// The configuration window with its real editors, against a device end on a real socket.
#include "brenlow_texts.h"
#include "choice_editor.h"
#include "configuration_window.h"
#include "device_fixture.h"
#include "device_link.h"
#include "ip_editor.h"
#include "mac_editor.h"
#include "message_box.h"
#include "modal_answer.h"
#include "number_editor.h"
#include "sample_block.h"
#include "text_editor.h"
#include "wep128_editor.h"
#include "wep64_editor.h"

#include <QComboBox>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using B = ConfigurationBlock;

namespace
{

QString t(const char* fixed)
{
    return QString::fromLatin1(fixed);
}

} // namespace

class TestConfigurationWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void getListsEveryRow();
    void beforeGet();
    void driverMissing();
    void failedGetKeepsList();
    void essidPath();
    void setAnsweredNo();
    void setFailures();
    void numberEditor_data();
    void numberEditor();
    void hexBoxEditors_data();
    void hexBoxEditors();
    void choiceEditors_data();
    void choiceEditors();
    void ipEditorBlankField();
    void communityTooLong();
    void rowsWithoutEditor_data();
    void rowsWithoutEditor();
    void cancelChangesNothing();
    void enterEditsAndDoesNotGet();
    void windowsAreIndependent();

private:
    std::unique_ptr<ConfigurationWindow> openWindow(int appMode = 0);
    QTreeWidget* list(ConfigurationWindow& w) { return w.findChild<QTreeWidget*>("list"); }
    QString value(ConfigurationWindow& w, int row) { return list(w)->topLevelItem(row)->text(1); }
    void select(ConfigurationWindow& w, int row)
    {
        list(w)->setCurrentItem(list(w)->topLevelItem(row));
    }
    int writes() const;

    QTemporaryDir m_dir;
    std::unique_ptr<DeviceFixture> m_device;
    std::unique_ptr<DeviceLink> m_link;
};

void TestConfigurationWindow::init()
{
    MessageBox::setTestMode(true);
    m_device = std::make_unique<DeviceFixture>(m_dir.filePath(QStringLiteral("DfuDevice0")));
    m_device->setStore(sampleBlock().bytes());
    QVERIFY(m_device->start());
    m_link = std::make_unique<DeviceLink>(m_device->path());
}

void TestConfigurationWindow::cleanup()
{
    m_link.reset();
    m_device.reset();
    QCOMPARE(MessageBox::takeShown(), QStringList()); // every message was looked at
}

std::unique_ptr<ConfigurationWindow> TestConfigurationWindow::openWindow(int appMode)
{
    auto window = std::make_unique<ConfigurationWindow>(*m_link, appMode);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->show();
    window->get();
    return window;
}

int TestConfigurationWindow::writes() const
{
    int count = 0;
    for (const auto& request : m_device->requests())
        count += request.code == DfuRequestGroup && request.input.size() > 1;
    return count;
}

void TestConfigurationWindow::getListsEveryRow()
{
    auto w = openWindow();
    QCOMPARE(w->windowTitle(), QStringLiteral("AP Configuration"));
    QTreeWidget* l = list(*w);
    QCOMPARE(l->headerItem()->text(0), QStringLiteral("Identifier"));
    QCOMPARE(l->headerItem()->text(1), QStringLiteral("Value"));
    // 180 pixels at least, and wide enough for every identifier in the font in use.
    QVERIFY(l->columnWidth(0) >= 180);
    QVERIFY(l->columnWidth(1) >= 250); // the last column takes the rest of the width
    for (int row = 0; row < 41; ++row)
        QVERIFY(l->fontMetrics().horizontalAdvance(rowIdentifier(row)) < l->columnWidth(0));
    QCOMPARE(l->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(l->topLevelItemCount(), 41);
    const ConfigurationBlock sample = sampleBlock();
    for (int row = 0; row < 41; ++row) {
        QCOMPARE(l->topLevelItem(row)->text(0), rowIdentifier(row));
        QCOMPARE(l->topLevelItem(row)->text(1), rowValueText(sample, row));
    }
    QCOMPARE(value(*w, 5), QStringLiteral("Demo"));
    QCOMPARE(value(*w, 24), QStringLiteral("public"));
    QVERIFY(w->findChild<QPushButton*>("modifyButton")->isEnabled());
    QVERIFY(w->findChild<QPushButton*>("setButton")->isEnabled());
    QVERIFY(w->findChild<QPushButton*>("getButton")->isDefault());
    QVERIFY(!m_link->isOpen()); // closed after the command
    QCOMPARE(m_device->requests().size(), 3);
}

void TestConfigurationWindow::beforeGet()
{
    ConfigurationWindow w(*m_link, 1);
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    w.show();
    QVERIFY(!w.findChild<QPushButton*>("modifyButton")->isEnabled());
    QVERIFY(!w.findChild<QPushButton*>("setButton")->isEnabled());
    QCOMPARE(list(w)->topLevelItemCount(), 0);
    ModalAnswer<QDialog> editor([](QDialog* d) { d->reject(); });
    w.activateSelectedRow();
    QVERIFY(!editor.answered());
    w.set();
    QCOMPARE(MessageBox::takeShown(), QStringList{t(Texts::CantSaveConfiguration)});
    QVERIFY(m_device->requests().isEmpty());
}

void TestConfigurationWindow::driverMissing()
{
    DeviceLink missing(m_dir.filePath(QStringLiteral("nothing")));
    ConfigurationWindow w(missing, 0);
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    w.get();
    QCOMPARE(MessageBox::takeShown(), QStringList{t(Texts::DriverNotLoaded)});
    QCOMPARE(list(w)->topLevelItemCount(), 0);
    QVERIFY(!w.findChild<QPushButton*>("modifyButton")->isEnabled());
}

void TestConfigurationWindow::failedGetKeepsList()
{
    auto w = openWindow();
    const QByteArray block = w->block().area();
    ConfigurationBlock changed = sampleBlock();
    changed.setBytes(B::WirelEssid, "Othr");
    m_device->setStore(changed.bytes());
    DeviceFixture::Faults faults;
    faults.failRead = 3;
    m_device->setFaults(faults);
    w->get();
    QCOMPARE(MessageBox::takeShown(), QStringList{t(Texts::CannotGetConfiguration)});
    QCOMPARE(value(*w, 5), QStringLiteral("Demo"));
    QCOMPARE(w->block().area(), block);
    QVERIFY(w->findChild<QPushButton*>("modifyButton")->isEnabled());
    QVERIFY(!m_link->isOpen());
    // The driver goes away: the same message as at any command.
    m_device->stop();
    w->get();
    QCOMPARE(MessageBox::takeShown(), QStringList{t(Texts::DriverNotLoaded)});
    QVERIFY(w->isEnabled());
}

void TestConfigurationWindow::essidPath()
{
    auto w = openWindow();
    select(*w, 5);
    bool openedEmpty = false;
    ModalAnswer<TextEditor> editor([&](TextEditor* d) {
        auto* edit = d->findChild<QLineEdit*>("textEdit");
        openedEmpty = edit->text().isEmpty() && edit->maxLength() == 32;
        QTest::keyClicks(edit, QStringLiteral("Hello"));
        pressOk(d);
    });
    w->modify();
    QVERIFY(editor.answered());
    QCOMPARE(editor.title(), QStringLiteral(" New String"));
    QVERIFY(openedEmpty);
    QCOMPARE(value(*w, 5), QStringLiteral("Hello"));
    QCOMPARE(value(*w, 6), QStringLiteral("5"));
    QVERIFY(list(*w)->selectedItems().isEmpty()); // rebuilt
    QVERIFY(list(*w)->hasFocus() || !w->isActiveWindow());

    MessageBox::setNextAnswer(true);
    w->set();
    QCOMPARE(MessageBox::takeShown(), QStringList{t(Texts::SaveQuestion)});
    QByteArray expected = sampleBlock().bytes();
    expected.replace(31, 6, QByteArray("\x05Hello"));
    QCOMPARE(m_device->store(), expected); // bytes 37 to 63 as they were
    QVERIFY(w->isEnabled());
    QVERIFY(!m_link->isOpen());
}

void TestConfigurationWindow::setAnsweredNo()
{
    auto w = openWindow();
    MessageBox::setNextAnswer(false);
    w->set();
    QCOMPARE(MessageBox::takeShown(), QStringList{t(Texts::SaveQuestion)});
    QCOMPARE(writes(), 0);
}

void TestConfigurationWindow::setFailures()
{
    auto w = openWindow();
    DeviceFixture::Faults faults;
    faults.failWrite = true;
    m_device->setFaults(faults);
    MessageBox::setNextAnswer(true);
    w->set();
    QCOMPARE(MessageBox::takeShown(),
             (QStringList{t(Texts::SaveQuestion), t(Texts::CannotSetConfiguration)}));
    QVERIFY(w->isEnabled());
    QVERIFY(!m_link->isOpen());
    QCOMPARE(m_device->store(), sampleBlock().bytes());

    m_device->stop();
    MessageBox::setNextAnswer(true);
    w->set();
    QCOMPARE(MessageBox::takeShown(),
             (QStringList{t(Texts::SaveQuestion), t(Texts::DriverNotLoaded)}));
    QVERIFY(w->isEnabled());
}

void TestConfigurationWindow::numberEditor_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("shown"); // the row's value afterwards
    QTest::addColumn<QString>("hint");
    const QString wrong = t(Texts::WrongValue);
    const QString positive = t(Texts::PositiveInteger);
    QTest::newRow("fragmentation 256") << 9 << "256" << QStringList() << "256"
                                       << "256 - 2346 ";
    QTest::newRow("fragmentation 255") << 9 << "255" << QStringList{wrong} << "2346"
                                       << "256 - 2346 ";
    QTest::newRow("RTS 0") << 10 << "0" << QStringList() << "0"
                           << "0 - 2347 ";
    QTest::newRow("RTS 65536") << 10 << "65536" << QStringList{wrong} << "2347"
                               << "0 - 2347 ";
    QTest::newRow("beacon 1001") << 21 << "1001" << QStringList{wrong} << "100"
                                 << "20-1000 (Typical 100) ";
    QTest::newRow("DTIM 255") << 22 << "255" << QStringList() << "255"
                              << "1-255 (Typical 2) ";
    QTest::newRow("DTIM letters, then 3") << 22 << "x" << QStringList{positive} << "3"
                                          << "1-255 (Typical 2) ";
}

void TestConfigurationWindow::numberEditor()
{
    QFETCH(int, row);
    QFETCH(QString, entry);
    QFETCH(QStringList, messages);
    QFETCH(QString, shown);
    auto w = openWindow();
    select(*w, row);
    QString initial;
    QString hint;
    bool stayedOpen = false;
    ModalAnswer<NumberEditor> editor([&](NumberEditor* d) {
        auto* edit = d->findChild<QLineEdit*>("numberEdit");
        initial = edit->text();
        hint = d->findChild<QPlainTextEdit*>("hintEdit")->toPlainText();
        edit->setText(entry);
        pressOk(d);
        if (d->isVisible()) { // refused: the entry is not a number
            stayedOpen = true;
            edit->setText(QStringLiteral("3"));
            pressOk(d);
        }
    });
    w->modify();
    QVERIFY(editor.answered());
    QCOMPARE(editor.title(), QStringLiteral(" New value"));
    QCOMPARE(initial, QStringLiteral("0"));
    QTEST(hint, "hint");
    QCOMPARE(stayedOpen, messages == QStringList{t(Texts::PositiveInteger)});
    QCOMPARE(MessageBox::takeShown(), messages);
    QCOMPARE(value(*w, row), shown);
    // After "Wrong value" the list is not rebuilt: the row stays selected.
    QCOMPARE(list(*w)->selectedItems().isEmpty(), messages != QStringList{t(Texts::WrongValue)});
}

void TestConfigurationWindow::hexBoxEditors_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("appMode");
    QTest::addColumn<int>("wepType");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("boxes");
    QTest::addColumn<QStringList>("first");  // typed first
    QTest::addColumn<QStringList>("second"); // typed when the first was refused
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("stored");

    QTest::newRow("MAC in AppMode 1, single f")
        << 0 << 1 << 1 << " New MAC" << 6 << QStringList{"f", "1", "22", "a", "Bb", "cC"}
        << QStringList() << "0f-01-22-0a-bb-cc" << 8 << hex("0f01220abbcc");
    QTest::newRow("wireless MAC, G1 refused")
        << 4 << 1 << 1 << " New MAC" << 6 << QStringList{"00", "G1", "00", "00", "00", "00"}
        << QStringList{"00", "01", "02", "03", "04", "05"} << "00-01-02-03-04-05" << 22
        << hex("000102030405");
    QTest::newRow("BSSID in AppMode 0, empty box refused")
        << 34 << 0 << 1 << " New MAC" << 6 << QStringList{"aa", "bb", "", "dd", "ee", "ff"}
        << QStringList{"aa", "bb", "cc", "dd", "ee", "ff"} << "AA BB CC DD EE FF" << 266
        << hex("aabbccddeeff");
    QTest::newRow("64-bit key changes 5 bytes")
        << 14 << 0 << 1 << " New WEP64 Key" << 5 << QStringList{"11", "22", "33", "44", "55"}
        << QStringList() << "11 22 33 44 55" << 85 << hex("1122334455a6a7a8a9aaabacad");
    QTest::newRow("128-bit key") << 16 << 0 << 2 << " New WEP128 Key" << 13
                                 << QStringList{"0", "1", "2", "3", "4", "5", "6",
                                                "7", "8", "9", "a", "b", "c"}
                                 << QStringList() << "00 01 02 03 04 05 06 07 08 09 0a 0b 0c" << 111
                                 << hex("000102030405060708090a0b0c");
}

void TestConfigurationWindow::hexBoxEditors()
{
    QFETCH(int, row);
    QFETCH(int, appMode);
    QFETCH(int, wepType);
    QFETCH(int, boxes);
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    QFETCH(int, offset);
    QFETCH(QByteArray, stored);
    ConfigurationBlock start = sampleBlock();
    start.setU8(B::WepType, quint8(wepType));
    m_device->setStore(start.bytes());
    auto w = openWindow(appMode);
    select(*w, row);

    int boxCount = 0;
    bool openedEmpty = true;
    bool refusedKeptOpen = false;
    ModalAnswer<HexBoxesEditor> editor([&](HexBoxesEditor* d) {
        boxCount = int(d->boxes().size());
        for (QLineEdit* box : d->boxes())
            openedEmpty = openedEmpty && box->text().isEmpty() && box->maxLength() == 2;
        fillBoxes(d, QStringLiteral("box"), first);
        pressOk(d);
        if (d->isVisible()) {
            refusedKeptOpen = true;
            fillBoxes(d, QStringLiteral("box"), second);
            pressOk(d);
        }
    });
    w->modify();
    QVERIFY(editor.answered());
    QTEST(editor.title(), "title");
    QCOMPARE(boxCount, boxes);
    QVERIFY(openedEmpty);
    QCOMPARE(refusedKeptOpen, !second.isEmpty());
    QCOMPARE(MessageBox::takeShown(),
             second.isEmpty() ? QStringList() : QStringList{t(Texts::WrongValue)});
    QTEST(value(*w, row), "shown");
    QByteArray expected = start.area();
    expected.replace(offset, stored.size(), stored);
    QCOMPARE(w->block().area(), expected);
}

void TestConfigurationWindow::choiceEditors_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("domain");
    QTest::addColumn<QStringList>("choices");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("SPAIN first channel")
        << 8 << 0x31 << QStringList{"Channel 10", "Channel 11"} << 0 << "10" << 28 << hex("0a");
    QTest::newRow("MKK normalised after the rebuild")
        << 8 << 0x40 << QStringList{"Channel 14"} << 0 << "14" << 28 << hex("0e");
    QTest::newRow("WEP key") << 12 << 0x30 << QStringList{"Key 1", "Key 2", "Key 3", "Key 4"} << 1
                             << "Key2" << 71 << hex("02");
    QTest::newRow("authentication both")
        << 18 << 0x30 << QStringList{"Open System", "Shared Key", "Both"} << 2 << "Both Type" << 68
        << hex("02");
    QTest::newRow("rate set") << 20 << 0x30 << QStringList{"82 84 8B 96", "82 84 0B 16"} << 0
                              << "82 84 8b 96" << 156 << hex("82848b96");
    QTest::newRow("admin access") << 27 << 0x30
                                  << QStringList{"READ ONLY", "READ\\WRITE", "READ\\WRITE\\HARD"}
                                  << 1 << "READ\\WRITE" << 212 << hex("baaa0000");
    QTest::newRow("traps off") << 33 << 0x30 << QStringList{"Enable", "Disable"} << 1 << "Disable"
                               << 260 << hex("02000000");
}

void TestConfigurationWindow::choiceEditors()
{
    QFETCH(int, domain);
    QFETCH(int, row);
    QFETCH(int, position);
    QFETCH(int, offset);
    QFETCH(QByteArray, stored);
    ConfigurationBlock start = sampleBlock();
    start.setU8(B::RegulatoryDomain, quint8(domain));
    start.setU8(B::WirelChannel, 12);
    m_device->setStore(start.bytes());
    auto w = openWindow();
    start.normaliseChannel();
    select(*w, row);
    QStringList offered;
    int initial = -2;
    ModalAnswer<ChoiceEditor> editor([&](ChoiceEditor* d) {
        auto* combo = d->findChild<QComboBox*>("choiceList");
        for (int i = 0; i < combo->count(); ++i)
            offered.append(combo->itemText(i));
        initial = combo->currentIndex();
        combo->setCurrentIndex(position);
        pressOk(d);
    });
    w->modify();
    QVERIFY(editor.answered());
    QCOMPARE(editor.title(), QStringLiteral(" New Value"));
    QTEST(offered, "choices");
    QCOMPARE(initial, 0);
    QTEST(value(*w, row), "shown");
    QByteArray expected = start.area();
    expected.replace(offset, stored.size(), stored);
    QCOMPARE(w->block().area(), expected);
}

void TestConfigurationWindow::ipEditorBlankField()
{
    auto w = openWindow();
    select(*w, 28);
    ModalAnswer<IpEditor> editor([](IpEditor* d) {
        fillBoxes(d, QStringLiteral("field"), {"172", "", "5", "999"}); // 999 is not taken
        pressOk(d);
    });
    w->modify();
    QVERIFY(editor.answered());
    QCOMPARE(editor.title(), QStringLiteral(" New IP"));
    QCOMPARE(value(*w, 28), QStringLiteral("172.0.5.0"));
}

void TestConfigurationWindow::communityTooLong()
{
    auto w = openWindow();
    for (const auto& [entry, message] : {std::pair{QString(16, 'p'), QString()},
                                         std::pair{QString(17, 'q'), t(Texts::CommunityTooLong)}}) {
        select(*w, 26);
        ModalAnswer<TextEditor> editor([&](TextEditor* d) {
            d->findChild<QLineEdit*>("textEdit")->setText(entry);
            pressOk(d);
        });
        w->modify();
        QVERIFY(editor.answered());
        QCOMPARE(MessageBox::takeShown(), message.isEmpty() ? QStringList() : QStringList{message});
        QVERIFY(list(*w)->selectedItems().isEmpty()); // rebuilt either way
        QCOMPARE(value(*w, 26), QString(16, 'p'));
    }
    QCOMPARE(w->block().u32(B::AdministratorCommunityLength), 16u);
}

void TestConfigurationWindow::rowsWithoutEditor_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("appMode");
    QTest::addColumn<int>("wepType");
    QTest::addColumn<QStringList>("messages");
    const QStringList readOnly{t(Texts::ReadOnlyField)};
    QTest::newRow("MAC, AppMode 0") << 0 << 0 << 1 << readOnly;
    QTest::newRow("wireless MAC, AppMode 0") << 4 << 0 << 1 << readOnly;
    QTest::newRow("domain") << 1 << 1 << 1 << readOnly;
    QTest::newRow("EssLen") << 6 << 1 << 1 << QStringList();
    QTest::newRow("key 1, WEP off") << 13 << 1 << 0 << QStringList();
}

void TestConfigurationWindow::rowsWithoutEditor()
{
    QFETCH(int, row);
    QFETCH(int, appMode);
    QFETCH(int, wepType);
    ConfigurationBlock start = sampleBlock();
    start.setU8(B::WepType, quint8(wepType));
    m_device->setStore(start.bytes());
    auto w = openWindow(appMode);
    select(*w, row);
    ModalAnswer<QDialog> editor([](QDialog* d) { d->reject(); });
    w->modify();
    QVERIFY(!editor.answered());
    QTEST(MessageBox::takeShown(), "messages");
    QCOMPARE(w->block().area(), start.area());
    QCOMPARE(list(*w)->selectedItems().size(), 1); // not rebuilt
}

void TestConfigurationWindow::cancelChangesNothing()
{
    auto w = openWindow(1);
    const QByteArray before = w->block().area();
    for (int row : {0, 2, 5, 7, 9, 13, 34}) {
        select(*w, row);
        ModalAnswer<QDialog> editor([](QDialog* d) {
            for (QLineEdit* edit : d->findChildren<QLineEdit*>())
                edit->setText(QStringLiteral("12"));
            pressCancel(d);
        });
        w->modify();
        QVERIFY(editor.answered());
        QCOMPARE(list(*w)->selectedItems().size(), 1);
    }
    QCOMPARE(w->block().area(), before);
}

void TestConfigurationWindow::enterEditsAndDoesNotGet()
{
    auto w = openWindow();
    w->activateWindow();
    list(*w)->setFocus();
    select(*w, 22);
    m_device->clearRequests();
    ModalAnswer<NumberEditor> editor([](NumberEditor* d) {
        d->findChild<QLineEdit*>("numberEdit")->setText(QStringLiteral("7"));
        pressOk(d);
    });
    QTest::keyClick(list(*w), Qt::Key_Return);
    QVERIFY(editor.answered());
    QCOMPARE(value(*w, 22), QStringLiteral("7"));
    QVERIFY(m_device->requests().isEmpty()); // Get did not run behind the edit

    // A double-click edits as well.
    ModalAnswer<NumberEditor> again([](NumberEditor* d) {
        d->findChild<QLineEdit*>("numberEdit")->setText(QStringLiteral("9"));
        pressOk(d);
    });
    QTreeWidget* l = list(*w);
    const QRect rect = l->visualItemRect(l->topLevelItem(22));
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, rect.center());
    QVERIFY(again.answered());
    QCOMPARE(value(*w, 22), QStringLiteral("9"));
}

void TestConfigurationWindow::windowsAreIndependent()
{
    auto first = openWindow();
    auto second = openWindow();
    select(*first, 5);
    ModalAnswer<TextEditor> editor([](TextEditor* d) {
        d->findChild<QLineEdit*>("textEdit")->setText(QStringLiteral("One"));
        pressOk(d);
    });
    first->modify();
    QVERIFY(editor.answered());
    QCOMPARE(value(*first, 5), QStringLiteral("One"));
    QCOMPARE(value(*second, 5), QStringLiteral("Demo"));
    QCOMPARE(second->block().area(), sampleBlock().area());
}

QTEST_MAIN(TestConfigurationWindow)
#include "tst_configuration_window.moc"
