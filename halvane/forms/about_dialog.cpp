#include "about_dialog.h"

#include "ui_about_dialog.h"

#include <QImageReader>
#include <QMouseEvent>
#include <QPixmap>

CAboutDialog::CAboutDialog(QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CAboutDialog>())
{
    m_ui->setupUi(this);
    connect(m_ui->okButton, &QPushButton::clicked, this, &CAboutDialog::accept);

    // The picture comes from the current directory, in its own size; without
    // the file the dialog shows none.
    QImageReader reader(QStringLiteral("CompanyLogo.bmp"));
    const QImage image = reader.read();
    if (image.isNull()) {
        m_ui->pictureLabel->clear();
        m_ui->pictureLabel->resize(0, 0);
    } else {
        m_ui->pictureLabel->setPixmap(QPixmap::fromImage(image));
        m_ui->pictureLabel->resize(image.size());
    }
    const Layout layout = Arrange(QRect(pos(), size()), m_ui->pictureLabel->geometry(),
                                  m_ui->versionLabel->size());
    setFixedSize(layout.dialog.size());
    m_ui->pictureLabel->move(layout.picture);
    m_ui->versionLabel->move(layout.version);
    // OK sits in the strip the layout leaves under the picture.
    m_ui->okButton->move((layout.dialog.width() - m_ui->okButton->width()) / 2,
                         layout.dialog.height() - m_ui->okButton->height() - 3);
}

CAboutDialog::~CAboutDialog() = default;

CAboutDialog::Layout CAboutDialog::Arrange(const QRect& dialog, const QRect& picture,
                                           const QSize& version)
{
    const int pw = picture.width();
    const int ph = picture.height();
    const int dw = dialog.width();
    const int dh = dialog.height();
    QRect out = dialog;
    if (dw > pw + 15) {
        out.setWidth(dw);
    } else {
        out.moveLeft(dialog.left() + picture.left());
        out.setWidth(pw + 40);
    }
    if (dh < ph) {
        out.moveTop(dialog.top() + picture.top());
        out.setHeight(ph + 80);
    } else {
        out.setHeight(dh - ph >= 80 ? dh : ph + 80);
    }
    Layout layout;
    layout.dialog = out;
    layout.picture = QPoint((out.width() - pw) / 2, 47);
    // Centred on the picture, whichever of the two is wider.
    layout.version = QPoint(layout.picture.x() + (pw - version.width()) / 2, 20);
    return layout;
}

bool CAboutDialog::HasPicture() const
{
    return !m_ui->pictureLabel->pixmap().isNull();
}

QRect CAboutDialog::PictureGeometry() const
{
    return m_ui->pictureLabel->geometry();
}

QRect CAboutDialog::VersionGeometry() const
{
    return m_ui->versionLabel->geometry();
}

void CAboutDialog::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        accept();
    else
        QDialog::mouseReleaseEvent(event);
}
