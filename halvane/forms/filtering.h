// The filtering options form: IP filtering and the broadcast and unicast
// switches, each stored as 1 (on) or 2 (off) in the main window's cache.
#pragma once

#include "fitted_form_view.h"

#include <memory>

namespace Ui
{
class CFiltering;
}

class CFiltering : public CFittedFormView
{
    Q_OBJECT

public:
    CFiltering(CMainFrame* mainFrame, int closeCommand, QWidget* parent = nullptr);
    ~CFiltering() override;

    void Populate() override;
    void OnOk();
    void OnCancel();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<Ui::CFiltering> m_ui;
};
