// " Radio Tests": puts the access point's radio into test mode and runs one
// test at a time (continuous transmission with or without modulation,
// continuous reception with frame error counting, continuous packet
// transmission, carrier suppression); leaving test mode resets the device.
#pragma once

#include <QDialog>
#include <QTimer>
#include <array>
#include <memory>

class CMainFrame;
class QAbstractButton;
class QLineEdit;
class QPushButton;
namespace Ui
{
class CRadioTestsDialog;
}

class CRadioTestsDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kStatisticsTimerId = 1;
    static constexpr int kStatisticsPeriodMs = 500;
    static constexpr int kCloseWaitMs = 2000;

    // The edits, in the order their values are taken.
    enum Field {
        TxPower,
        TxPattern,
        InterFrameTime,
        FrameLength,
        FrameNumber,
        Cr20,
        Cr21,
        FieldCount
    };
    // The five test buttons.
    enum Test {
        ContinuousTxModulated,
        ContinuousTxUnmodulated,
        ContinuousRx,
        ContinuousPacketTx,
        CarrierSuppression,
        TestCount
    };

    struct Values {
        QString txPower = QStringLiteral("C0");
        int antenna = 0; // 0 "A", 1 "B"
        int rate = 3;    // 0 "1", 1 "2", 2 "5.5", 3 "11"
        int channel = 0; // list index, "Channel 1" at 0
        QString txPattern = QStringLiteral("AA");
        QString interFrameTime = QStringLiteral("1000");
        QString frameLength = QStringLiteral("1500");
        QString frameNumber = QStringLiteral("100");
        QString cr20 = QStringLiteral("08");
        QString cr21 = QStringLiteral("48");
    };

    // A two-character hexadecimal field: "Invalid value" unless its first
    // and last characters are hexadecimal digits.
    static QString CheckHexField(const QString& text);
    // The rule of one field (hexadecimal text or number range); empty when
    // it passes, else the message.
    static QString CheckField(const Values& values, Field field);
    // The first field that breaks its rule (its message), or empty.
    static QString CheckValues(const Values& values, Field* field = nullptr);
    // The 42-digit command text for values that passed the checks.
    static QString CommandText(const Values& values, quint8 testCode);
    // The test code of a test button (01, 03, 02, 08, 05).
    static quint8 TestCode(Test test);
    static QString SuccessText(Test test);
    static QString FailureText(Test test);
    // The result lines.
    static QString FerLine(quint32 correct, quint32 failed);
    static QString TotalsLine(quint32 correct, quint32 failed);
    static QString PacketsLine(quint32 transmitted);

    explicit CRadioTestsDialog(CMainFrame* mainFrame, QWidget* parent = nullptr);
    ~CRadioTestsDialog() override;

    void OnStartTest();
    void OnTestButton(Test test, bool pressed);
    void OnCloseTest();
    void OnTimer();
    // The check made when a field loses the focus; false when it refused
    // the value (its message shown, the focus back on the field).
    bool CheckFieldOnLeave(Field field);

    Values TakeValues() const;
    void PushValues(const Values& values);
    QString StateText() const;
    QString FerText() const;
    QString TotalsText() const;
    QString PacketsText() const;
    QString LastCommand() const { return m_command; }
    bool TimerActive() const { return m_timer.isActive(); }
    bool PacketCounting() const { return m_packetCount; }
    QPushButton* TestButton(Test test) const { return m_testButtons[test]; }
    QLineEdit* FieldEdit(Field field) const { return m_fields[field]; }

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    enum Layout { NormalLayout, TestModeLayout, RunningLayout, ClosingLayout };
    void ApplyLayout(Layout layout, int runningTest = -1);
    void SetResultLines(bool rxLines, bool packetLine);
    void ClearResultLines();
    // Takes the values; on a failure shows the message, puts the focus on
    // the field and returns false.
    bool TakeCheckedValues(Values& values);
    void SetState(const QString& text);
    // Builds the command and stores it as the cached command text.
    void StoreCommand(const Values& values, quint8 testCode);

    std::unique_ptr<Ui::CRadioTestsDialog> m_ui;
    CMainFrame* m_mainFrame;
    std::array<QPushButton*, TestCount> m_testButtons{};
    std::array<QLineEdit*, FieldCount> m_fields{};
    QString m_command;
    bool m_packetCount = false;
    Layout m_layout = NormalLayout;
    // A device operation waits for its answer; clicks meanwhile are undone.
    bool m_deviceBusy = false;
    bool m_checkingField = false;
    QTimer m_timer;
};
