#include "hardware_configuration.h"

#include "form_checks.h"
#include "main_frame.h"
#include "message_box.h"
#include "ui_hardware_configuration.h"

#include <QKeyEvent>
#include <QPointer>

namespace
{

struct DomainEntry {
    const char* name;
    int code;
};
const DomainEntry kDomains[CHardwareConfiguration::kDomainCount] = {
    {"FCC", 0x10},    {"DOC", 0x20}, {"ETSI", 0x30}, {"SPAIN", 0x31},
    {"FRANCE", 0x32}, {"MKK", 0x40}, {"MKK1", 0x41},
};

void writeLe32(std::array<quint8, 92>& record, std::size_t offset, qint32 value)
{
    const quint32 bits = quint32(value);
    for (int i = 0; i < 4; ++i)
        record[offset + std::size_t(i)] = quint8(bits >> (8 * i));
}

// A text field of 32 bytes: the characters, then zeros.
void writeText(std::array<quint8, 92>& record, std::size_t offset, const QString& text)
{
    const QByteArray bytes = text.left(CHardwareConfiguration::kMaxText).toLatin1();
    for (std::size_t i = 0; i < 32; ++i)
        record[offset + i] = i < std::size_t(bytes.size()) ? quint8(bytes[qsizetype(i)]) : 0;
}

qint32 readLe32(const std::array<quint8, 92>& record, std::size_t offset)
{
    return qint32(CDeviceSession::ReadLe32(record, offset));
}

} // namespace

QString CHardwareConfiguration::DomainName(int index)
{
    return index >= 0 && index < kDomainCount ? QLatin1String(kDomains[index].name) : QString();
}

int CHardwareConfiguration::DomainCode(int index)
{
    return index >= 0 && index < kDomainCount ? kDomains[index].code : -1;
}

int CHardwareConfiguration::DomainIndex(int code)
{
    for (int index = 0; index < kDomainCount; ++index) {
        if (kDomains[index].code == code)
            return index;
    }
    return -1;
}

QStringList CHardwareConfiguration::ChannelEntries(int code)
{
    QStringList entries;
    for (int channel : CDeviceSession::RegulatoryDomainChannels(code))
        entries << QStringLiteral("Channel %1").arg(channel);
    return entries;
}

int CHardwareConfiguration::FirstChannel(int code)
{
    const QList<int> channels = CDeviceSession::RegulatoryDomainChannels(code);
    return channels.isEmpty() ? 0 : channels.first();
}

QString CHardwareConfiguration::CheckExchange(const Values& values, int* field)
{
    const auto fail = [field](int which, const QString& message) {
        if (field)
            *field = which;
        return message;
    };
    if (!FormChecks::ParseInt(values.productType))
        return fail(0, FormChecks::IntegerMessage());
    if (values.productName.size() > kMaxText)
        return fail(1, FormChecks::MaxCharsMessage(kMaxText));
    if (!FormChecks::ParseInt(values.oemId))
        return fail(2, FormChecks::IntegerMessage());
    if (values.oemName.size() > kMaxText)
        return fail(3, FormChecks::MaxCharsMessage(kMaxText));
    if (!FormChecks::ParseInt(values.hardwareRevision))
        return fail(4, FormChecks::IntegerMessage());
    return QString();
}

QString CHardwareConfiguration::CheckValues(const Values& values)
{
    if (values.mac.size() != 12)
        return QStringLiteral("Invalid Mac");
    if (values.domainIndex < 0 || values.domainIndex >= kDomainCount)
        return QStringLiteral("Invalid Regulatory Domain");
    const int code = DomainCode(values.domainIndex);
    if (values.channelIndex < 0 || values.channelIndex >= ChannelEntries(code).size())
        return QStringLiteral("Invalid Channel");
    if (!FormChecks::IsMacText(values.mac))
        return QStringLiteral("Invalid Mac Address");
    return QString();
}

void CHardwareConfiguration::StoreValues(const Values& values, std::array<quint8, 92>& record)
{
    writeLe32(record, CDeviceSession::DeviceHardwareRevisionOffset,
              FormChecks::ParseInt(values.hardwareRevision).value_or(0));
    writeText(record, CDeviceSession::DeviceOemNameOffset, values.oemName);
    writeLe32(record, CDeviceSession::DeviceOemIdOffset,
              FormChecks::ParseInt(values.oemId).value_or(0));
    writeText(record, CDeviceSession::DeviceProductNameOffset, values.productName);
    writeLe32(record, CDeviceSession::DeviceProductTypeOffset,
              FormChecks::ParseInt(values.productType).value_or(0));
    const int code = DomainCode(values.domainIndex);
    record[CDeviceSession::DeviceDomainOffset] = quint8(code);
    record[CDeviceSession::DeviceChannelOffset] = quint8(values.channelIndex + FirstChannel(code));
    const QByteArray mac = CDeviceSession::HexTextToBytes(values.mac);
    for (int i = 0; i < 6 && i < mac.size(); ++i)
        record[CDeviceSession::DeviceMacOffset + std::size_t(i)] = quint8(mac[i]);
}

CHardwareConfiguration::CHardwareConfiguration(CMainFrame* mainFrame, int closeCommand,
                                               QWidget* parent)
    : CFittedFormView(mainFrame, closeCommand, parent),
      m_ui(std::make_unique<Ui::CHardwareConfiguration>())
{
    m_ui->setupUi(this);
    m_ui->macEdit->SetMask(QStringLiteral(">AA AA AA AA AA AA"));
    connect(m_ui->setButton, &QPushButton::clicked, this, &CHardwareConfiguration::OnSet);
    connect(m_ui->closeButton, &QPushButton::clicked, this, &CFormView::CloseForm);
    connect(m_ui->domainCombo, &QComboBox::activated, this,
            &CHardwareConfiguration::OnDomainChanged);
}

CHardwareConfiguration::~CHardwareConfiguration() = default;

void CHardwareConfiguration::Populate()
{
    const CDeviceSession& session = m_mainFrame->Session();
    const auto& record = session.sysDeviceInfo;
    const int code = record[CDeviceSession::DeviceDomainOffset];
    m_ui->channelCombo->clear();
    m_ui->channelCombo->addItems(ChannelEntries(code));
    m_ui->domainCombo->clear();
    for (int index = 0; index < kDomainCount; ++index)
        m_ui->domainCombo->addItem(DomainName(index));

    m_ui->hardwareRevisionEdit->setText(
        QString::number(readLe32(record, CDeviceSession::DeviceHardwareRevisionOffset)));
    m_ui->oemNameEdit->setText(session.DeviceInfoText(CDeviceSession::DeviceOemNameOffset));
    m_ui->oemIdEdit->setText(QString::number(readLe32(record, CDeviceSession::DeviceOemIdOffset)));
    m_ui->productNameEdit->setText(session.DeviceInfoText(CDeviceSession::DeviceProductNameOffset));
    m_ui->productTypeEdit->setText(
        QString::number(readLe32(record, CDeviceSession::DeviceProductTypeOffset)));

    // No range check on the channel: an index outside the list selects
    // nothing.
    const int domainIndex = DomainIndex(code);
    m_ui->domainCombo->setCurrentIndex(domainIndex);
    int channelIndex = -1;
    if (domainIndex >= 0) {
        channelIndex = int(record[CDeviceSession::DeviceChannelOffset]) - FirstChannel(code);
        if (channelIndex >= m_ui->channelCombo->count())
            channelIndex = -1;
    }
    m_ui->channelCombo->setCurrentIndex(qMax(channelIndex, -1));
    m_ui->macEdit->SetText(session.DeviceMacAddress());
}

void CHardwareConfiguration::OnDomainChanged()
{
    m_ui->channelCombo->clear();
    m_ui->channelCombo->addItems(ChannelEntries(DomainCode(m_ui->domainCombo->currentIndex())));
    m_ui->channelCombo->setCurrentIndex(-1);
}

CHardwareConfiguration::Values CHardwareConfiguration::TakeValues() const
{
    Values values;
    values.mac = m_ui->macEdit->Text();
    values.domainIndex = m_ui->domainCombo->currentIndex();
    values.channelIndex = m_ui->channelCombo->currentIndex();
    values.productType = m_ui->productTypeEdit->text();
    values.productName = m_ui->productNameEdit->text();
    values.oemId = m_ui->oemIdEdit->text();
    values.oemName = m_ui->oemNameEdit->text();
    values.hardwareRevision = m_ui->hardwareRevisionEdit->text();
    return values;
}

QWidget* CHardwareConfiguration::FieldWidget(int field) const
{
    switch (field) {
    case 0:
        return m_ui->productTypeEdit;
    case 1:
        return m_ui->productNameEdit;
    case 2:
        return m_ui->oemIdEdit;
    case 3:
        return m_ui->oemNameEdit;
    default:
        return m_ui->hardwareRevisionEdit;
    }
}

void CHardwareConfiguration::OnSet()
{
    CDeviceSession& session = m_mainFrame->Session();
    if (session.m_authority == 0) {
        CMessageBox::Show(this, CMessageBox::Stop,
                          QStringLiteral("You are not authorized for this action"));
        return;
    }
    const Values values = TakeValues();
    int field = 0;
    const QString exchangeError = CheckExchange(values, &field);
    if (!exchangeError.isEmpty()) {
        CMessageBox::Show(this, CMessageBox::Exclamation, exchangeError);
        FieldWidget(field)->setFocus();
        return;
    }
    if (CMessageBox::Show(this, CMessageBox::Question,
                          QStringLiteral("Do you want to Set these values?"),
                          QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    const QString error = CheckValues(values);
    if (!error.isEmpty()) {
        CMessageBox::Show(this, CMessageBox::Stop, error);
        return;
    }
    StoreValues(values, session.sysDeviceInfo);
    QPointer<CHardwareConfiguration> alive(this);
    const bool written = session.WriteHardware();
    if (!alive)
        return;
    m_mainFrame->SetStatusText(written ? QStringLiteral("Download Hardware Configuration Done")
                                       : QStringLiteral("Download Hardware Configuration failed"));
}

void CHardwareConfiguration::keyPressEvent(QKeyEvent* event)
{
    // Return takes the default button, as in a dialog.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OnSet();
        return;
    }
    CFittedFormView::keyPressEvent(event);
}
