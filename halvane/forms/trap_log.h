// The trap recorder log: the text of every trap recorded, and "Clear".
#pragma once

#include "form_view.h"

#include <memory>

namespace Ui {
class CTrapLog;
}

class CTrapLog : public CFormView
{
    Q_OBJECT

public:
    CTrapLog(CMainFrame* mainFrame, int closeCommand, QWidget* parent = nullptr);
    ~CTrapLog() override;

    // Shows the whole log again.
    void Refresh() override;
    // Adds the text of one trap at the end; the cost does not grow with the log.
    void AppendTrap(const QString& text);
    // "Clear": counter, pane 2, the log and the text emptied.
    void ClearLog();
    // Close box: counter 0, pane 2 hidden; the log itself is kept.
    void OnCloseRequest() override;

    QString Text() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::unique_ptr<Ui::CTrapLog> m_ui;
};
