// " Known BSSs": a site survey on the access point, the list of the BSSs it
// knows, and the connection to the one the user picks, at once, on the
// device; a failed connection puts the device back into its previous mode.
#pragma once

#include "fitted_form_view.h"
#include "session.h"

#include <QTimer>
#include <memory>

namespace Ui
{
class CKnownBSSs;
}

class CKnownBSSs : public CFittedFormView
{
    Q_OBJECT

public:
    static constexpr int kSurveyTimerId = 100;
    static constexpr int kSurveyWaitMs = 5500;

    // Signal strength in percent: raw + 10 in 8 bits, at most 40, times 2.5.
    static int RssiPercent(quint8 raw);
    // The seven column texts of one entry.
    static QStringList RowTexts(const CDeviceSession::KnownBss& entry);

    CKnownBSSs(CMainFrame* mainFrame, int closeCommand, QWidget* parent = nullptr);
    ~CKnownBSSs() override;

    void Populate() override;
    void ClearBusy() override;
    void OnCloseRequest() override;

    // "Get / Refresh", the survey timer, "Connect" (also a row activated),
    // "Cancel".
    void OnGetRefresh();
    void OnSurveyTimer();
    void OnConnect();
    void OnCancel();

    bool Busy() const { return m_busy; }
    bool SurveyTimerActive() const { return m_timer.isActive(); }
    // The rows shown, as texts.
    QList<QStringList> RowsShown() const;
    void SelectRow(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SetBusy(bool busy);
    void RebuildList();
    // Puts back the ESSID and channel and the mode and MAC of the previous
    // state, then tells the device that mode.
    void ReturnToPreviousState(const QString& oldEssid, quint32 oldChannel);
    void WriteModeOrComplain();

    std::unique_ptr<Ui::CKnownBSSs> m_ui;
    bool m_busy = false;
    // A device operation started by a button waits for its answer.
    bool m_deviceBusy = false;
    QTimer m_timer;
    // The entries the list shows: row n is entry n.
    QList<CDeviceSession::KnownBss> m_entries;
    // The cached mode and MAC text when "Get / Refresh" was last pressed.
    quint32 m_previousMode = 0;
    QString m_previousMac;
};
