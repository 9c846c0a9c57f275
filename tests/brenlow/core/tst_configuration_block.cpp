// The configuration block: code tables, text forms, the 41 rows, how edits are stored, and
// that every byte no row edits travels back unchanged.
#include "brenlow_texts.h"
#include "configuration_block.h"
#include "configuration_rows.h"
#include "device_fixture.h"
#include "device_link.h"
#include "sample_block.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using B = ConfigurationBlock;

namespace
{

struct Span {
    int offset;
    int size;
};

// The bytes each row may change (the test's own copy of the layout).
const Span RowSpans[ConfigurationRowCount] = {
    {8, 6},   {0, 0},    {14, 4},  {18, 4},  {22, 6},  {31, 33}, {0, 0},    {30, 1},   {28, 1},
    {64, 2},  {66, 2},   {70, 1},  {71, 1},  {72, 13}, {85, 13}, {98, 13},  {111, 13}, {29, 1},
    {68, 1},  {124, 32}, {156, 4}, {162, 2}, {161, 1}, {166, 1}, {168, 20}, {188, 4},  {192, 20},
    {212, 4}, {240, 4},  {244, 4}, {248, 4}, {252, 4}, {256, 4}, {260, 4},  {266, 6},  {69, 1},
    {272, 1}, {273, 1},  {274, 1}, {275, 1}, {276, 1},
};

struct Range {
    int row;
    quint32 lowest;
    quint32 highest;
};
const Range NumberRanges[] = {{9, 256, 2346}, {10, 0, 2347}, {21, 20, 1000}, {22, 1, 255}};

QByteArray randomBytes(int count)
{
    QByteArray bytes(count, '\0');
    for (char& byte : bytes)
        byte = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

// A random edit that the row's editor could give and its check accepts.
EditResult randomValidEdit(int row, const RowAction& action)
{
    auto* random = QRandomGenerator::global();
    EditResult result;
    switch (action.editor) {
    case EditorKind::Mac:
        result.bytes = randomBytes(6);
        break;
    case EditorKind::Ip:
        result.bytes = randomBytes(4);
        break;
    case EditorKind::Wep64:
        result.bytes = randomBytes(5);
        break;
    case EditorKind::Wep128:
        result.bytes = randomBytes(13);
        break;
    case EditorKind::Text: {
        const int limit = (row == 24 || row == 26) ? 16 : 32;
        for (int i = random->bounded(limit + 1); i > 0; --i)
            result.text.append(char(random->bounded(0x20, 0x7F)));
        break;
    }
    case EditorKind::Choice:
        result.position = action.choices.isEmpty() ? -1 : random->bounded(action.choices.size());
        break;
    case EditorKind::Number:
        for (const Range& range : NumberRanges) {
            if (range.row == row)
                result.number = range.lowest + random->bounded(range.highest - range.lowest + 1);
        }
        break;
    }
    return result;
}

void compareOutside(const QByteArray& actual, const QByteArray& expected, const Span& span)
{
    for (int i = 0; i < B::Size; ++i) {
        if (i >= span.offset && i < span.offset + span.size)
            continue;
        if (actual.at(i) != expected.at(i))
            QFAIL(qPrintable(QStringLiteral("byte %1 changed").arg(i)));
    }
}

} // namespace

class TestConfigurationBlock : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void codeTables_data();
    void codeTables();
    void rows_data();
    void rows();
    void textEdgeCases_data();
    void textEdgeCases();
    void channelNormalisation_data();
    void channelNormalisation();
    void rowActions_data();
    void rowActions();
    void edits_data();
    void edits();
    void randomRoundTrip();
};

void TestConfigurationBlock::codeTables_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<quint32>("code");
    QTest::addColumn<QString>("text");
    const struct {
        const char* table;
        quint32 code;
        const char* text;
    } cases[] = {
        {"E1", 1, "Enable"},
        {"E1", 2, "Disable"},
        {"E1", 0, ""},
        {"E1", 3, ""},
        {"E1", 0x101, ""},
        {"E2", 2, "Disable"},
        {"E2", 1, "Enable"},
        {"E2", 0, "Enable"},
        {"E2", 255, "Enable"},
        {"P", 1, "Short"},
        {"P", 2, "Long"},
        {"P", 0, ""},
        {"A", 0, "Open System"},
        {"A", 1, "Shared Key"},
        {"A", 2, "Both Type"},
        {"A", 3, ""},
        {"W", 0, "Disable"},
        {"W", 1, "64-bit WEP"},
        {"W", 2, "128-bit WEP"},
        {"W", 3, ""},
        {"K", 1, "Key1"},
        {"K", 2, "Key2"},
        {"K", 3, "Key3"},
        {"K", 4, "Key4"},
        {"K", 0, ""},
        {"K", 5, ""},
        {"D", 0x10, "FCC"},
        {"D", 0x20, "DOC"},
        {"D", 0x30, "ETSI"},
        {"D", 0x31, "SPAIN"},
        {"D", 0x32, "FRANCE"},
        {"D", 0x40, "MKK"},
        {"D", 0x41, "MKK1"},
        {"D", 0x42, ""},
        {"D", 0, ""},
        {"M", 1, "WBridge Point to MultiPoint"},
        {"M", 2, "Access Point"},
        {"M", 3, "Access Point Client"},
        {"M", 4, "WBridge Point to Point"},
        {"M", 5, "Wireless Repeater"},
        {"M", 0, ""},
        {"M", 6, ""},
        {"L", 0xAAAA, "READ ONLY"},
        {"L", 0xAABA, "READ\\WRITE"},
        {"L", 0xAACA, "READ\\WRITE\\HARD"},
        {"L", 0xAAAB, ""},
        {"L", 0, ""},
        {"N", 1, "Ethernet"},
        {"N", 2, "Wireless"},
        {"N", 0, ""},
        {"C", 0, "Both Ports"},
        {"C", 1, "Ethernet Port"},
        {"C", 2, "Wireless Port"},
        {"C", 7, "Ethernet"},
        {"C", 255, "Ethernet"},
    };
    for (const auto& c : cases) {
        QTest::addRow("%s %#x", c.table, c.code)
            << QString::fromLatin1(c.table) << c.code << QString::fromLatin1(c.text);
    }
}

void TestConfigurationBlock::codeTables()
{
    QFETCH(QString, table);
    QFETCH(quint32, code);
    const std::map<QString, std::function<QString(quint32)>> tables = {
        {"E1", [](quint32 c) { return tableE1Text(c); }},
        {"E2", [](quint32 c) { return tableE2Text(quint8(c)); }},
        {"P", [](quint32 c) { return tablePText(quint8(c)); }},
        {"A", [](quint32 c) { return tableAText(quint8(c)); }},
        {"W", [](quint32 c) { return tableWText(quint8(c)); }},
        {"K", [](quint32 c) { return tableKText(quint8(c)); }},
        {"D", [](quint32 c) { return tableDText(quint8(c)); }},
        {"M", [](quint32 c) { return tableMText(quint8(c)); }},
        {"L", [](quint32 c) { return tableLText(c); }},
        {"N", [](quint32 c) { return tableNText(c); }},
        {"C", [](quint32 c) { return tableCText(quint8(c)); }},
    };
    QTEST(tables.at(table)(code), "text");
}

void TestConfigurationBlock::rows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<QString>("value");
    const char* const expected[ConfigurationRowCount][2] = {
        {"MAC Address", "00-11-22-aa-bb-cc"},
        {"Regulatory Domain", "ETSI"},
        {"Eth_IP_Address", "192.168.0.1"},
        {"Eth_SubMask", "255.255.255.0"},
        {"Wirel_Mac_Address", "00-0a-0b-0c-0d-0e"},
        {"Wirel_ESSID", "Demo"},
        {"EssLen", "4"},
        {"AutoRateFallBack", "Enable"},
        {"Wirel_Channel", "6"},
        {"Wirel_FragmentationThreshold", "2346"},
        {"Wirel_RtsThreshold", "2347"},
        {"WEP type", "64-bit WEP"},
        {"WEP Key", "Key3"},
        {"Key 1", "01 02 03 04 05"},
        {"Key 2", "a1 a2 a3 a4 a5"},
        {"Key 3", "00 00 00 00 00"},
        {"Key 4", "f0 e0 d0 c0 b0"},
        {"Preamble", "Long"},
        {"AuthenticationType", "Shared Key"},
        {"AccessPointName", "Lobby AP"},
        {"OperationalRateSet", "82 84 b 16"},
        {"BeaconPeriod", "100"},
        {"DTIM", "2"},
        {"Operational Mode", "Access Point Client"},
        {"User Community", "public"},
        {"User Access: ", "READ ONLY"},
        {"Administrator Community", "private"},
        {"Administrator Access: ", "READ\\WRITE\\HARD"},
        {"Gateway IP Address", "10.0.0.254"},
        {"IP Filtering", "Disable"},
        {"Dhcp Client", "Enable"},
        {"Primary Port", "Wireless"},
        {"Authorization Algorithm", ""},
        {"SNMP Traps", "Enable"},
        {"Preferred BSSID", "0A 1B 2C 3D 4E 5F"},
        {"SSID Broadcasting", "Enable"},
        {"Send Back Broadcast Enable", "Disable"},
        {"Forward Broadcast Enable", "Enable"},
        {"Configuration Port", "Ethernet"},
        {"Send Back Unicast Enable", "Enable"},
        {"International Roaming Enable", "Disable"},
    };
    for (int row = 0; row < ConfigurationRowCount; ++row) {
        QTest::addRow("%d %s", row, expected[row][0])
            << row << QString::fromLatin1(expected[row][0])
            << QString::fromLatin1(expected[row][1]);
    }
}

void TestConfigurationBlock::rows()
{
    QFETCH(int, row);
    const ConfigurationBlock block = sampleBlock();
    QTEST(rowIdentifier(row), "identifier");
    QTEST(rowValueText(block, row), "value");
}

void TestConfigurationBlock::textEdgeCases_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("value");
    QTest::newRow("WEP type 2 shows 13 bytes")
        << 70 << hex("02") << 13 << "01 02 03 04 05 06 07 08 09 0a 0b 0c 0d";
    QTest::newRow("WEP type 0 shows nothing") << 70 << hex("00") << 13 << "";
    QTest::newRow("WEP type 3 shows nothing") << 70 << hex("03") << 16 << "";
    QTest::newRow("name of exactly 32") << 124 << QByteArray(32, 'N') << 19 << QString(32, 'N');
    QTest::newRow("empty name") << 124 << hex("00") << 19 << "";
    QTest::newRow("ESSID ends at a zero") << 31
                                          << QByteArray("\x06"
                                                        "ab\0cd",
                                                        6)
                                          << 5 << "ab";
    QTest::newRow("ESSID length 0") << 31 << hex("00") << 5 << "";
    QTest::newRow("ESSID of 32") << 31 << (hex("20") + QByteArray(32, 'e')) << 5
                                 << QString(32, 'e');
    QTest::newRow("ESSID length beyond the field")
        << 31 << (hex("ff") + QByteArray(32, 'e')) << 5 << QString(32, 'e');
    QTest::newRow("community length beyond the field")
        << 168 << (hex("ffffffff") + QByteArray(16, 'c')) << 24 << QString(16, 'c');
    QTest::newRow("community ends at a zero")
        << 192 << QByteArray("\x05\0\0\0ad\0in", 9) << 26 << "ad";
    QTest::newRow("one-byte switch 0") << 69 << hex("00") << 35 << "Enable";
    QTest::newRow("32-bit switch 0") << 244 << hex("00000000") << 29 << "";
    QTest::newRow("32-bit switch 0x102") << 260 << hex("02010000") << 33 << "";
    QTest::newRow("rate set all basic") << 156 << hex("82848b96") << 20 << "82 84 8b 96";
    QTest::newRow("rate zero byte") << 156 << hex("02000b16") << 20 << "2 0 b 16";
    QTest::newRow("16-bit number") << 64 << hex("0001") << 9 << "256";
    QTest::newRow("32-bit access level") << 188 << hex("baaa0000") << 25 << "READ\\WRITE";
    QTest::newRow("access level beyond 16 bits") << 212 << hex("aaaa0100") << 27 << "";
    QTest::newRow("unknown domain") << 160 << hex("99") << 1 << "";
}

void TestConfigurationBlock::textEdgeCases()
{
    QFETCH(int, offset);
    QFETCH(QByteArray, bytes);
    QFETCH(int, row);
    ConfigurationBlock block = sampleBlock();
    block.setBytes(offset, bytes);
    const QByteArray before = block.area();
    QTEST(rowValueText(block, row), "value");
    QCOMPARE(block.area(), before);
}

void TestConfigurationBlock::channelNormalisation_data()
{
    QTest::addColumn<int>("domain");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("shown");
    QTest::newRow("MKK channel 1") << 0x40 << 1 << 14;
    QTest::newRow("SPAIN channel 12") << 0x31 << 12 << 10;
    QTest::newRow("SPAIN channel 11") << 0x31 << 11 << 11;
    QTest::newRow("FRANCE channel 9") << 0x32 << 9 << 10;
    QTest::newRow("FRANCE channel 13") << 0x32 << 13 << 13;
    QTest::newRow("FCC channel 12") << 0x10 << 12 << 1;
    QTest::newRow("DOC channel 0") << 0x20 << 0 << 1;
    QTest::newRow("ETSI channel 13") << 0x30 << 13 << 13;
    QTest::newRow("ETSI channel 14") << 0x30 << 14 << 1;
    QTest::newRow("MKK1 channel 14") << 0x41 << 14 << 14;
    QTest::newRow("unknown domain keeps channel 99") << 0x77 << 99 << 99;
}

void TestConfigurationBlock::channelNormalisation()
{
    QFETCH(int, domain);
    QFETCH(int, channel);
    QFETCH(int, shown);
    ConfigurationBlock block = sampleBlock();
    block.setU8(B::RegulatoryDomain, quint8(domain));
    block.setU8(B::WirelChannel, quint8(channel));
    QByteArray expected = block.area();
    expected[B::WirelChannel] = char(shown);
    QCOMPARE(block.normaliseChannel(), shown != channel);
    QCOMPARE(rowValueText(block, 8), QString::number(shown));
    QCOMPARE(block.area(), expected); // nothing else changes
}

void TestConfigurationBlock::rowActions_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("appMode");
    QTest::addColumn<int>("wepType");
    QTest::addColumn<int>("domain");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("editor");
    QTest::addColumn<QStringList>("choices");
    QTest::addColumn<QString>("hint");

    const int nothing = int(RowAction::Kind::Nothing);
    const int readOnly = int(RowAction::Kind::ReadOnly);
    const int edit = int(RowAction::Kind::Edit);
    const QStringList none;
    const QStringList onOff{"Enable", "Disable"};
    auto add = [](const char* name, int row, int appMode, int wep, int domain, int kind,
                  EditorKind editor, const QStringList& choices, const QString& hint = {}) {
        QTest::newRow(name) << row << appMode << wep << domain << kind << int(editor) << choices
                            << hint;
    };
    add("MAC, AppMode 0", 0, 0, 1, 0x10, readOnly, EditorKind::Choice, none);
    add("MAC, AppMode 1", 0, 1, 1, 0x10, edit, EditorKind::Mac, none);
    add("domain", 1, 1, 1, 0x10, readOnly, EditorKind::Choice, none);
    add("IP", 2, 0, 1, 0x10, edit, EditorKind::Ip, none);
    add("mask", 3, 0, 1, 0x10, edit, EditorKind::Ip, none);
    add("wireless MAC, AppMode 0", 4, 0, 1, 0x10, readOnly, EditorKind::Choice, none);
    add("wireless MAC, AppMode 1", 4, 1, 1, 0x10, edit, EditorKind::Mac, none);
    add("ESSID", 5, 0, 1, 0x10, edit, EditorKind::Text, none);
    add("EssLen", 6, 1, 1, 0x10, nothing, EditorKind::Choice, none);
    add("rate fall-back", 7, 0, 1, 0x10, edit, EditorKind::Choice, onOff);
    add("channel SPAIN", 8, 0, 1, 0x31, edit, EditorKind::Choice, {"Channel 10", "Channel 11"});
    add("channel MKK", 8, 0, 1, 0x40, edit, EditorKind::Choice, {"Channel 14"});
    add("channel FCC", 8, 0, 1, 0x10, edit, EditorKind::Choice,
        {"Channel 1", "Channel 2", "Channel 3", "Channel 4", "Channel 5", "Channel 6", "Channel 7",
         "Channel 8", "Channel 9", "Channel 10", "Channel 11"});
    add("channel unknown domain", 8, 0, 1, 0x99, edit, EditorKind::Choice, none);
    add("fragmentation", 9, 0, 1, 0x10, edit, EditorKind::Number, none, "256 - 2346 ");
    add("RTS", 10, 0, 1, 0x10, edit, EditorKind::Number, none, "0 - 2347 ");
    add("WEP type", 11, 0, 1, 0x10, edit, EditorKind::Choice,
        {"Disable", "64-bit WEP", "128-bit WEP"});
    add("WEP key number", 12, 0, 1, 0x10, edit, EditorKind::Choice,
        {"Key 1", "Key 2", "Key 3", "Key 4"});
    add("key 1, WEP off", 13, 1, 0, 0x10, nothing, EditorKind::Choice, none);
    add("key 1, 64-bit", 13, 0, 1, 0x10, edit, EditorKind::Wep64, none);
    add("key 4, 128-bit", 16, 0, 2, 0x10, edit, EditorKind::Wep128, none);
    add("key 2, type 3", 14, 0, 3, 0x10, nothing, EditorKind::Choice, none);
    add("preamble", 17, 0, 1, 0x10, edit, EditorKind::Choice, {"Short", "Long"});
    add("authentication", 18, 0, 1, 0x10, edit, EditorKind::Choice,
        {"Open System", "Shared Key", "Both"});
    add("name", 19, 0, 1, 0x10, edit, EditorKind::Text, none);
    add("rate set", 20, 0, 1, 0x10, edit, EditorKind::Choice, {"82 84 8B 96", "82 84 0B 16"});
    add("beacon", 21, 0, 1, 0x10, edit, EditorKind::Number, none, "20-1000 (Typical 100) ");
    add("DTIM", 22, 0, 1, 0x10, edit, EditorKind::Number, none, "1-255 (Typical 2) ");
    add("mode", 23, 0, 1, 0x10, edit, EditorKind::Choice,
        {"WBridge Point to MultiPoint", "Access Point", "Access Point Client",
         "WBridge Point to Point", "Wireless Repeater"});
    add("user community", 24, 0, 1, 0x10, edit, EditorKind::Text, none);
    add("user access", 25, 0, 1, 0x10, edit, EditorKind::Choice,
        {"READ ONLY", "READ\\WRITE", "READ\\WRITE\\HARD"});
    add("admin community", 26, 0, 1, 0x10, edit, EditorKind::Text, none);
    add("admin access", 27, 0, 1, 0x10, edit, EditorKind::Choice,
        {"READ ONLY", "READ\\WRITE", "READ\\WRITE\\HARD"});
    add("gateway", 28, 0, 1, 0x10, edit, EditorKind::Ip, none);
    for (int row : {29, 30, 32, 33, 35, 36, 37, 39, 40})
        add(qPrintable(QStringLiteral("switch row %1").arg(row)), row, 0, 1, 0x10, edit,
            EditorKind::Choice, onOff);
    add("primary port", 31, 0, 1, 0x10, edit, EditorKind::Choice, {"Ethernet", "Wireless"});
    add("BSSID, AppMode 0", 34, 0, 1, 0x10, edit, EditorKind::Mac, none);
    add("configuration port", 38, 0, 1, 0x10, edit, EditorKind::Choice,
        {"Both Ports", "Ethernet Port", "Wireless Port"});
}

void TestConfigurationBlock::rowActions()
{
    QFETCH(int, row);
    QFETCH(int, appMode);
    QFETCH(int, wepType);
    QFETCH(int, domain);
    QFETCH(int, kind);
    ConfigurationBlock block = sampleBlock();
    block.setU8(B::WepType, quint8(wepType));
    block.setU8(B::RegulatoryDomain, quint8(domain));
    const RowAction action = rowAction(row, block, appMode, quint8(domain));
    QCOMPARE(int(action.kind), kind);
    if (action.kind != RowAction::Kind::Edit)
        return;
    QTEST(int(action.editor), "editor");
    QTEST(action.choices, "choices");
    QTEST(action.hint, "hint");
}

void TestConfigurationBlock::edits_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("domain");
    QTest::addColumn<int>("wepType");
    QTest::addColumn<quint32>("number");
    QTest::addColumn<int>("position");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("rebuild");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("stored"); // what lies at offset afterwards

    const QString wrong = QString::fromLatin1(Texts::WrongValue);
    const QString community = QString::fromLatin1(Texts::CommunityTooLong);
    auto bytesEdit = [](const char* name, int row, const QByteArray& bytes, int offset,
                        const QByteArray& stored, int wepType = 1) {
        QTest::newRow(name) << row << 0x30 << wepType << 0u << 0 << bytes << QByteArray()
                            << QString() << true << offset << stored;
    };
    auto number = [&](const char* name, int row, quint32 value, int offset,
                      const QByteArray& stored) {
        const bool bad = stored.isEmpty();
        QTest::newRow(name) << row << 0x30 << 1 << value << 0 << QByteArray() << QByteArray()
                            << (bad ? wrong : QString()) << !bad << offset << stored;
    };
    auto choice = [](const char* name, int row, int position, int offset, const QByteArray& stored,
                     int domain = 0x30) {
        QTest::newRow(name) << row << domain << 1 << 0u << position << QByteArray() << QByteArray()
                            << QString() << true << offset << stored;
    };
    auto text = [](const char* name, int row, const QByteArray& entry, int offset,
                   const QByteArray& stored, const QString& message = {}) {
        QTest::newRow(name) << row << 0x30 << 1 << 0u << 0 << QByteArray() << entry << message
                            << true << offset << stored;
    };

    bytesEdit("MAC", 0, hex("0a0b0c0d0e0f"), 8, hex("0a0b0c0d0e0f"));
    bytesEdit("IP", 2, hex("0a000001"), 14, hex("0a000001"));
    bytesEdit("mask", 3, hex("ffff0000"), 18, hex("ffff0000"));
    bytesEdit("wireless MAC", 4, hex("020406080a0c"), 22, hex("020406080a0c"));
    bytesEdit("gateway", 28, hex("c0a80101"), 240, hex("c0a80101"));
    bytesEdit("BSSID", 34, hex("a0b0c0d0e0f0"), 266, hex("a0b0c0d0e0f0"));
    bytesEdit("64-bit key changes 5 bytes", 13, hex("1122334455"), 72, hex("1122334455"));
    bytesEdit("128-bit key 4", 16, hex("00112233445566778899aabbcc"), 111,
              hex("00112233445566778899aabbcc"), 2);
    text("ESSID of 5", 5, "Hello", 31, QByteArray("\x05Hello"));
    text("ESSID of 32", 5, QByteArray(32, 'z'), 31, hex("20") + QByteArray(32, 'z'));
    text("empty ESSID", 5, "", 31, hex("00"));
    text("name", 19, "Hall", 124, QByteArray("Hall\0", 5));
    text("name of 32", 19, QByteArray(32, 'q'), 124, QByteArray(32, 'q'));
    text("community of 16", 24, QByteArray(16, 'u'), 168, hex("10000000") + QByteArray(16, 'u'));
    text("community of 17", 24, QByteArray(17, 'u'), 168, QByteArray(), community);
    text("admin community", 26, "adm", 192, hex("03000000") + "adm");
    text("admin community of 17", 26, QByteArray(17, 'a'), 192, QByteArray(), community);
    number("fragmentation 255", 9, 255, 64, {});
    number("fragmentation 256", 9, 256, 64, hex("0001"));
    number("fragmentation 2346", 9, 2346, 64, hex("2a09"));
    number("fragmentation 2347", 9, 2347, 64, {});
    number("fragmentation 65536", 9, 65536, 64, {});
    number("RTS 0", 10, 0, 66, hex("0000"));
    number("RTS 2347", 10, 2347, 66, hex("2b09"));
    number("RTS 2348", 10, 2348, 66, {});
    number("RTS 65536", 10, 65536, 66, {});
    number("beacon 19", 21, 19, 162, {});
    number("beacon 20", 21, 20, 162, hex("1400"));
    number("beacon 1000", 21, 1000, 162, hex("e803"));
    number("beacon 1001", 21, 1001, 162, {});
    number("beacon 65536", 21, 65536, 162, {});
    number("beacon 65636", 21, 65636, 162, {}); // 100 once cut to 16 bits
    number("DTIM 0", 22, 0, 161, {});
    number("DTIM 1", 22, 1, 161, hex("01"));
    number("DTIM 255", 22, 255, 161, hex("ff"));
    number("DTIM 256", 22, 256, 161, {});
    number("DTIM 65536", 22, 65536, 161, {});
    number("DTIM 4294967295", 22, 4294967295u, 161, {});
    choice("rate fall-back", 7, 1, 30, hex("02"));
    choice("channel ETSI 6", 8, 5, 28, hex("06"));
    choice("channel SPAIN first", 8, 0, 28, hex("0a"), 0x31);
    choice("channel FRANCE last", 8, 3, 28, hex("0d"), 0x32);
    choice("channel MKK before rebuild", 8, 0, 28, hex("01"), 0x40);
    choice("WEP type", 11, 2, 70, hex("02"));
    choice("WEP key", 12, 0, 71, hex("01"));
    choice("preamble", 17, 0, 29, hex("01"));
    choice("authentication", 18, 2, 68, hex("02"));
    choice("rate set 0", 20, 0, 156, hex("82848b96"));
    choice("rate set 1", 20, 1, 156, hex("82840b16"));
    choice("mode", 23, 4, 166, hex("05"));
    choice("user access", 25, 1, 188, hex("baaa0000"));
    choice("admin access", 27, 2, 212, hex("caaa0000"));
    choice("user access read only", 25, 0, 188, hex("aaaa0000"));
    choice("IP filtering", 29, 1, 244, hex("02000000"));
    choice("DHCP", 30, 0, 248, hex("01000000"));
    choice("primary port", 31, 1, 252, hex("02000000"));
    choice("authorization", 32, 0, 256, hex("01000000"));
    choice("traps", 33, 1, 260, hex("02000000"));
    choice("SSID broadcasting", 35, 1, 69, hex("02"));
    choice("send back broadcast", 36, 0, 272, hex("01"));
    choice("forward broadcast", 37, 1, 273, hex("02"));
    choice("configuration port both", 38, 0, 274, hex("00"));
    choice("configuration port wireless", 38, 2, 274, hex("02"));
    choice("send back unicast", 39, 1, 275, hex("02"));
    choice("roaming", 40, 0, 276, hex("01"));
}

void TestConfigurationBlock::edits()
{
    QFETCH(int, row);
    QFETCH(int, domain);
    QFETCH(int, wepType);
    QFETCH(QString, message);
    QFETCH(bool, rebuild);
    QFETCH(int, offset);
    QFETCH(QByteArray, stored);

    ConfigurationBlock block = sampleBlock();
    block.setU8(B::RegulatoryDomain, quint8(domain));
    block.setU8(B::WepType, quint8(wepType));
    EditResult result;
    QFETCH(quint32, number);
    QFETCH(int, position);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, text);
    result.number = number;
    result.position = position;
    result.bytes = bytes;
    result.text = text;

    QByteArray expected = block.area();
    expected.replace(offset, stored.size(), stored); // an empty stored: nothing changes
    const EditOutcome outcome = applyEdit(block, row, result);
    QCOMPARE(outcome.message, message);
    QCOMPARE(outcome.rebuild, rebuild);
    QCOMPARE(block.area(), expected);
}

void TestConfigurationBlock::randomRoundTrip()
{
    QTemporaryDir dir;
    DeviceFixture device(dir.filePath(QStringLiteral("DfuDevice0")));
    QVERIFY(device.start());
    DeviceLink link(device.path());
    auto* random = QRandomGenerator::global();

    for (int round = 0; round < 60; ++round) {
        QByteArray original = randomBytes(B::Size);
        if (round % 2) // half of them with a known domain, so that channels normalise
            original[B::RegulatoryDomain] = "\x10\x20\x30\x31\x32\x40\x41"[random->bounded(7)];
        device.setStore(original);

        // Read and show: only the channel may change.
        QVERIFY(link.Open());
        ConfigurationBlock block;
        QVERIFY(link.ReadGroup(GroupConfiguration, block.area(), 1024));
        link.Close();
        QCOMPARE(block.bytes(), original);
        block.normaliseChannel();
        for (int row = 0; row < ConfigurationRowCount; ++row)
            rowValueText(block, row);
        compareOutside(block.area(), original, {B::WirelChannel, 1});

        // Edit some rows, each touching nothing outside its own field.
        QByteArray allowed(B::Size, '\0');
        allowed[B::WirelChannel] = 1;
        for (int row = 0; row < ConfigurationRowCount; ++row) {
            if (random->bounded(3) != 0)
                continue;
            const RowAction action = rowAction(row, block, 1, block.u8(B::RegulatoryDomain));
            if (action.kind != RowAction::Kind::Edit)
                continue;
            const QByteArray before = block.area();
            const EditOutcome outcome = applyEdit(block, row, randomValidEdit(row, action));
            QVERIFY2(outcome.message.isEmpty(), qPrintable(outcome.message));
            compareOutside(block.area(), before, RowSpans[row]);
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("row %1").arg(row)));
            allowed.replace(RowSpans[row].offset, RowSpans[row].size,
                            QByteArray(RowSpans[row].size, 1));
            block.normaliseChannel();
        }

        // Write back: the device holds the block, and every byte no row edited is the same.
        QVERIFY(link.Open());
        QVERIFY(link.WriteGroup(block.area(), GroupConfiguration, B::Size));
        link.Close();
        const QByteArray written = device.store();
        QCOMPARE(written, block.bytes());
        for (int i = 0; i < B::Size; ++i) {
            if (!allowed.at(i) && written.at(i) != original.at(i))
                QFAIL(qPrintable(QStringLiteral("round %1: byte %2 changed").arg(round).arg(i)));
        }
    }
}

QTEST_GUILESS_MAIN(TestConfigurationBlock)
#include "tst_configuration_block.moc"
