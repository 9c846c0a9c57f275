#include "main_dialog.h"

#include "brenlow_texts.h"
#include "configuration_window.h"
#include "message_box.h"
#include "ui_main_dialog.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include <algorithm>

MainDialog::MainDialog(const QString& devicePath, int appMode, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::MainDialog>()), m_link(devicePath),
      m_appMode(appMode)
{
    m_ui->setupUi(this);
    setWindowIcon(brenlowIcon());
    connect(m_ui->configurationButton, &QPushButton::clicked, this, &MainDialog::openConfiguration);
    connect(m_ui->resetButton, &QPushButton::clicked, this, &MainDialog::resetAp);
    connect(m_ui->restoreButton, &QPushButton::clicked, this, &MainDialog::restoreDefaults);
}

MainDialog::~MainDialog() = default;

bool MainDialog::openLink()
{
    if (m_link.isOpen() || m_link.Open())
        return true;
    MessageBox::show(this, QString::fromLatin1(Texts::DriverNotLoaded));
    return false;
}

void MainDialog::runVersionProbe()
{
    if (!openLink())
        return;
    // Only the firmware version in the reply's first packet is wanted; the data is not used.
    QByteArray scratch(ConfigurationBlock::AreaSize, '\0');
    const bool read = m_link.ReadGroup(GroupCrSettings, scratch, 90);
    m_link.Close();
    if (!read)
        return;
    m_ui->statusEdit->setText(m_link.StatusText());
    m_ui->firmwareVersionEdit->setText(m_link.FirmwareVersionText());
    m_ui->brenlowVersionEdit->setText(QString::fromLatin1(Texts::BrenlowVersion));
}

void MainDialog::openConfiguration()
{
    const int open = int(findChildren<ConfigurationWindow*>().size());
    auto* window = new ConfigurationWindow(m_link, m_appMode, this);
    // Beside the main window rather than over it: on the side with room for it (the
    // roomier side when neither has enough), each further window a little down and to the
    // right of the last one, and always on the screen.
    const QRect screen = this->screen()->availableGeometry();
    const QRect main = frameGeometry();
    const QSize size = window->frameGeometry().size();
    const int gap = 8;
    const int roomRight = screen.right() - main.right() - gap;
    const int roomLeft = main.left() - screen.left() - gap;
    const bool right = roomRight >= size.width() || roomRight >= roomLeft;
    const int step = 24 * open;
    int x = (right ? main.right() + gap : main.left() - gap - size.width()) + step;
    x = std::clamp(x, screen.left(), std::max(screen.left(), screen.right() - size.width()));
    const int y = std::clamp(main.top() + step, screen.top(),
                             std::max(screen.top(), screen.bottom() - size.height()));
    window->move(x, y);
    window->show();
    window->get();
}

void MainDialog::runCommand(bool (DeviceLink::*command)(), const char* failure, const char* success)
{
    if (!openLink())
        return;
    if (!(m_link.*command)()) {
        MessageBox::show(this, QString::fromLatin1(failure));
        m_link.Close();
        return;
    }
    m_link.setStatusText(QString::fromLatin1(success));
    m_ui->statusEdit->setText(m_link.StatusText());
    m_link.Close();
}

void MainDialog::resetAp()
{
    runCommand(&DeviceLink::ResetDevice, Texts::CannotResetAp, Texts::ResetCompleted);
}

void MainDialog::restoreDefaults()
{
    runCommand(&DeviceLink::RestoreDefaults, Texts::CannotRestoreDefaults, Texts::RestoreCompleted);
}

void MainDialog::done(int result)
{
    if (m_link.isOpen())
        m_link.Close();
    QDialog::done(result);
}

void MainDialog::keyPressEvent(QKeyEvent* event)
{
    // Enter closes the window, as Escape does; no button takes it as a default.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

QIcon brenlowIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal unit = size / 16.0;
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x1f, 0x5f, 0x9f));
        painter.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), 3 * unit, 3 * unit);
        // A plug: a body and two pins.
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(4 * unit, 7 * unit, 8 * unit, 6 * unit));
        painter.drawRect(QRectF(5.5 * unit, 3 * unit, 1.5 * unit, 4 * unit));
        painter.drawRect(QRectF(9 * unit, 3 * unit, 1.5 * unit, 4 * unit));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
