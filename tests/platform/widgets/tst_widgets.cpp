// The masked edit field and the IP address entry, driven with real key
// events as a user would type.
#include "ip_address_edit.h"
#include "masked_edit.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace
{
const QString kMask64 = QStringLiteral(">&& && && && &&");
const QString kMask128 = QStringLiteral(">&& && && && && && && && && && && && &&");
const QString kMaskMac = QStringLiteral(">AA AA AA AA AA AA");
} // namespace

class TestWidgets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void inputMaskTranslation_data();
    void inputMaskTranslation();
    void textWithoutSeparators_data();
    void textWithoutSeparators();
    void typingFillsPlaceholders();
    void typingRejectsNonAlphanumericInMacMask();
    void newMaskClearsField();
    void promptCharacter();
    void backColor();

    void ipAddressRoundTrip();
    void ipAddressEmptyFieldsReadAsZero();
    void ipAddressTyping();
    void ipAddressCutsToByte();
    void ipAddressShortArray();
};

void TestWidgets::inputMaskTranslation_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("inputMask");
    QTest::newRow("64-bit key") << kMask64 << QStringLiteral(">xx xx xx xx xx;_");
    QTest::newRow("MAC") << kMaskMac << QStringLiteral(">nn nn nn nn nn nn;_");
    QTest::newRow("digits, lower case") << QStringLiteral("<##-99?") << QStringLiteral("<00-00a;_");
    // Separators that mean something to Qt are escaped; '\' makes the
    // next placeholder character a separator.
    QTest::newRow("special separators")
        << QStringLiteral("&!&\\A&") << QStringLiteral("x\\!x\\Ax;_");
    QTest::newRow("empty") << QString() << QString();
}

void TestWidgets::inputMaskTranslation()
{
    QFETCH(QString, mask);
    QFETCH(QString, inputMask);
    QCOMPARE(CMSMask::ToInputMask(mask, QLatin1Char('_')), inputMask);
}

void TestWidgets::textWithoutSeparators_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("read");
    QTest::newRow("128-bit key") << kMask128 << QStringLiteral("0123456789ABCDEF0123456789")
                                 << QStringLiteral("01 23 45 67 89 AB CD EF 01 23 45 67 89")
                                 << QStringLiteral("0123456789ABCDEF0123456789");
    QTest::newRow("capitals") << kMask64 << QStringLiteral("abcdef0123")
                              << QStringLiteral("AB CD EF 01 23") << QStringLiteral("ABCDEF0123");
    QTest::newRow("64-bit mask cuts a 26-character key")
        << kMask64 << QStringLiteral("0123456789ABCDEF0123456789")
        << QStringLiteral("01 23 45 67 89") << QStringLiteral("0123456789");
    QTest::newRow("short text leaves prompts")
        << kMask64 << QStringLiteral("ABC") << QStringLiteral("AB C_ __ __ __")
        << QStringLiteral("ABC");
    QTest::newRow("MAC") << kMaskMac << QStringLiteral("000a1b2c3d4e")
                         << QStringLiteral("00 0A 1B 2C 3D 4E") << QStringLiteral("000A1B2C3D4E");
    // A blank in the text is not taken for the separator that follows.
    QTest::newRow("separator character as data")
        << QStringLiteral("&&-&&") << QStringLiteral("A--B") << QStringLiteral("A---B")
        << QStringLiteral("A--B");
    QTest::newRow("no mask") << QString() << QStringLiteral("plain") << QStringLiteral("plain")
                             << QStringLiteral("plain");
}

void TestWidgets::textWithoutSeparators()
{
    QFETCH(QString, mask);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(QString, read);
    CMSMask edit;
    edit.SetMask(mask);
    edit.SetText(text);
    QCOMPARE(edit.displayText(), shown);
    QCOMPARE(edit.Text(), read);
}

void TestWidgets::typingFillsPlaceholders()
{
    CMSMask edit;
    edit.SetMask(kMask64);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    edit.setFocus();
    edit.setCursorPosition(0);
    QTest::keyClicks(&edit, QStringLiteral("1a2b3c"));
    QCOMPARE(edit.displayText(), QStringLiteral("1A 2B 3C __ __"));
    QCOMPARE(edit.Text(), QStringLiteral("1A2B3C"));
    QTest::keyClicks(&edit, QStringLiteral("4d5e6f")); // the last pair is beyond the mask
    QCOMPARE(edit.Text(), QStringLiteral("1A2B3C4D5E"));
    QCOMPARE(edit.PlaceholderCount(), 10);
}

void TestWidgets::typingRejectsNonAlphanumericInMacMask()
{
    CMSMask edit;
    edit.SetMask(kMaskMac);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    edit.setFocus();
    edit.setCursorPosition(0);
    QTest::keyClicks(&edit, QStringLiteral("0-a:1"));
    QCOMPARE(edit.Text(), QStringLiteral("0A1"));
}

void TestWidgets::newMaskClearsField()
{
    CMSMask edit;
    edit.SetMask(kMask128);
    edit.SetText(QStringLiteral("0123456789ABCDEF0123456789"));
    edit.SetMask(kMask64);
    QCOMPARE(edit.Mask(), kMask64);
    QCOMPARE(edit.Text(), QString());
    QCOMPARE(edit.displayText(), QStringLiteral("__ __ __ __ __"));
    QCOMPARE(edit.PlaceholderCount(), 10);
}

void TestWidgets::promptCharacter()
{
    CMSMask edit;
    edit.SetMask(kMask64);
    edit.SetText(QStringLiteral("AB"));
    edit.SetPromptChar(QLatin1Char('*'));
    QCOMPARE(edit.PromptChar(), QLatin1Char('*'));
    QCOMPARE(edit.displayText(), QStringLiteral("AB ** ** ** **"));
    QCOMPARE(edit.Text(), QStringLiteral("AB"));
}

void TestWidgets::backColor()
{
    CMSMask edit;
    edit.SetBackColor(QColor(Qt::yellow));
    QCOMPARE(edit.BackColor(), QColor(Qt::yellow));
    QCOMPARE(edit.palette().color(QPalette::Base), QColor(Qt::yellow));
}

void TestWidgets::ipAddressRoundTrip()
{
    CIPAddressEdit edit;
    edit.SetAddress(192, 168, 0, 255);
    QCOMPARE(edit.Address(), QByteArray("\xC0\xA8\x00\xFF", 4));
    QCOMPARE(edit.DottedText(), QStringLiteral("192.168.0.255"));
    QCOMPARE(edit.FieldEdit(0)->text(), QStringLiteral("192"));
    edit.SetAddress(QByteArray("\x0A\x00\x00\x01", 4));
    QCOMPARE(edit.DottedText(), QStringLiteral("10.0.0.1"));
    QVERIFY(!edit.IsBlank());
}

void TestWidgets::ipAddressEmptyFieldsReadAsZero()
{
    CIPAddressEdit edit;
    QVERIFY(edit.IsBlank());
    QCOMPARE(edit.Address(), QByteArray(4, '\0'));
    edit.SetAddress(1, 2, 3, 4);
    edit.FieldEdit(2)->clear();
    QCOMPARE(edit.Address(), QByteArray("\x01\x02\x00\x04", 4));
    edit.ClearAddress();
    QVERIFY(edit.IsBlank());
    QCOMPARE(edit.DottedText(), QStringLiteral("0.0.0.0"));
}

void TestWidgets::ipAddressTyping()
{
    CIPAddressEdit edit;
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    edit.FieldEdit(0)->setFocus();
    QSignalSpy changed(&edit, &CIPAddressEdit::AddressChanged);
    // Three digits move on by themselves, a dot moves on after fewer; letters are refused.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("172"));
    QCOMPARE(QApplication::focusWidget(), edit.FieldEdit(1));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1x6."));
    QCOMPARE(QApplication::focusWidget(), edit.FieldEdit(2));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("5."));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("9"));
    QCOMPARE(edit.DottedText(), QStringLiteral("172.16.5.9"));
    QVERIFY(changed.count() > 0);
    // Backspace in an empty field goes back to the previous one.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QCOMPARE(QApplication::focusWidget(), edit.FieldEdit(2));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QCOMPARE(edit.DottedText(), QStringLiteral("172.16.0.0"));
}

void TestWidgets::ipAddressCutsToByte()
{
    CIPAddressEdit edit;
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    edit.FieldEdit(3)->setFocus();
    QTest::keyClicks(edit.FieldEdit(3), QStringLiteral("999"));
    QCOMPARE(edit.FieldEdit(3)->text(), QStringLiteral("255"));
    QCOMPARE(edit.Field(3), quint8(255));
    QTest::keyClicks(edit.FieldEdit(3), QStringLiteral("1")); // a fourth digit is refused
    QCOMPARE(edit.FieldEdit(3)->text(), QStringLiteral("255"));
}

void TestWidgets::ipAddressShortArray()
{
    CIPAddressEdit edit;
    edit.SetAddress(9, 9, 9, 9);
    edit.SetAddress(QByteArray("\x01\x02", 2));
    QCOMPARE(edit.FieldEdit(2)->text(), QString());
    QCOMPARE(edit.Address(), QByteArray("\x01\x02\x00\x00", 4));
}

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
