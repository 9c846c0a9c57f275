// brenlow's message boxes: plain text, the program's caption, and a seam through which
// tests answer them without showing anything.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

class MessageBox
{
public:
    enum class Icon {
        Warning, // a failure
        Stop,    // a refusal
    };

    // A box with an OK button.
    static void show(QWidget* parent, const QString& text, Icon icon = Icon::Warning);
    // A Yes/No question with the question icon; true for Yes.
    static bool ask(QWidget* parent, const QString& text);

    // Test seam. While on, no box is shown: every text is recorded, and each question takes
    // the next queued answer (No when none is queued).
    static void setTestMode(bool on);
    static void setNextAnswer(bool yes);
    // The texts recorded since the last call, oldest first.
    static QStringList takeShown();
};

// The wait cursor for the length of a scope.
class BusyCursor
{
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
    // Restores the cursor before the end of the scope.
    void restore();

private:
    bool m_active = true;
};
