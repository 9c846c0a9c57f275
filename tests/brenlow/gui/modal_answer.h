// Answers the next modal dialog of a type from inside its exec(), the way a user would:
// through its controls.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>

template <typename Dialog> class ModalAnswer
{
public:
    explicit ModalAnswer(std::function<void(Dialog*)> act)
        : m_timer(std::make_unique<QTimer>()), m_act(std::move(act))
    {
        m_timer->setInterval(5);
        QObject::connect(m_timer.get(), &QTimer::timeout, m_timer.get(), [this] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            m_timer->stop();
            m_answered = true;
            m_title = dialog->windowTitle();
            m_act(dialog);
        });
        m_timer->start();
    }

    bool answered() const { return m_answered; }
    QString title() const { return m_title; }

private:
    std::unique_ptr<QTimer> m_timer;
    std::function<void(Dialog*)> m_act;
    bool m_answered = false;
    QString m_title;
};

inline void pressOk(QDialog* dialog)
{
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

inline void pressCancel(QDialog* dialog)
{
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
}

// Types into the line edits named prefix1, prefix2, ... from left to right.
inline void fillBoxes(QDialog* dialog, const QString& prefix, const QStringList& texts)
{
    for (int i = 0; i < texts.size(); ++i)
        dialog->findChild<QLineEdit*>(prefix + QString::number(i + 1))->setText(texts.at(i));
}
