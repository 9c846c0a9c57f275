// The checks made by the editors' OK and by storing their results, as tables of entries and
// the messages they give.
#include "brenlow_texts.h"
#include "configuration_rows.h"
#include "editor_checks.h"
#include "settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestEditorChecks : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void hexBoxes_data();
    void hexBoxes();
    void numberEntry_data();
    void numberEntry();
    void storedChecks_data();
    void storedChecks();
    void ipFields_data();
    void ipFields();
    void textEntry();
    void appMode_data();
    void appMode();
};

void TestEditorChecks::hexBoxes_data()
{
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("bytes");
    const QString wrong = QString::fromLatin1(Texts::WrongValue);
    QTest::newRow("single f") << QStringList{"f", "00", "1", "2", "3", "4"} << QString()
                              << QByteArray::fromHex("0f0001020304");
    QTest::newRow("mixed case") << QStringList{"aB", "Cd", "eF", "FF", "09", "a0"} << QString()
                                << QByteArray::fromHex("abcdefff09a0");
    QTest::newRow("G1") << QStringList{"00", "G1", "00", "00", "00", "00"} << wrong << QByteArray();
    QTest::newRow("1G") << QStringList{"1G", "00", "00", "00", "00", "00"} << wrong << QByteArray();
    QTest::newRow("empty box") << QStringList{"00", "11", "", "33", "44", "55"} << wrong
                               << QByteArray();
    QTest::newRow("blank") << QStringList{" ", "11", "22", "33", "44", "55"} << wrong
                           << QByteArray();
    QTest::newRow("three characters")
        << QStringList{"123", "1", "2", "3", "4"} << wrong << QByteArray();
    QTest::newRow("five boxes") << QStringList{"01", "23", "45", "67", "89"} << QString()
                                << QByteArray::fromHex("0123456789");
    QTest::newRow("thirteen boxes")
        << QStringList{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "a", "b", "c"} << QString()
        << QByteArray::fromHex("000102030405060708090a0b0c");
}

void TestEditorChecks::hexBoxes()
{
    QFETCH(QStringList, boxes);
    QByteArray bytes("unchanged");
    QTEST(checkHexBoxes(boxes, &bytes), "message");
    QFETCH(QString, message);
    if (message.isEmpty())
        QTEST(bytes, "bytes");
    else
        QCOMPARE(bytes, QByteArray("unchanged"));
}

void TestEditorChecks::numberEntry_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("message");
    QTest::addColumn<quint32>("number");
    const QString positive = QString::fromLatin1(Texts::PositiveInteger);
    QTest::newRow("zero") << "0" << QString() << 0u;
    QTest::newRow("100") << "100" << QString() << 100u;
    QTest::newRow("blanks around") << " 2346 " << QString() << 2346u;
    QTest::newRow("leading zeros") << "007" << QString() << 7u;
    QTest::newRow("largest 32-bit") << "4294967295" << QString() << 4294967295u;
    QTest::newRow("beyond 32 bits") << "99999999999999999999" << QString() << 4294967295u;
    QTest::newRow("empty") << "" << positive << 0u;
    QTest::newRow("negative") << "-1" << positive << 0u;
    QTest::newRow("plus sign") << "+1" << positive << 0u;
    QTest::newRow("fraction") << "1.5" << positive << 0u;
    QTest::newRow("letters") << "abc" << positive << 0u;
    QTest::newRow("hex") << "0x10" << positive << 0u;
    QTest::newRow("inner blank") << "1 2" << positive << 0u;
}

void TestEditorChecks::numberEntry()
{
    QFETCH(QString, entry);
    QFETCH(QString, message);
    quint32 number = 12345;
    QCOMPARE(checkNumberEntry(entry, &number), message);
    if (message.isEmpty())
        QTEST(number, "number");
    else
        QCOMPARE(number, 12345u);
}

// From the number typed to what the row says: the editor's check first, then the row's.
void TestEditorChecks::storedChecks_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("message");
    const QString wrong = QString::fromLatin1(Texts::WrongValue);
    const QString positive = QString::fromLatin1(Texts::PositiveInteger);
    const QString community = QString::fromLatin1(Texts::CommunityTooLong);
    QTest::newRow("fragmentation 255") << 9 << "255" << wrong;
    QTest::newRow("fragmentation 256") << 9 << "256" << QString();
    QTest::newRow("fragmentation x") << 9 << "x" << positive;
    QTest::newRow("RTS 2348") << 10 << "2348" << wrong;
    QTest::newRow("RTS -5") << 10 << "-5" << positive;
    QTest::newRow("beacon 1001") << 21 << "1001" << wrong;
    QTest::newRow("beacon huge") << 21 << "123456789012" << wrong;
    QTest::newRow("DTIM 0") << 22 << "0" << wrong;
    QTest::newRow("DTIM 65537") << 22 << "65537" << wrong;
    QTest::newRow("DTIM empty") << 22 << "" << positive;
    QTest::newRow("user community 16") << 24 << QString(16, 'c') << QString();
    QTest::newRow("user community 17") << 24 << QString(17, 'c') << community;
    QTest::newRow("admin community 32") << 26 << QString(32, 'c') << community;
    QTest::newRow("ESSID 32") << 5 << QString(32, 'e') << QString();
}

void TestEditorChecks::storedChecks()
{
    QFETCH(int, row);
    QFETCH(QString, entry);
    QFETCH(QString, message);
    ConfigurationBlock block;
    const QByteArray before = block.area();
    EditResult result;
    QString shown;
    if (row == 5 || row == 24 || row == 26) {
        result.text = textEntryToBytes(entry);
        shown = applyEdit(block, row, result).message;
    } else {
        shown = checkNumberEntry(entry, &result.number);
        if (shown.isEmpty())
            shown = applyEdit(block, row, result).message;
    }
    QCOMPARE(shown, message);
    if (!message.isEmpty())
        QCOMPARE(block.area(), before);
    else
        QVERIFY(block.area() != before || entry == QLatin1String("0"));
}

void TestEditorChecks::ipFields_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("full") << QStringList{"192", "168", "1", "254"}
                          << QByteArray::fromHex("c0a801fe");
    QTest::newRow("blank fields") << QStringList{"10", "", "", "7"}
                                  << QByteArray::fromHex("0a000007");
    QTest::newRow("all blank") << QStringList{"", "", "", ""} << QByteArray::fromHex("00000000");
}

void TestEditorChecks::ipFields()
{
    QFETCH(QStringList, fields);
    QTEST(ipFieldsToBytes(fields), "bytes");
}

void TestEditorChecks::textEntry()
{
    QCOMPARE(textEntryToBytes(QStringLiteral("Caf\u00e9")), QByteArray("Caf\xe9"));
    QCOMPARE(textEntryToBytes(QString(40, 'x')).size(), 32);
}

void TestEditorChecks::appMode_data()
{
    QTest::addColumn<QByteArray>("contents"); // empty: no file at all
    QTest::addColumn<int>("appMode");
    QTest::newRow("1") << QByteArray("[Brenlow]\nAppMode=1\n") << 1;
    QTest::newRow("0") << QByteArray("[Brenlow]\nAppMode=0\n") << 0;
    QTest::newRow("10") << QByteArray("[Brenlow]\nAppMode=10\n") << 0;
    QTest::newRow("1x") << QByteArray("[Brenlow]\nAppMode=1x\n") << 0;
    QTest::newRow("empty value") << QByteArray("[Brenlow]\nAppMode=\n") << 0;
    QTest::newRow("other section") << QByteArray("[Other]\nAppMode=1\n") << 0;
    QTest::newRow("no file") << QByteArray() << 0;
}

void TestEditorChecks::appMode()
{
    QFETCH(QByteArray, contents);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Brenlow.ini"));
    if (!contents.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    QTEST(readAppMode(path), "appMode");
    if (contents.isEmpty())
        QVERIFY(!QFile::exists(path)); // reading never creates the file
}

QTEST_GUILESS_MAIN(TestEditorChecks)
#include "tst_editor_checks.moc"
